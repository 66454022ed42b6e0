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
    const std::size_t length = std::strftime(text.data(), text.size(), "%Y-%m-%dT%H:%M:%S", &parts);
    // The offset is worked out from the two calendars rather than with strftime's "%z", which
    // the Windows C runtime fills with the zone's name; ISO 8601's extended form, which
    // spreadsheets read, wants "+02:00".
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    const auto secondsOf = [](const std::tm& t) {
        using namespace std::chrono;
        const sys_days date = year{t.tm_year + 1900} / month{static_cast<unsigned>(t.tm_mon + 1)} /
                              day{static_cast<unsigned>(t.tm_mday)};
        return date.time_since_epoch().count() * 86400LL + t.tm_hour * 3600LL + t.tm_min * 60LL +
               t.tm_sec;
    };
    const long long offset = secondsOf(parts) - secondsOf(utc);
    const long long minutes = (offset < 0 ? -offset : offset) / 60;
    std::array<char, 8> zone{};
    std::snprintf(zone.data(), zone.size(), "%c%02lld:%02lld", offset < 0 ? '-' : '+',
                  minutes / 60 % 100, minutes % 60);
    return std::string(text.data(), length) + zone.data();
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
