#pragma once

// The fixed English failure texts of the port, the same on every platform.
namespace comporttext {

inline constexpr const char* kNoPort = "No com port selected!";
inline constexpr const char* kInUse = "Could not open com port. Com port might be already in use.";
inline constexpr const char* kGetConfig = "Could not get com port configuration values!";
inline constexpr const char* kGetTimeouts = "Could not get com port time-out values!";
inline constexpr const char* kSetTimeouts = "Could not set com port time-out values!";
inline constexpr const char* kConfigure = "Could not configure com port!";
inline constexpr const char* kPurgeAll = "Could not clear com port buffers!";
inline constexpr const char* kPurgeTransmit = "Could not clear port transmit buffer!";
inline constexpr const char* kPurgeReceive = "Could not clear port receive buffer!";
inline constexpr const char* kReadClosed = "Can not read from port. Com port has not been opened!";
inline constexpr const char* kReadError = "An error occured when reading data from com port!";
inline constexpr const char* kWriteClosed = "Can not write to port. Com port has not been opened!";
inline constexpr const char* kWriteError = "Could not write data to com port!";
inline constexpr const char* kWriteTimedOut = "Com port write operation timed out!";
inline constexpr const char* kWriteShort = "Com port buffer error occured. All data not written!";

}  // namespace comporttext
