#pragma once

#include <chrono>
#include <string>

// Times as the records and the communication log show them, in the computer's local time.

// ISO 8601 to the second with the offset from UTC: "2024-05-01T12:34:56+02:00".
std::string IsoLocalTime(std::chrono::system_clock::time_point time);

// The time of day to the millisecond: "12:34:56.789".
std::string ClockTimeMs(std::chrono::system_clock::time_point time);
