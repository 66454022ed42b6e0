#include "atcomm/listingparser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Outcome = CSmsListing::Outcome;

const std::string kOk = "\r\nOK\r\n";

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
