#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "atcomm/listingparser.h"
#include "atcomm/replyparser.h"

// Every table runs twice: on the replies as written, and with unsolicited reports around every
// line of each reply, which must change no result. A row's note names where its reply comes
// from: the simulated unit, an example of the GSM AT command standards (27.007, 27.005), the
// module family's manual, or a form made up to see a parser refuse it.

namespace {

const std::string kOk = "\r\nOK\r\n";

std::string Info(const std::string& line) {
    return "\r\n" + line + "\r\n" + kOk;
}

// Reports a module may send at any moment, several of them sharing a prefix with an answer or
// carrying a text that reads like one.
const std::vector<std::string> kReports = {
    "RING",
    "+CMTI: \"SM\",3",
    "+CREG: 1,\"5E25\",\"605F\"",
    "+CREG: 5",
    "^SYSSTART",
    "+CDS: 6,12,\"+46709\",145,\"24/05/01,12:00:00+08\",\"24/05/01,12:00:05+08\",0",
    // Two-line reports: the next line is the message's text or PDU, whatever it reads like.
    "+CMT: \"+46709\",,\"24/05/01,12:00:00+08\"\r\n+CPBR: 64,\"9\",129,\"\"",
    "+CBM: 1,50,0,1,1\r\nOK",
    "+CDS: 25\r\n+CMGL: 9,\"REC READ\",\"+1\",,",
};

// `reply` with `report` before it, after each of its line ends and, when it does not end with
// one, after it. Never between a listing header and its text line, which the module keeps
// together.
std::string Around(const std::string& reply, const std::string& report) {
    const std::string block = "\r\n" + report + "\r\n";
    std::string out = block;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = reply.find("\r\n", start);
        if (end == std::string::npos) {
            out += reply.substr(start);
            break;
        }
        out += reply.substr(start, end + 2 - start);
        if (reply.compare(start, 6, "+CMGL:") != 0) {
            out += block;
        }
        start = end + 2;
    }
    if (!reply.ends_with("\r\n")) {
        out += block;
    }
    return out;
}

// Runs `check` on each reply as written and once more with each report around it.
void WithAndWithoutReports(const std::string& reply,
                           const std::function<void(const std::string&)>& check) {
    check(reply);
    for (const std::string& report : kReports) {
        SCOPED_TRACE("with " + report);
        check(Around(reply, report));
    }
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
    {"quoted", [](const std::string& r) { return ParseQuotedValue(r); }},
    {"setting 64", [](const std::string& r) { return ParseQuotedValue(r, 64); }},
    {"csq", ParseSignalQuality},
    {"creg", ParseRegistrationStatus},
    {"index", [](const std::string& r) { return std::to_string(ParseStoredIndex(r)); }},
    {"imei", ParseSerialNumber},
    {"ati",
     [](const std::string& r) {
         std::string joined;
         for (const std::string& line : ParseIdentificationLines(r)) {
             joined += (joined.empty() ? "" : "|") + line;
         }
         return joined;
     }},
};

std::string Kind(EPinKind kind) {
    return std::to_string(static_cast<int>(kind));
}

constexpr char kSim[] = "simulated unit";
constexpr char kStd[] = "27.007";
constexpr char kSms[] = "27.005";
constexpr char kManual[] = "MC35i manual";
constexpr char kMade[] = "made up";

