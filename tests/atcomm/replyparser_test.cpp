#include "atcomm/replyparser.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

const std::string kOk = "\r\nOK\r\n";

std::string Info(const std::string& line) {
    return "\r\n" + line + "\r\n" + kOk;
}

template <class T>
std::string Text(const std::optional<T>& value) {
    return value ? std::to_string(static_cast<int>(*value)) : "none";
}

// Every parser's result as text, so one table covers them all.
const std::map<std::string, std::function<std::string(const std::string&)>> kParsers = {
    {"pin", [](const std::string& r) { return Text(ParsePinStatus(r)); }},
    {"tries", [](const std::string& r) { return Text(ParseTriesLeft(r)); }},
    {"capacity",
     [](const std::string& r) {
         const int32_t capacity = ParsePhonebookCapacity(r);
         return std::to_string(capacity) + (IsValidPhonebookCapacity(capacity) ? "" : " invalid");
     }},
    {"quoted", ParseQuotedValue},
    {"csq", ParseSignalQuality},
    {"creg", ParseRegistrationStatus},
    {"index", [](const std::string& r) { return std::to_string(ParseStoredIndex(r)); }},
};

std::string Kind(EPinKind kind) {
    return std::to_string(static_cast<int>(kind));
}

TEST(ReplyParserTest, ParsesEachReplyFormOrRejectsIt) {
    struct Case {
        const char* parser;
        std::string reply;
        std::string expected;
    };
    const std::vector<Case> cases = {
        // The second codes must not be read as the first ones their names start with. The
        // controller tests cover the common forms of every reply through the simulated unit.
        {"pin", Info("+CPIN: SIM PIN2"), Kind(EPinKind::SimPin2)},
        {"pin", Info("+CPIN: SIM PUK2"), Kind(EPinKind::SimPuk2)},
        {"pin", "AT+CPIN?\r" + Info("+CPIN: SIM PIN"), Kind(EPinKind::SimPin)},
        {"pin", Info("+CPIN: PH-SIM PIN"), "none"},
        {"pin", Info("+cpin: ready"), "none"},
        {"pin", kOk, "none"},
        {"tries", Info("^SPIC: 10"), "10"},
        {"tries", Info("^SPIC: SIM PIN"), "-1"},  // the query form names the code instead
        {"tries", "^SPIC: 2", "2"},               // no line end: up to the end of the text
        {"tries", kOk, "none"},
        // A plausible store holds 1 to 1000 positions.
        {"capacity", Info("+CPBS: \"SM\",0,1"), "1"},
        {"capacity", Info("+CPBS: \"SM\",0,1000"), "1000"},
        {"capacity", Info("+CPBS: \"SM\",0,1001"), "1001 invalid"},
        {"capacity", Info("+CPBS: \"SM\",0,0"), "0 invalid"},
        {"capacity", Info("+CPBS: \"SM\",0,-5"), "-5 invalid"},
        {"capacity", Info("+CPBS: \"SM\",12,abc"), "0 invalid"},
        {"capacity", Info("+CPBS: \"SM\",12"), "0 invalid"},
        // An echoed command puts a carriage return before the reply's own line end.
        {"capacity", "AT+CPBS?\r" + Info("+CPBS: \"SM\",12,250"), "0 invalid"},
        {"quoted", Info("+CPBR: 64,\"1\",129,\"\""), "1"},
        {"quoted", Info("+CPBR: 64,\"\",129,\"TEXT\""), ""},
        {"quoted", "AT+CPBR=64\r" + Info("+CPBR: 64,\"1\",129,\"\""), "1"},
        {"quoted", kOk, ""},
        {"quoted", Info("+CPBR: 64,1,129"), ""},
        {"csq", Info("+CSQ: 17,99"), "17"},
        {"csq", "AT+CSQ\r" + Info("+CSQ: 20,99"), "20"},
        {"csq", kOk, "-1"},
        {"csq", "\r\nERROR\r\n", "-1"},
        // The status follows the first comma in every presentation mode.
        {"creg", Info("+CREG: 0,5"), "5"},
        {"creg", Info("+CREG: 2,1,\"5E25\",\"605F\""), "1"},
        {"creg", Info("+CREG: 2,2"), "2"},
        {"creg", "AT+CREG?\r" + Info("+CREG: 0,3"), "3"},
        {"creg", Info("+CREG: 1"), ""},  // no status field
        {"creg", kOk, "0"},
        // A stored message's index is a positive number or unreadable.
        {"index", "\r\n> Text\x1a" + Info("+CMGW: 12"), "12"},
        {"index", Info("+CMGW: 0"), "-1"},
        {"index", Info("+CMGW: -4"), "-1"},
        {"index", Info("+CMGW: x"), "-1"},
        {"index", kOk, "-1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.parser) + " " + c.reply);
        EXPECT_EQ(kParsers.at(c.parser)(c.reply), c.expected);
    }
}

}  // namespace
