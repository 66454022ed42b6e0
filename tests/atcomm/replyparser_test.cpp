#include "atcomm/replyparser.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

const std::string kOk = "\r\nOK\r\n";

std::string Info(const std::string& line) {
    return "\r\n" + line + "\r\n" + kOk;
}

TEST(ReplyParserTest, PinStatusTellsTheSecondCodesFromTheFirst) {
    struct Case {
        std::string reply;
        std::optional<EPinKind> kind;
    };
    const std::vector<Case> cases = {
        {Info("+CPIN: READY"), EPinKind::Ready},
        {Info("+CPIN: SIM PIN"), EPinKind::SimPin},
        {Info("+CPIN: SIM PUK"), EPinKind::SimPuk},
        {Info("+CPIN: SIM PIN2"), EPinKind::SimPin2},
        {Info("+CPIN: SIM PUK2"), EPinKind::SimPuk2},
        {"AT+CPIN?\r" + Info("+CPIN: SIM PIN"), EPinKind::SimPin},  // echo before it
        {Info("+CPIN: PH-SIM PIN"), std::nullopt},
        {Info("+cpin: ready"), std::nullopt},
        {kOk, std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParsePinStatus(c.reply), c.kind) << c.reply;
    }
}

TEST(ReplyParserTest, TriesLeftIsTheNumberOnTheSpicLine) {
    struct Case {
        std::string reply;
        std::optional<int32_t> tries;
    };
    const std::vector<Case> cases = {
        {Info("^SPIC: 3"), 3},
        {Info("^SPIC: 10"), 10},
        {Info("^SPIC: 0"), 0},
        {Info("^SPIC: SIM PIN"), -1},  // the query form names the code instead
        {Info("^SPIC: "), -1},
        {"^SPIC: 2", 2},  // no line end: up to the end of the text
        {kOk, std::nullopt},
        {"\r\n+CME ERROR: 13\r\n", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseTriesLeft(c.reply), c.tries) << c.reply;
    }
}

TEST(ReplyParserTest, CapacityIsTheTotalOfTheStoreReply) {
    struct Case {
        std::string reply;
        int32_t capacity;
        bool valid;
    };
    const std::vector<Case> cases = {
        {Info("+CPBS: \"SM\",12,250"), 250, true},
        {Info("+CPBS: \"ME\",0,100"), 100, true},
        {Info("+CPBS: \"SM\",0,1"), 1, true},
        {Info("+CPBS: \"SM\",0,1000"), 1000, true},
        {Info("+CPBS: \"SM\",0,1001"), 1001, false},
        {Info("+CPBS: \"SM\",0,0"), 0, false},
        {Info("+CPBS: \"SM\",0,-5"), -5, false},
        {Info("+CPBS: \"SM\",12,abc"), 0, false},
        {Info("+CPBS: \"SM\",12,"), 0, false},
        {Info("+CPBS: \"SM\",12"), 0, false},  // one comma only
        // An echoed command puts a carriage return before the reply's own line end.
        {"AT+CPBS?\r" + Info("+CPBS: \"SM\",12,250"), 0, false},
        {kOk, 0, false},
        {"", 0, false},
    };
    for (const Case& c : cases) {
        const int32_t capacity = ParsePhonebookCapacity(c.reply);
        EXPECT_EQ(capacity, c.capacity) << c.reply;
        EXPECT_EQ(IsValidPhonebookCapacity(capacity), c.valid) << c.reply;
    }
}

TEST(ReplyParserTest, QuotedValueIsTheNumberFieldOfAnEntry) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {Info("+CPBR: 64,\"1\",129,\"\""), "1"},
        {Info("+CPBR: 64,\"0\",129,\"ACCESS\""), "0"},
        {Info("+CPBR: 1,\"+46701234567\",145,\"NAME\""), "+46701234567"},
        {Info("+CPBR: 64,\"\",129,\"TEXT\""), ""},
        {"AT+CPBR=64\r" + Info("+CPBR: 64,\"1\",129,\"\""), "1"},
        {kOk, ""},  // an empty position
        {Info("+CPBR: 64,1,129"), ""},
    };
    for (const auto& [reply, value] : cases) {
        EXPECT_EQ(ParseQuotedValue(reply), value) << reply;
    }
}

TEST(ReplyParserTest, SignalQualityIsTheFirstFieldOrUnknown) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {Info("+CSQ: 17,99"), "17"},
        {Info("+CSQ: 99,99"), "99"},
        {Info("+CSQ: 0,0"), "0"},
        {"AT+CSQ\r" + Info("+CSQ: 20,99"), "20"},
        {kOk, "-1"},
        {"", "-1"},
        {"\r\nERROR\r\n", "-1"},
    };
    for (const auto& [reply, quality] : cases) {
        EXPECT_EQ(ParseSignalQuality(reply), quality) << reply;
    }
}

TEST(ReplyParserTest, RegistrationIsTheStatusInEveryPresentationMode) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {Info("+CREG: 0,1"), "1"},
        {Info("+CREG: 0,5"), "5"},
        {Info("+CREG: 0,0"), "0"},
        {Info("+CREG: 1,1"), "1"},
        {Info("+CREG: 2,1,\"5E25\",\"605F\""), "1"},
        {Info("+CREG: 2,2"), "2"},
        {"AT+CREG?\r" + Info("+CREG: 0,3"), "3"},
        {Info("+CREG: 1"), ""},  // no status field
        {kOk, "0"},
        {"", "0"},
    };
    for (const auto& [reply, status] : cases) {
        EXPECT_EQ(ParseRegistrationStatus(reply), status) << reply;
    }
}

TEST(ReplyParserTest, StoredIndexIsAPositiveNumberOrUnreadable) {
    const std::vector<std::pair<std::string, int32_t>> cases = {
        {Info("+CMGW: 3"), 3},
        {Info("+CMGW: 28"), 28},
        {"\r\n> Text\x1a" + Info("+CMGW: 12"), 12},
        {Info("+CMGW: 0"), -1},
        {Info("+CMGW: -4"), -1},
        {Info("+CMGW: x"), -1},
        {kOk, -1},
    };
    for (const auto& [reply, index] : cases) {
        EXPECT_EQ(ParseStoredIndex(reply), index) << reply;
    }
}

}  // namespace
