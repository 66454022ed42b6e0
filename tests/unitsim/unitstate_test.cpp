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

// Each bad state is refused by name: the member (or the store, entry or message) that is wrong
// appears in the message. Numbers are checked for type and range before they are narrowed, so
// a float or a huge value never reaches an int.
TEST(UnitState, ImpossibleStatesAreRefusedNamingWhatIsWrong) {
    const struct {
        const char* json;
        const char* named;
    } bad[] = {
        {"[]", "top level"},
        {"{", "not JSON"},
        {R"({"phonebooks": {"XX": {}}})", "\"XX\""},
        {R"({"phonebooks": {"SM": {"capacity": 0}}})", "phonebooks.SM.capacity"},
        {R"({"phonebooks": {"SM": {"capacity": 10, "entries": [{"position": 11, "number": "1"}]}}})",
         "phonebooks.SM position"},
        {R"({"phonebooks": {"SM": {"entries": [{"position": 1, "number": "12a"}]}}})",
         "phonebooks.SM position 1: bad number"},
        {R"({"phonebooks": {"SM": {"entries": [{"position": 1}, {"position": 1}]}}})",
         "position 1 given twice"},
        {R"({"phonebooks": {"SM": {"entries": [{"number": "1"}]}}})", "without a position"},
        {R"({"phonebooks": {"ME": {"entries": [{"position": 2.5}]}}})", "phonebooks.ME position"},
        {R"({"phonebooks": {"ME": {"entries": {"position": 2}}}})", "phonebooks.ME.entries"},
        {R"({"phonebooks": {"SM": {"entries": [{"position": 1, "type": 1e30}]}}})",
         "position 1 type"},
        {R"({"phonebooks": {"SM": {"textLength": -1}}})", "phonebooks.SM.textLength"},
        {R"({"sms": {"messages": [{"index": 31}]}})", "sms message index"},
        {R"({"sms": {"messages": [{"index": 1, "status": "SENT"}]}})", "sms message 1"},
        {R"({"sms": {"messages": [{"index": 1, "text": "€"}]}})", "sms message 1 text"},
        {R"({"sms": {"capacity": 18446744073709551615}})", "sms.capacity"},
        {R"({"sms": "full"})", "sms"},
        {R"({"sim": {"pin": "12"}})", "sim.pin"},
        {R"({"sim": {"pinTries": 4}})", "sim.pinTries"},
        {R"({"sim": {"pin": 1234}})", "sim.pin"},
        {R"({"sim": {"lock": 1}})", "sim.lock"},
        {R"({"sim": {"busyMs": -9223372036854775808}})", "sim.busyMs"},
        {R"({"network": {"rssi": 1e30}})", "network.rssi"},
        {R"({"network": {"rssi": 32}})", "network.rssi"},
        {R"({"network": {"rssi": 2147483648}})", "network.rssi"},
        {R"({"network": {"ber": 8}})", "network.ber"},
        {R"({"network": {"registration": "1"}})", "network.registration"},
        {R"({"network": {"lac": 24101}})", "network.lac"},
        {R"({"profile": {"errorMode": 3}})", "profile.errorMode"},
        {R"({"maker": null})", "maker"},
    };
    for (const auto& c : bad) {
        SCOPED_TRACE(c.json);
        try {
            CUnitState::FromJson(c.json);
            ADD_FAILURE() << "accepted";
        } catch (const std::invalid_argument& e) {
            EXPECT_NE(std::string(e.what()).find(c.named), std::string::npos) << e.what();
        }
    }
    // The edges of the ranges are values a module gives.
    const CUnitState edges =
        CUnitState::FromJson(R"({"network": {"rssi": 99, "ber": 7}, "sim": {"busyMs": 0}})");
    EXPECT_EQ(edges.network.rssi, 99);
    EXPECT_EQ(edges.network.ber, 7);
}
