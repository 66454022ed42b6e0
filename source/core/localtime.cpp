#include "core/localtime.h"

#include <array>
#include <cstdio>
#include <ctime>
#include <string_view>

namespace {

std::tm LocalParts(std::chrono::system_clock::time_point time) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm parts{};
    localtime_r(&seconds, &parts);
    return parts;
}

}  // namespace

std::string IsoLocalTime(std::chrono::system_clock::time_point time) {
    const std::tm parts = LocalParts(time);
    std::array<char, 40> text{};
    const std::size_t length =
        std::strftime(text.data(), text.size(), "%Y-%m-%dT%H:%M:%S%z", &parts);
    const std::string_view result(text.data(), length);
    // strftime gives "+0200"; ISO 8601's extended form, which spreadsheets read, wants "+02:00".
    if (result.size() < 5) {
        return std::string(result);
    }
    const std::size_t minutes = result.size() - 2;
    return std::string(result.substr(0, minutes)) + ":" + std::string(result.substr(minutes));
}

std::string ClockTimeMs(std::chrono::system_clock::time_point time) {
    const std::tm parts = LocalParts(time);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count() %
        1000;
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "%02d:%02d:%02d.%03d", parts.tm_hour, parts.tm_min,
                  parts.tm_sec, static_cast<int>(ms < 0 ? ms + 1000 : ms));
    return text.data();
}
