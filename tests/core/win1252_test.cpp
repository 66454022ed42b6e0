#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/win1252.h"

namespace {

TEST(Win1252, EveryByteRoundTripsThroughUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    const std::string utf8 = Win1252ToUtf8(all);
    EXPECT_EQ(Utf8ToWin1252(utf8), all);
    // Each byte alone too, so that no two bytes share a character.
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(Utf8ToWin1252(Win1252ToUtf8(one), '\x01'), one) << b;
    }
}

TEST(Win1252, KnownCharacters) {
    struct Case {
        std::string win1252;
        std::string utf8;
    };
    const std::vector<Case> cases{
        {"A", "A"},
        {std::string(1, '\0'), std::string(1, '\0')},
        {"\x80", "\u20AC"},
        {"\x81", "\xC2\x81"},  // undefined in the code page, kept as a control character
        {"\x8D\x8F\x90\x9D", "\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},
        {"\x8A\x9A", "\u0160\u0161"},
        {"\x99", "\u2122"},
        {"\x9F", "\u0178"},
        {"\xA0", "\u00A0"},
        {"\xE5\xE4\xF6", "\u00E5\u00E4\u00F6"},
        {"\xFF", "\u00FF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Win1252ToUtf8(c.win1252), c.utf8);
        EXPECT_EQ(Utf8ToWin1252(c.utf8), c.win1252);
    }
}

TEST(Win1252, MalformedAndUnmappableInputBecomesTheReplacement) {
    struct Case {
        std::string utf8;
        std::string expected;
    };
    const std::vector<Case> cases{
        {"\x80", "?"},    // stray continuation byte
        {"a\xC3", "a?"},  // cut off at the end
        {"\xC3"
         "A",
         "?A"},  // cut off by an ASCII byte, which survives
        {"\xE2\x82"
         "A",
         "?A"},                        // a cut-off euro sign is one replacement
        {"\xC0\x80", "??"},            // overlong
        {"\xE0\x80\x80", "???"},       // overlong
        {"\xED\xA0\x80", "???"},       // surrogate
        {"\xF4\x90\x80\x80", "????"},  // above U+10FFFF
        {"\xF5\x80", "??"},
        {"\xFF\xFE", "??"},
        {"\xF0\x9F\x98\x80", "?"},  // valid, but no byte in the code page
        {"\xC4\x80", "?"},          // U+0100
        {"\xC2\x80", "?"},          // U+0080: byte 80 is the euro sign
        {"\xE2\x82\xAC\xE2\x82", "\x80?"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToWin1252(c.utf8), c.expected) << c.utf8;
    }
    EXPECT_EQ(Utf8ToWin1252("\xE2\x82", '_'), "_");
}

}  // namespace
