#pragma once

#ifndef _WIN32
#include <termios.h>
#endif

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#ifdef _WIN32
using ComPortNativeHandle = void*;
inline constexpr ComPortNativeHandle kComPortNoHandle = nullptr;
#else
using ComPortNativeHandle = int;
inline constexpr ComPortNativeHandle kComPortNoHandle = -1;
#endif

// The tool's only access to the hardware: one serial port opened by name, configured from a
// mode string such as "57600,n,8,1", read without blocking and written until every byte is out.
// Every failure is an EComPortException with a fixed English message. The class has no lock;
// the communication source serialises all calls. The device is driven by one implementation
// file per platform (termios or Win32); the interface and the texts are the same on both.
class CComPort {
public:
    class EComPortException : public std::runtime_error {
    public:
        using std::runtime_error::runtime_error;
    };

    enum EPurgeKind { purgeTransmit, purgeReceive, purgeAll };

    // The platform's handle of an open device: a descriptor, or a Win32 HANDLE.
    using NativeHandle = ComPortNativeHandle;
    static constexpr NativeHandle kNoHandle = kComPortNoHandle;

    // The line parameters a mode string names.
    struct CLineSettings {
        uint32_t baud = 0;
        char parity = 'n';  // 'n', 'e' or 'o'
        int dataBits = 8;
        int stopBits = 1;
    };

    CComPort() = default;
    ~CComPort();
    CComPort(const CComPort&) = delete;
    CComPort& operator=(const CComPort&) = delete;

    // Both take effect at the next Open. On Linux a name without "/" is a device under /dev
    // ("ttyUSB0"); a name with "/" is a path (a simulator's link, a /dev/serial/by-id/... link).
    // On Windows a name is a port ("COM3") unless it is already a device path ("\\.\COM12").
    void SetPortName(const std::string& name) { portName = name; }
    void SetSettings(const std::string& modeString) { settings = modeString; }
    const std::string& GetPortName() const { return portName; }
    const std::string& GetSettings() const { return settings; }

    void Open();
    void Close() noexcept;
    bool IsOpen() const { return opened; }
    void Purge(EPurgeKind kind);
    // Returns at once with what the driver holds, possibly nothing.
    void Read(char* buffer, uint32_t count, uint32_t& received);
    // Pauses 40 ms, then writes exactly count bytes or throws. While the driver takes no bytes
    // the write looks at `giveUp` every few milliseconds and, once it says so, ends as a write
    // that stalled out (with the stall texts), without waiting for the stall limit.
    void Write(const char* buffer, uint32_t count, const std::function<bool()>& giveUp = {});

    // Sleeps until bytes are waiting or the time has passed. A hang-up or a device error counts
    // as readable, so that the next Read reports it instead of the caller waiting on silence.
    // False when closed or nothing arrived.
    bool WaitReadable(uint32_t timeoutMs) const;
    // The same wait on a handle of the caller's.
    static bool WaitReadable(NativeHandle handle, uint32_t timeoutMs);
    // A handle of its own on the open device (not inherited by child programs), kNoHandle when
    // closed; the caller gives it back with ReleaseHandle. It lets a caller wait for bytes
    // without holding the lock that guards the port: closing the port does not pull it from
    // under the wait. On Linux the device's lock and exclusive mode are released by Close all
    // the same; on Windows the device is free once the last handle is released, so a wait on
    // a duplicate is kept short.
    NativeHandle DuplicateHandle() const;
    static void ReleaseHandle(NativeHandle handle) noexcept;

    // A write gives up when the driver takes no byte for this long (a far end that stopped
    // reading, a wedged adapter), so a write never holds its caller for ever.
    void SetWriteStallLimit(std::chrono::milliseconds limit) { writeStallLimit = limit; }
    // The module needs the pause before each write; tests against the simulated unit, which
    // does not, set it to zero.
    void SetWritePause(std::chrono::milliseconds pause) { writePause = pause; }

    // Appends the ports that can be opened now (never clears the list), without "/dev/" (on
    // Windows the COM names), in natural order. A probe leaves a port in another program's use
    // undisturbed: on Linux it takes no exclusive mode, on Windows such a port will not open.
    static void ListPorts(std::vector<std::string>& list);
    // A device name ListPorts offers: ttyS, ttyUSB, ttyACM, ttyAMA or rfcomm and a number.
    static bool IsPortName(const std::string& name);
    // Whether the port of this name could be opened now, probed like ListPorts.
    static bool CanOpen(const std::string& portName);

    // The pieces below are pure and public so they can be checked without a device.
    static std::string DevicePath(const std::string& portName);
    // "57600,n,8,1": speed, parity (n, e or o), data bits and stop bits; the fields after the
    // speed may be left out.
    static std::optional<CLineSettings> ParseMode(const std::string& modeString);
#ifndef _WIN32
    // Raw mode with the mode string's line parameters, no flow control, reads that never wait.
    // An empty mode string keeps the line parameters found on the port. False for a mode
    // string that cannot be applied.
    static bool BuildActiveConfig(const std::string& modeString, const termios& found,
                                  termios& active);
#endif
    // The open failure text, with a second line naming the cause where the user can act on it;
    // `error` is an errno value, or on Windows a GetLastError code.
    static std::string OpenFailureMessage(int error, const std::string& path);
    // "ttyUSB2" before "ttyUSB10", "COM2" before "COM10".
    static bool PortNameLess(const std::string& a, const std::string& b);

private:
    void ReleaseDevice() noexcept;
    [[noreturn]] void FailOpen(const char* message);

    // What the port asks the driver for; Linux sizes its tty queues itself.
    uint32_t inputBufferSize = 8192;
    uint32_t outputBufferSize = 8192;
    bool opened = false;
    std::string portName;
    std::string settings;
    NativeHandle handle = kNoHandle;
#ifndef _WIN32
    // The non-blocking descriptor stands in for the read and write time-outs; the line
    // configuration found at Open comes back at Close.
    termios savedConfig{};
    termios activeConfig{};
#endif
    std::chrono::milliseconds writeStallLimit = std::chrono::seconds(10);
    std::chrono::milliseconds writePause{40};
};
