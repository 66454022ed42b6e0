#include "core/localtime.h"

#include <gtest/gtest.h>

#include <chrono>
#include "support/regex.h"

namespace {

// The records' time column is read by spreadsheets, on every platform: ISO 8601 with the
// offset in its extended form, never a zone's name.
TEST(LocalTime, IsoTimeCarriesTheUtcOffsetInTheExtendedForm) {
    using namespace std::chrono;
    const std::regex iso(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:[0-5]\d)");
    for (const auto time : {system_clock::time_point{}, system_clock::now(),
                            system_clock::time_point{sys_days{2024y / 7 / 1}}}) {
        const std::string text = IsoLocalTime(time);
        EXPECT_TRUE(std::regex_match(text, iso)) << text;
    }
    EXPECT_TRUE(
        std::regex_match(ClockTimeMs(system_clock::now()), std::regex(R"(\d\d:\d\d:\d\d\.\d{3})")));
}

}  // namespace
