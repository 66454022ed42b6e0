#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "core/parseint.h"

namespace {

constexpr int32_t kFallback = -77;

TEST(ParseInt, AcceptsDecimalAndHexadecimalFormsOnly) {
    struct Case {
        std::string text;
        int32_t expected;
    };
    const std::vector<Case> cases{
        {"12", 12},
        {" 12", 12},
        {" \t 7", 7},
        {"+12", 12},
        {"-12", -12},
        {"007", 7},
        {"-0", 0},
        {"$0C", 12},
        {"$0c", 12},
        {"0x1", 1},
        {"0X1f", 31},
        {"x1A", 26},
        {"X1a", 26},
        {" $10", 16},
        {"$000000001", 1},
        {"2147483647", std::numeric_limits<int32_t>::max()},
        {"-2147483648", std::numeric_limits<int32_t>::min()},
        {"$7FFFFFFF", std::numeric_limits<int32_t>::max()},
        // Everything below gives the fallback.
        {"", kFallback},
        {"   ", kFallback},
        {"+", kFallback},
        {"-", kFallback},
        {"$", kFallback},
        {"x", kFallback},
        {"0x", kFallback},
        {"-0x1", kFallback},
        {"+$1", kFallback},
        {"-x1", kFallback},
        {"0x-1", kFallback},
        {"12 ", kFallback},
        {"12a", kFallback},
        {"12\r\n", kFallback},
        {"1 2", kFallback},
        {"- 1", kFallback},
        {"1e3", kFallback},
        {"$G", kFallback},
        {"0b1", kFallback},
        {"2147483648", kFallback},
        {"-2147483649", kFallback},
        {"99999999999999999999", kFallback},
        {"$80000000", kFallback},
        {"$FFFFFFFF", kFallback},
        {"$100000000", kFallback},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseInt(c.text, kFallback), c.expected) << "\"" << c.text << "\"";
    }
}

TEST(ParseInt, WritesPlainDecimalThatReadsBack) {
    struct Case {
        int32_t value;
        std::string text;
    };
    const std::vector<Case> cases{
        {0, "0"},
        {12, "12"},
        {-5, "-5"},
        {std::numeric_limits<int32_t>::max(), "2147483647"},
        {std::numeric_limits<int32_t>::min(), "-2147483648"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IntToStr(c.value), c.text);
        EXPECT_EQ(ParseInt(c.text, kFallback), c.value);
    }
    EXPECT_EQ(IntToStr(ParseInt("$0C", 0)), "12");
}

}  // namespace
