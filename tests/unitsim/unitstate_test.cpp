#include <gtest/gtest.h>

#include <stdexcept>

#include "unitsim/gsmalphabet.h"
#include "unitsim/unitstate.h"

TEST(GsmAlphabet, EveryByteSurvivesTheStateFileForm) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) {
        all += static_cast<char>(byte);
    }
    EXPECT_EQ(CGsmAlphabet::FromUtf8(CGsmAlphabet::ToUtf8(all)), all);
    EXPECT_EQ(CGsmAlphabet::ToUtf8(std::string("\x00\x5C\x7C\x0F\x14", 5)), "@ÖöåΛ");
    EXPECT_EQ(CGsmAlphabet::ToUtf8("\x1B\xE9"), "\\1B\\E9");
    EXPECT_EQ(CGsmAlphabet::FromUtf8("D\xC3\xB6rr \\00"), std::string("D|rr \0", 6));
}

TEST(GsmAlphabet, StateFileTextsOutsideTheAlphabetAreRefused) {
    for (const std::string bad : {"€", "\\", "\\4", "\\zz", "\xC3", "caf\xE9"}) {
        EXPECT_THROW(CGsmAlphabet::FromUtf8(bad), std::invalid_argument) << bad;
    }
}

TEST(GsmAlphabet, ListingsEscapeWhatCannotTravelRaw) {
    const std::pair<std::string, std::string> table[] = {
        {std::string("a@b", 3), "a@b"},  // 0x40 is the inverted exclamation mark: raw
        {std::string("\0", 1), "\\00"},   {"\\", "\\5C"},   {"\r\n", "\\0D\\0A"},
        {"\x1A\x1B\x1F", "\\1A\\1B\\1F"}, {"\x7F", "\\7F"}, {"\"x\"", "\"x\""},
        {"\xE9\x80", "\xE9\x80"},
    };
    for (const auto& [gsm, listed] : table) {
        EXPECT_EQ(CGsmAlphabet::EscapeForListing(gsm), listed);
    }
    EXPECT_EQ(CGsmAlphabet::EscapeQuoted("a\"\\"), "a\\22\\5C");
    EXPECT_EQ(CGsmAlphabet::Unescape("a\\22\\5c\\zz\\"), "a\"\\\\zz\\");
}

TEST(UnitState, JsonRoundTripKeepsEverything) {
    CUnitState state;
    state.maker = "Cinterion";
    state.profile = {false, 1, true};
    state.sim.lock = true;
    state.sim.pinTries = 1;
    state.network.cregMode = 2;
    state.phonebooks["ME"].entries[64] = {"1", 129, ""};
    state.phonebooks["SM"].entries[250] = {"+46701234567", 145, std::string("A\0\x7C", 3)};
    state.messages[28] = {"REC UNREAD", "+4670", "x\r\ny", "24/05/01,12:00:00+08"};
    EXPECT_EQ(CUnitState::FromJson(state.ToJson()), state);
}

TEST(UnitState, MissingMembersTakeANewUnitsValues) {
    const CUnitState state = CUnitState::FromJson(R"({"sim": {"lock": true}})");
    EXPECT_TRUE(state.sim.lock);
    EXPECT_EQ(state.sim.pin, "1234");
    EXPECT_EQ(state.maker, "SIEMENS");
    EXPECT_EQ(state.phonebooks.at("SM").capacity, 250);
    EXPECT_EQ(state.phonebooks.at("ME").capacity, 100);
    EXPECT_EQ(state.smsCapacity, 30);
}

TEST(UnitState, ImpossibleStatesAreRefused) {
    const char* const bad[] = {
        "[]",
        "{",
        R"({"phonebooks": {"XX": {}}})",
        R"({"phonebooks": {"SM": {"capacity": 0}}})",
        R"({"phonebooks": {"SM": {"capacity": 10, "entries": [{"position": 11, "number": "1"}]}}})",
        R"({"phonebooks": {"SM": {"entries": [{"position": 1, "number": "12a"}]}}})",
        R"({"phonebooks": {"SM": {"entries": [{"position": 1}, {"position": 1}]}}})",
        R"({"sms": {"messages": [{"index": 31}]}})",
        R"({"sms": {"messages": [{"index": 1, "status": "SENT"}]}})",
        R"({"sms": {"messages": [{"index": 1, "text": "€"}]}})",
        R"({"sim": {"pin": "12"}})",
        R"({"sim": {"pinTries": 4}})",
        R"({"sim": {"pin": 1234}})",
    };
    for (const char* json : bad) {
        EXPECT_THROW(CUnitState::FromJson(json), std::invalid_argument) << json;
    }
}
