#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Pure readers of the two listings the module gives in one reply: the phonebook range read
// ("+CPBR:" lines) and the SMS store listing ("+CMGL:" headers, each followed by its text line).
// They take the reply text apart only; which entries the caller keeps is its own decision.
// Both read only lines that start with their own prefix and pass over unsolicited reports
// (see CReplyLines), wherever those arrived.

// One readable "+CPBR:" line.
struct CPhoneBookListingEntry {
    int32_t position = 0;
    // The number field, found twice: after the line's first comma-quote pair, and between the
    // line's first and second double quotes. Both agree on every well-formed line.
    std::string number;
    std::string quotedNumber;

    bool operator==(const CPhoneBookListingEntry&) const = default;
};

struct CPhoneBookListing {
    // The readable lines, in reply order.
    std::vector<CPhoneBookListingEntry> entries;
    // A "+CPBR:" line whose position was not a number of 1 or more; the lines after it are
    // still read.
    bool hasUnreadable = false;
};

CPhoneBookListing ParsePhoneBookListing(const std::string& reply);

// One listed message.
struct CSmsListingEntry {
    int32_t index = 0;
    // The address field of the header, as listed.
    std::string number;
    // The line right after the header, converted from the module's character set to
    // Windows-1252.
    std::string text;

    bool operator==(const CSmsListingEntry&) const = default;
};

struct CSmsListing {
    enum class Outcome {
        Empty,        // the final OK is the only answer (reports aside): no message is stored
        Listed,       // every header was read
        NotAListing,  // no final OK, or answer lines but no "+CMGL: " header
        Unreadable,   // a header's index is not a number of 1 or more; reading stopped there
    };
    Outcome outcome = Outcome::Empty;
    // The messages in reply order; with Unreadable, those before the unreadable header.
    std::vector<CSmsListingEntry> messages;
};

CSmsListing ParseSmsListing(const std::string& reply);
