#include "core/win1252.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

TEST(Win1252, EveryByteRoundTripsThroughUtf8AndKnownCharactersMatch) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    EXPECT_EQ(Utf8ToWin1252(Win1252ToUtf8(all)), all);

    const std::vector<std::pair<std::string, std::string>> known{
        {std::string(1, '\0'), std::string(1, '\0')},
        {"\x80", "\u20AC"},
        {"\x81\x8D", "\xC2\x81\xC2\x8D"},  // undefined in the code page, kept as control characters
        {"\x8A\x9A\x9F", "\u0160\u0161\u0178"},
        {"\xA0\xE5\xFF", "\u00A0\u00E5\u00FF"},
    };
    for (const auto& [win1252, utf8] : known) {
        EXPECT_EQ(Win1252ToUtf8(win1252), utf8);
        EXPECT_EQ(Utf8ToWin1252(utf8), win1252);
    }
}

TEST(Win1252, MalformedAndUnmappableInputBecomesTheReplacement) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"\x80", "?"},    // stray continuation byte
        {"a\xC3", "a?"},  // cut off at the end
        {"\xE2\x82"
         "A",
         "?A"},                        // a cut-off euro sign is one replacement
        {"\xC0\x80", "??"},            // overlong
        {"\xED\xA0\x80", "???"},       // surrogate
        {"\xF4\x90\x80\x80", "????"},  // above U+10FFFF
        {"\xF0\x9F\x98\x80", "?"},     // valid, but no byte in the code page
        {"\xC2\x80", "?"},             // U+0080: byte 80 is the euro sign
        {"\xE2\x82\xAC\xE2\x82", "\x80?"},
    };
    for (const auto& [utf8, expected] : cases) {
        EXPECT_EQ(Utf8ToWin1252(utf8), expected) << utf8;
    }
    EXPECT_EQ(Utf8ToWin1252("\xE2\x82", '_'), "_");
}

}  // namespace
