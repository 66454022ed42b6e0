#include "core/textutils.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

std::string Bytes(std::initializer_list<uint8_t> bytes) {
    return std::string(bytes.begin(), bytes.end());
}

TEST(TextUtils, ReplyFieldHelpers) {
    const std::vector<std::tuple<std::string, char, std::string, std::string>> values{
        {"+CPBS: ", ',', "+CPBS: \"SM\",10,250\r\n", "\"SM\""},
        {"+CREG: ", '\r', "+CREG: 0,1", "0,1"},  // no delimiter after the key: the rest
        {"+CPIN: ", '\r', "OK\r\n", ""},         // key absent
        {"a", ',', "xa1,a2,", "1"},              // first occurrence wins
        {"", ',', "abc,def", ""},
    };
    for (const auto& [key, delimiter, text, expected] : values) {
        EXPECT_EQ(GetValueAfter(key, delimiter, text), expected) << text;
    }

    // Positions count from 1; past the last occurrence is the length + 1.
    EXPECT_EQ(PositionAfter("a,b,c", ',', 2), 5);
    EXPECT_EQ(PositionAfter("a,b,c", ',', 3), 6);
    EXPECT_EQ(PositionAfter("a,b,c", ',', 0), 1);
    EXPECT_EQ(PositionAfter("a,b,c", ',', -4), 1);
}

TEST(TextUtils, EscapesOfTwoHexDigitsOfEitherCaseOnly) {
    const std::vector<std::pair<std::string, std::string>> escapes{
        {"\\41B", "AB"},
        {"\\4", "\\4"},
        {"\\00", std::string(1, '\0')},
        {"\\\\41", "\\A"},  // the first backslash fails, the second one escapes
        {"ab\\", "ab\\"},
        {"\\4g1", "\\4g1"},
        {"\\e5", "\xE5"},
        {"\\Ff", "\xFF"},
        {"\\0\xC1", "\\0\xC1"},                                    // a byte above 127 is no digit
        {"\\/0\\:0\\@0\\G0\\`0\\g0", "\\/0\\:0\\@0\\G0\\`0\\g0"},  // next to the digit ranges
    };
    for (const auto& [text, expected] : escapes) {
        EXPECT_EQ(UnescapeHex(text), expected) << text;
    }
}

// Module code and Windows-1252 byte of every character the two alphabets place differently.
const std::vector<std::pair<uint8_t, uint8_t>> kMapped{
    {0x01, 0xA3}, {0x03, 0xA5}, {0x04, 0xE8}, {0x05, 0xE9}, {0x06, 0xF9}, {0x07, 0xEC},
    {0x08, 0xF2}, {0x09, 0xE7}, {0x0B, 0xD8}, {0x0C, 0xF8}, {0x0E, 0xC5}, {0x0F, 0xE5},
    {0x1C, 0xC6}, {0x1D, 0xE6}, {0x1E, 0xDF}, {0x1F, 0xC9}, {0x24, 0xA4}, {0x40, 0xA1},
    {0x5B, 0xC4}, {0x5C, 0xD6}, {0x5D, 0xD1}, {0x5E, 0xDC}, {0x5F, 0xA7}, {0x60, 0xBF},
    {0x7B, 0xE4}, {0x7C, 0xF6}, {0x7D, 0xF1}, {0x7E, 0xFC}, {0x7F, 0xE0}, {0x00, 0x40},
    {0x02, 0x24}, {0x11, 0x5F}, {0x14, 0x5E},
};

TEST(TextUtils, EveryMappedCharacterRoundTripsAndNothingElseMoves) {
    ASSERT_EQ(kMapped.size(), 33u);
    std::set<uint8_t> gsmCodes;
    std::set<uint8_t> ansiBytes;
    for (const auto& [gsm, ansi] : kMapped) {
        EXPECT_EQ(GsmToAnsi(Bytes({gsm})), Bytes({ansi})) << int(gsm);
        EXPECT_EQ(AnsiToGsm(Bytes({ansi})), Bytes({gsm})) << int(ansi);
        gsmCodes.insert(gsm);
        ansiBytes.insert(ansi);
    }
    for (int b = 0; b < 256; ++b) {
        const std::string one = Bytes({static_cast<uint8_t>(b)});
        if (gsmCodes.count(static_cast<uint8_t>(b)) == 0) {
            EXPECT_EQ(GsmToAnsi(one), one) << b;
        }
        if (ansiBytes.count(static_cast<uint8_t>(b)) == 0) {
            EXPECT_EQ(AnsiToGsm(one), one) << b;
        }
    }
}

}  // namespace
