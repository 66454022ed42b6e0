#include "atcomm/listingparser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Outcome = CSmsListing::Outcome;

struct PhoneBookCase {
    const char* name;
    std::string reply;
    std::vector<CPhoneBookListingEntry> entries;
    bool hasUnreadable;
};

TEST(ListingParserTest, ReadsPhoneBookRangeListings) {
    const std::vector<PhoneBookCase> cases = {
        {"empty range", "\r\nOK\r\n", {}, false},
        {"two entries",
         "\r\n+CPBR: 3,\"+46701\",145,\"ACCESS\"\r\n+CPBR: 70,\"+46702\",145,\"ACCESS\"\r\n\r\nOK"
         "\r\n",
         {{3, "+46701", "+46701"}, {70, "+46702", "+46702"}},
         false},
        {"setting entry with empty name",
         "\r\n+CPBR: 64,\"1\",129,\"\"\r\n\r\nOK\r\n",
         {{64, "1", "1"}},
         false},
        {"empty number field",
         "\r\n+CPBR: 5,\"\",129,\"NAME\"\r\n\r\nOK\r\n",
         {{5, "", ""}},
         false},
        {"echoed command and other lines are skipped",
         "AT+CPBR=1,250\r\r\n+CPBR: 1,\"+461\",145,\"ACCESS\"\r\nRING\r\n\r\nOK\r\n",
         {{1, "+461", "+461"}},
         false},
        {"position not a number",
         "\r\n+CPBR: x,\"+461\",145,\"A\"\r\n+CPBR: 2,\"+462\",145,\"A\"\r\n\r\nOK\r\n",
         {{2, "+462", "+462"}},
         true},
        {"position 0 is unreadable",
         "\r\n+CPBR: 0,\"+461\",145,\"A\"\r\n+CPBR: 2,\"+462\",145,\"A\"\r\n\r\nOK\r\n",
         {{2, "+462", "+462"}},
         true},
        {"negative position is unreadable",
         "\r\n+CPBR: -4,\"+461\",145,\"A\"\r\n\r\nOK\r\n",
         {},
         true},
        {"last line without line feed",
         "\r\n+CPBR: 9,\"+469\",145,\"A\"",
         {{9, "+469", "+469"}},
         false},
    };
    for (const PhoneBookCase& c : cases) {
        SCOPED_TRACE(c.name);
        const CPhoneBookListing listing = ParsePhoneBookListing(c.reply);
        EXPECT_EQ(listing.entries, c.entries);
        EXPECT_EQ(listing.hasUnreadable, c.hasUnreadable);
    }
}

TEST(ListingParserTest, TheTwoNumberFormsDifferOnlyOnMalformedLines) {
    // No comma before the number's quote: only the quote-to-quote form finds it.
    const CPhoneBookListing listing = ParsePhoneBookListing("\r\n+CPBR: 7, \"+467\"\r\n\r\nOK\r\n");
    ASSERT_EQ(listing.entries.size(), 1u);
    EXPECT_EQ(listing.entries[0].number, "");
    EXPECT_EQ(listing.entries[0].quotedNumber, "+467");
}

struct SmsCase {
    const char* name;
    std::string reply;
    Outcome outcome;
    std::vector<CSmsListingEntry> messages;
};

const std::string kOk = "\r\nOK\r\n";

std::string Stored(int index, const std::string& address, const std::string& text) {
    return "+CMGL: " + std::to_string(index) + ",\"STO UNSENT\",\"" + address + "\",,\r\n" + text +
           "\r\n";
}

TEST(ListingParserTest, ReadsSmsListings) {
    const std::vector<SmsCase> cases = {
        {"empty store", kOk, Outcome::Empty, {}},
        {"two messages",
         "\r\n" + Stored(1, "+46701", "Door open") + Stored(2, "+46702", "Door shut") + kOk,
         Outcome::Listed,
         {{1, "+46701", "Door open"}, {2, "+46702", "Door shut"}}},
        {"empty address",
         "\r\n" + Stored(4, "", "No receiver") + kOk,
         Outcome::Listed,
         {{4, "", "No receiver"}}},
        {"text OK and text ending in OK",
         "\r\n" + Stored(1, "+461", "OK") + Stored(2, "+462", "Power OK") + kOk,
         Outcome::Listed,
         {{1, "+461", "OK"}, {2, "+462", "Power OK"}}},
        // The text of a message is the line after its own header, never a later line.
        {"empty text before another message",
         "\r\n" + Stored(1, "", "") + Stored(2, "+462", "Second") + kOk,
         Outcome::Listed,
         {{1, "", ""}, {2, "+462", "Second"}}},
        {"empty text before a received message",
         "\r\n" + Stored(1, "", "") +
             "+CMGL: 2,\"REC READ\",\"+46709\",,\"24/05/01,12:00:00+08\"\r\nCall me\r\n" + kOk,
         Outcome::Listed,
         {{1, "", ""}, {2, "+46709", "Call me"}}},
        {"empty text as the last message",
         "\r\n" + Stored(1, "+461", "First") + Stored(2, "", "") + kOk,
         Outcome::Listed,
         {{1, "+461", "First"}, {2, "", ""}}},
        {"received message with time stamp",
         "\r\n+CMGL: 3,\"REC READ\",\"+46709\",,\"24/05/01,12:00:00+08\"\r\nCall me\r\n" +
             Stored(4, "+464", "Four") + kOk,
         Outcome::Listed,
         {{3, "+46709", "Call me"}, {4, "+464", "Four"}}},
        {"received message with empty text before a stored one",
         "\r\n+CMGL: 3,\"REC READ\",\"+46709\",,\"24/05/01,12:00:00+08\"\r\n\r\n" +
             Stored(4, "+464", "Four") + kOk,
         Outcome::Listed,
         {{3, "+46709", ""}, {4, "+464", "Four"}}},
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
        {"index beyond the unit's messages is listed",
         "\r\n" + Stored(29, "+4629", "x") + kOk,
         Outcome::Listed,
         {{29, "+4629", "x"}}},
    };
    for (const SmsCase& c : cases) {
        SCOPED_TRACE(c.name);
        const CSmsListing listing = ParseSmsListing(c.reply);
        EXPECT_EQ(listing.outcome, c.outcome);
        EXPECT_EQ(listing.messages, c.messages);
    }
}

}  // namespace
