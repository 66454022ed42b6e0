#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "core/textutils.h"

namespace {

std::string Bytes(std::initializer_list<uint8_t> bytes) {
    return std::string(bytes.begin(), bytes.end());
}

TEST(TextUtils, GetValueAfterTakesTheFirstOccurrenceUpToTheDelimiter) {
    struct Case {
        std::string key;
        char delimiter;
        std::string text;
        std::string expected;
    };
    const std::vector<Case> cases{
        {"+CPBS: ", ',', "+CPBS: \"SM\",10,250\r\n", "\"SM\""},
        {"+CSQ: ", ',', "+CSQ: 17,99", "17"},
        {"+CREG: ", '\r', "+CREG: 0,1", "0,1"},  // no delimiter after the key: the rest
        {"+CPIN: ", '\r', "OK\r\n", ""},         // key absent
        {"a", ',', "xa1,a2,", "1"},              // first occurrence wins
        {"end", ',', "the end", ""},             // key at the very end
        {"", ',', "abc,def", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetValueAfter(c.key, c.delimiter, c.text), c.expected) << c.text;
    }
}

TEST(TextUtils, CutTokenRemovesUpToAndIncludingTheDelimiter) {
    struct Case {
        std::string text;
        std::string token;
        std::string rest;
    };
    const std::vector<Case> cases{
        {"a,b,c", "a,", "b,c"},
        {",x", ",", "x"},
        {"abc", "abc", ""},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(CutToken(text, ','), c.token) << c.text;
        EXPECT_EQ(text, c.rest) << c.text;
    }
}

TEST(TextUtils, PositionAfterCountsFromOne) {
    struct Case {
        std::string text;
        int count;
        int expected;
    };
    const std::vector<Case> cases{
        {"a,b,c", 1, 3}, {"a,b,c", 2, 5},  {"a,b,c", 3, 6}, {",", 1, 2},
        {"a,b,c", 0, 1}, {"a,b,c", -4, 1}, {"", 1, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PositionAfter(c.text, ',', c.count), c.expected) << c.text << " " << c.count;
    }
}

TEST(TextUtils, ReplaceByteReplacesEveryOccurrenceIncludingHighBytes) {
    EXPECT_EQ(ReplaceByte("a\rb\r\r", '\r', ' '), "a b  ");
    EXPECT_EQ(ReplaceByte(Bytes({0xE5, 'x', 0xE5}), '\xE5', 'a'), "axa");
    EXPECT_EQ(ReplaceByte("", 'a', 'b'), "");
}

TEST(TextUtils, HexDigitsOfBothCasesAndNothingElse) {
    const std::string digits = "0123456789abcdefABCDEF";
    const std::vector<int> values{0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10,
                                  11, 12, 13, 14, 15, 10, 11, 12, 13, 14, 15};
    std::set<char> valid;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        EXPECT_EQ(HexDigitValue(digits[i]), values[i]) << digits[i];
        valid.insert(digits[i]);
    }
    for (int b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        if (valid.count(c) == 0) {
            EXPECT_EQ(HexDigitValue(c), -1) << b;
        }
    }
    EXPECT_EQ(HexByteValue('4', '1'), 0x41);
    EXPECT_EQ(HexByteValue('F', 'f'), 255);
    EXPECT_EQ(HexByteValue('0', '0'), 0);
    EXPECT_EQ(HexByteValue('g', '0'), -1);
    EXPECT_EQ(HexByteValue('0', '\xC1'), -1);
}

TEST(TextUtils, UnescapeHexReplacesOnlyCompleteEscapes) {
    struct Case {
        std::string text;
        std::string expected;
    };
    const std::vector<Case> cases{
        {"\\41B", "AB"},    {"\\4", "\\4"},     {"\\zz1", "\\zz1"}, {"\\00", std::string(1, '\0')},
        {"\\41\\42", "AB"}, {"\\\\41", "\\A"},  // the first backslash fails, the second one escapes
        {"ab\\", "ab\\"},   {"ab\\4", "ab\\4"}, {"\\4g1", "\\4g1"}, {"\\e5", "\xE5"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UnescapeHex(c.text), c.expected) << c.text;
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
    std::string gsmText;
    std::string ansiText;
    for (const auto& [gsm, ansi] : kMapped) {
        EXPECT_EQ(GsmToAnsi(Bytes({gsm})), Bytes({ansi})) << int(gsm);
        EXPECT_EQ(AnsiToGsm(Bytes({ansi})), Bytes({gsm})) << int(ansi);
        gsmCodes.insert(gsm);
        ansiBytes.insert(ansi);
        gsmText.push_back(static_cast<char>(gsm));
        ansiText.push_back(static_cast<char>(ansi));
    }
    EXPECT_EQ(GsmToAnsi(gsmText), ansiText);
    EXPECT_EQ(AnsiToGsm(ansiText), gsmText);
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

TEST(TextUtils, ConversionOrderNeverConvertsAByteTwice) {
    struct Case {
        std::string gsm;
        std::string ansi;
    };
    const std::vector<Case> cases{
        {Bytes({0x00, 0x24, 0x02}), Bytes({0x40, 0xA4, 0x24})},  // @ ¤ $
        {Bytes({0x40, 0x00}), Bytes({0xA1, 0x40})},              // ¡ @
        {Bytes({0x5E, 0x14}), Bytes({0xDC, 0x5E})},              // Ü ^
        {Bytes({0x5F, 0x11}), Bytes({0xA7, 0x5F})},              // § _
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GsmToAnsi(c.gsm), c.ansi);
        const std::string gsm = AnsiToGsm(c.ansi);
        EXPECT_EQ(gsm, c.gsm);
        EXPECT_EQ(gsm.size(), c.gsm.size());  // a leading 00 byte is kept, not a terminator
    }
}

TEST(TextUtils, GsmToAnsiUnescapesFirst) {
    EXPECT_EQ(GsmToAnsi("\\00"), "@");
    EXPECT_EQ(GsmToAnsi("\\5C"), "\xD6");  // the escaped backslash code is the letter Ö
    EXPECT_EQ(GsmToAnsi("Alarm 1\\24"), "Alarm 1\xA4");
    EXPECT_EQ(AnsiToGsm("\\00{|}~[]`"), "\\00{|}~[]`");  // no escaping on the way out
}

}  // namespace