TEST(ReplyParserTest, ParsesEachReplyFormOrRejectsIt) {
    struct Case {
        const char* parser;
        std::string reply;
        std::string expected;
        const char* note;
    };
    const std::vector<Case> cases = {
        // The second codes must not be read as the first ones their names start with.
        {"pin", Info("+CPIN: SIM PIN2"), Kind(EPinKind::SimPin2), kStd},
        {"pin", Info("+CPIN: SIM PUK2"), Kind(EPinKind::SimPuk2), kStd},
        {"pin", "AT+CPIN?\r" + Info("+CPIN: SIM PIN"), Kind(EPinKind::SimPin), kSim},
        {"pin", Info("+CPIN: READY"), Kind(EPinKind::Ready), kSim},
        {"pin", Info("+CPIN: PH-SIM PIN"), "none", kStd},
        {"pin", Info("+cpin: ready"), "none", kMade},
        {"pin", kOk, "none", kMade},
        {"tries", Info("^SPIC: 10"), "10", kManual},
        {"tries", Info("^SPIC: SIM PIN"), "-1", kManual},  // the query form names the code
        {"tries", "^SPIC: 2", "2", kMade},                 // no line end: to the end of the text
        {"tries", kOk, "none", kMade},
        // A plausible store holds 1 to 1000 positions.
        {"capacity", Info("+CPBS: \"SM\",12,250"), "250", kSim},
        {"capacity", "AT+CPBS?\r" + Info("+CPBS: \"ME\",3,100"), "100", kSim},  // echo on
        {"capacity", Info("+CPBS: \"SM\",0,1000"), "1000", kMade},
        {"capacity", Info("+CPBS: \"SM\",0,1001"), "1001 invalid", kMade},
        {"capacity", Info("+CPBS: \"SM\",0,0"), "0 invalid", kMade},
        {"capacity", Info("+CPBS: \"SM\",0,-5"), "-5 invalid", kMade},
        {"capacity", Info("+CPBS: \"SM\",12,abc"), "0 invalid", kMade},
        {"capacity", Info("+CPBS: \"SM\""), "0 invalid", kStd},  // used and total left out
        {"quoted", Info("+CPBR: 64,\"1\",129,\"\""), "1", kSim},
        {"quoted", Info("+CPBR: 64,\"\",129,\"TEXT\""), "", kSim},
        {"quoted", "AT+CPBR=64\r" + Info("+CPBR: 64,\"1\",129,\"\""), "1", kSim},
        {"quoted", kOk, "", kSim},
        {"quoted", Info("+CPBR: 64,1,129"), "", kMade},
        // Only the line of the position asked for.
        {"setting 64", "\r\n+CPBR: 63,\"9\",129,\"\"\r\n+CPBR: 64,\"0\",129,\"\"\r\n" + kOk, "0",
         kMade},
        {"setting 64", Info("+CPBR: 63,\"9\",129,\"\""), "", kMade},
        {"csq", Info("+CSQ: 17,99"), "17", kStd},
        {"csq", "AT+CSQ\r" + Info("+CSQ: 20,99"), "20", kSim},
        {"csq", kOk, "-1", kMade},
        {"csq", "\r\nERROR\r\n", "-1", kSim},
        // The status follows the presentation mode, with or without the location after it; a
        // line of 1 or 3 fields is the unsolicited report, never the answer.
        {"creg", Info("+CREG: 0,5"), "5", kStd},
        {"creg", Info("+CREG: 2,1,\"5E25\",\"605F\""), "1", kManual},
        {"creg", "AT+CREG?\r" + Info("+CREG: 0,3"), "3", kSim},
        {"creg", Info("+CREG: 0,"), "", kMade},  // no status
        {"creg", Info("+CREG: 1"), "0", kManual},
        {"creg", Info("+CREG: 1,\"5E25\",\"605F\""), "0", kManual},
        {"creg", kOk, "0", kMade},
        // A stored message's index is a positive number or unreadable.
        {"index", "\r\n> Text\x1a" + Info("+CMGW: 12"), "12", kSim},
        {"index", Info("+CMGW: 0"), "-1", kMade},
        {"index", Info("+CMGW: -4"), "-1", kMade},
        {"index", Info("+CMGW: x"), "-1", kMade},
        {"index", kOk, "-1", kMade},
        // The serial number is 14 to 17 digits, echoed or not, bare or after its prefix.
        {"imei", "AT+CGSN\r" + Info("351234567890124"), "351234567890124", kSim},
        {"imei", Info("+CGSN: \"3512345678901234\""), "3512345678901234", kMade},
        {"imei", Info("1234567890123"), "", kMade},
        {"imei", Info("35123456789012X"), "", kMade},
        {"imei", "AT+CGSN\r\r\nERROR\r\n", "", kSim},
        {"ati", "ATI\r\r\nSIEMENS\r\nMC35i\r\nREVISION 02.00\r\n" + kOk,
         "SIEMENS|MC35i|REVISION 02.00", kSim},
        // The ESC sent just before may come back with the echo.
        {"ati",
         "\x1B"
         "ATI\r\r\nCinterion\r\nMC55i\r\n" +
             kOk,
         "Cinterion|MC55i", kSim},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.parser) + " (" + c.note + ") " + c.reply);
        WithAndWithoutReports(c.reply, [&c](const std::string& reply) {
            EXPECT_EQ(kParsers.at(c.parser)(reply), c.expected);
        });
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
        {"echoed command, simulated unit",
         "AT+CPBR=1,250\r\r\n" + Entry("1", "+461") + Entry("70", "+4670") + kOk,
         {{1, "+461", "+461"}, {70, "+4670", "+4670"}},
         false},
        // No comma before the number's quote: only the quote-to-quote form finds it.
        {"malformed line, made up", "\r\n+CPBR: 7, \"+467\"\r\n" + kOk, {{7, "", "+467"}}, false},
        {"position not a number, made up",
         "\r\n" + Entry("x", "+461") + Entry("2", "+462") + kOk,
         {{2, "+462", "+462"}},
         true},
        {"positions below 1 are unreadable, made up",
         "\r\n" + Entry("0", "+460") + Entry("-4", "+461") + Entry("2", "+462") + kOk,
         {{2, "+462", "+462"}},
         true},
        {"last line without line feed, made up",
         "\r\n+CPBR: 9,\"+469\",145,\"A\"",
         {{9, "+469", "+469"}},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WithAndWithoutReports(c.reply, [&c](const std::string& reply) {
            const CPhoneBookListing listing = ParsePhoneBookListing(reply);
            EXPECT_EQ(listing.entries, c.entries);
            EXPECT_EQ(listing.hasUnreadable, c.hasUnreadable);
        });
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
        {"empty store, simulated unit", kOk, Outcome::Empty, {}},
        {"messages with and without address, one beyond the unit's 28, simulated unit",
         "\r\n" + Stored(1, "+46701", "Door open") + Stored(2, "", "Door shut") +
             Stored(29, "+4629", "x") + kOk,
         Outcome::Listed,
         {{1, "+46701", "Door open"}, {2, "", "Door shut"}, {29, "+4629", "x"}}},
        // The text of a message is the line after its own header, never a later line, even
        // when it reads like a result, a report or a header.
        {"texts that read like a result or a report, made up",
         "\r\n" + Stored(1, "+461", "OK") + Stored(2, "+462", "Power OK") + Stored(3, "", "RING") +
             Stored(4, "", "+CMT: \"+1\",,\"x\"") + Stored(5, "", "ERROR") + kOk,
         Outcome::Listed,
         {{1, "+461", "OK"},
          {2, "+462", "Power OK"},
          {3, "", "RING"},
          {4, "", "+CMT: \"+1\",,\"x\""},
          {5, "", "ERROR"}}},
        {"empty texts before and after others, 27.005 example",
         "\r\n" + Stored(1, "", "") + Received(2, "Call me") + Received(3, "") +
             Stored(4, "+464", "Four") + Stored(5, "", "") + kOk,
         Outcome::Listed,
         {{1, "", ""},
          {2, "+46709", "Call me"},
          {3, "+46709", ""},
          {4, "+464", "Four"},
          {5, "", ""}}},
        {"a text that looks like a header or holds the address separator, made up",
         "\r\n" + Stored(1, "+461", "+CMGL: 9,\"x\",\"y\",,") + Stored(2, "+462", "a\",\"b") + kOk,
         Outcome::Listed,
         {{1, "+461", "+CMGL: 9,\"x\",\"y\",,"}, {2, "+462", "a\",\"b"}}},
        {"module characters and hex escapes, simulated unit",
         "\r\n" + Stored(1, "+461", "D|rr \\00 \\5C[\\0E\\0F{|") + kOk,
         Outcome::Listed,
         {{1, "+461", "D\xF6rr @ \xD6\xC4\xC5\xE5\xE4\xF6"}}},
        {"index not a number stops the reading, made up",
         "\r\n" + Stored(1, "+461", "One") + "+CMGL: A,\"STO UNSENT\",\"\",,\r\nX\r\n" +
             Stored(2, "+462", "Two") + kOk,
         Outcome::Unreadable,
         {{1, "+461", "One"}}},
        {"index 0 stops the reading, made up",
         "\r\n" + Stored(1, "+461", "One") + Stored(0, "", "Zero") + Stored(2, "+462", "Two") + kOk,
         Outcome::Unreadable,
         {{1, "+461", "One"}}},
        {"another command's answer, made up", Info("+CPMS: 3,30"), Outcome::NotAListing, {}},
        {"no OK, 27.005 error",
         "\r\n" + Stored(1, "+461", "One") + "\r\n+CMS ERROR: 321\r\n",
         Outcome::NotAListing,
         {}},
        {"the last text is OK and no final result, made up",
         "\r\n" + Stored(1, "+461", "OK"),
         Outcome::NotAListing,
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WithAndWithoutReports(c.reply, [&c](const std::string& reply) {
            const CSmsListing listing = ParseSmsListing(reply);
            EXPECT_EQ(listing.outcome, c.outcome);
            EXPECT_EQ(listing.messages, c.messages);
        });
    }
}

}  // namespace
