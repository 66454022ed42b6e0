#include "core/parseint.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int32_t kFallback = -77;

TEST(ParseInt, AcceptsDecimalAndHexadecimalFormsOnly) {
    const std::vector<std::pair<std::string, int32_t>> accepted{
        {" \t 7", 7},
        {"+12", 12},
        {"-12", -12},
        {"007", 7},
        {"$0c", 12},
        {"0X1f", 31},
        {"x1A", 26},
        {"0x1", 1},
        {" $10", 16},
        {"$000000001", 1},
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"$7FFFFFFF", INT32_MAX},
    };
    for (const auto& [text, value] : accepted) {
        EXPECT_EQ(ParseInt(text, kFallback), value) << "\"" << text << "\"";
    }
    for (const char* text :
         {"", "   ", "+", "$", "0x", "-0x1", "+$1", "0x-1", "12 ", "12a", "- 1", "$G", "2147483648",
          "-2147483649", "99999999999999999999", "$80000000", "$FFFFFFFF", "$100000000"}) {
        EXPECT_EQ(ParseInt(text, kFallback), kFallback) << "\"" << text << "\"";
    }
}

}  // namespace
