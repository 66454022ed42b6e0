#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "atcomm/listingparser.h"
#include "atcomm/replyparser.h"

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

using Outcome = CSmsListing::Outcome;

std::string Entry(const std::string& position, const std::string& number) {
    return "+CPBR: " + position + ",\"" + number + "\",145,\"A\"\r\n";
}

TEST(ListingParserTest, ReadsPhoneBookRangeListings) {
    struct Case {
        const char* name;
        std::string reply;
        std::vector<CPhoneBookListingEntry> entries;
        bool hasUnreadable;
    };
    const std::vector<Case> cases = {
        {"echoed command and other lines are skipped",
         "AT+CPBR=1,250\r\r\n" + Entry("1", "+461") + "RING\r\n" + kOk,
         {{1, "+461", "+461"}},
         false},
        // No comma before the number's quote: only the quote-to-quote form finds it.
        {"malformed line", "\r\n+CPBR: 7, \"+467\"\r\n" + kOk, {{7, "", "+467"}}, false},
        {"position not a number",
         "\r\n" + Entry("x", "+461") + Entry("2", "+462") + kOk,
         {{2, "+462", "+462"}},
         true},
        {"positions below 1 are unreadable",
         "\r\n" + Entry("0", "+460") + Entry("-4", "+461") + Entry("2", "+462") + kOk,
         {{2, "+462", "+462"}},
         true},
        {"last line without line feed",
         "\r\n+CPBR: 9,\"+469\",145,\"A\"",
         {{9, "+469", "+469"}},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CPhoneBookListing listing = ParsePhoneBookListing(c.reply);
        EXPECT_EQ(listing.entries, c.entries);
        EXPECT_EQ(listing.hasUnreadable, c.hasUnreadable);
    }
}

std::string Stored(int index, const std::string& address, const std::string& text) {
    return "+CMGL: " + std::to_string(index) + ",\"STO UNSENT\",\"" + address + "\",,\r\n" + text +
           "\r\n";
}

std::string Received(int index, const std::string& text) {
    return "+CMGL: " + std::to_string(index) +
           ",\"REC READ\",\"+46709\",,\"24/05/01,12:00:00+08\"\r\n" + text + "\r\n";
}

TEST(ListingParserTest, ReadsSmsListings) {
    struct Case {
        const char* name;
        std::string reply;
        Outcome outcome;
        std::vector<CSmsListingEntry> messages;
    };
    const std::vector<Case> cases = {
        {"messages with and without address, one beyond the unit's 28",
         "\r\n" + Stored(1, "+46701", "Door open") + Stored(2, "", "Door shut") +
             Stored(29, "+4629", "x") + kOk,
         Outcome::Listed,
         {{1, "+46701", "Door open"}, {2, "", "Door shut"}, {29, "+4629", "x"}}},
        {"text OK and text ending in OK",
         "\r\n" + Stored(1, "+461", "OK") + Stored(2, "+462", "Power OK") + kOk,
         Outcome::Listed,
         {{1, "+461", "OK"}, {2, "+462", "Power OK"}}},
        // The text of a message is the line after its own header, never a later line.
        {"empty texts before and after others",
         "\r\n" + Stored(1, "", "") + Received(2, "Call me") + Received(3, "") +
             Stored(4, "+464", "Four") + Stored(5, "", "") + kOk,
         Outcome::Listed,
         {{1, "", ""},
          {2, "+46709", "Call me"},
          {3, "+46709", ""},
          {4, "+464", "Four"},
          {5, "", ""}}},
        {"a text that looks like a header or holds the address separator",
         "\r\n" + Stored(1, "+461", "+CMGL: 9,\"x\",\"y\",,") + Stored(2, "+462", "a\",\"b") + kOk,
         Outcome::Listed,
         {{1, "+461", "+CMGL: 9,\"x\",\"y\",,"}, {2, "+462", "a\",\"b"}}},
        {"module characters and hex escapes",
         "\r\n" + Stored(1, "+461", "D|rr \\00 \\5C[\\0E\\0F{|") + kOk,
         Outcome::Listed,
         {{1, "+461", "D\xF6rr @ \xD6\xC4\xC5\xE5\xE4\xF6"}}},
        {"index not a number stops the reading",
         "\r\n" + Stored(1, "+461", "One") + "+CMGL: A,\"STO UNSENT\",\"\",,\r\nX\r\n" +
             Stored(2, "+462", "Two") + kOk,
         Outcome::Unreadable,
         {{1, "+461", "One"}}},
        {"index 0 stops the reading",
         "\r\n" + Stored(1, "+461", "One") + Stored(0, "", "Zero") + Stored(2, "+462", "Two") + kOk,
         Outcome::Unreadable,
         {{1, "+461", "One"}}},
        {"no header", "\r\n+CMTI: \"SM\",3\r\n" + kOk, Outcome::NotAListing, {}},
        {"no OK", "\r\n" + Stored(1, "+461", "One") + "\r\nERROR\r\n", Outcome::NotAListing, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CSmsListing listing = ParseSmsListing(c.reply);
        EXPECT_EQ(listing.outcome, c.outcome);
        EXPECT_EQ(listing.messages, c.messages);
    }
}

}  // namespace
