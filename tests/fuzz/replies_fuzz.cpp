// The reply and listing parsers and the line splitting under them, on any bytes a module (or
// something else on the port) could send. Besides not crashing, each parser reads only its
// own response line: a RING arriving between two lines changes nothing any parser gives.

#include <string>
#include <string_view>
#include <vector>

#include "atcomm/listingparser.h"
#include "atcomm/replyparser.h"
#include "engine/replylines.h"
#include "engine/unsolicited.h"
#include "fuzzcheck.h"

namespace {

// Everything the parsers take out of one reply, to compare two replies by.
struct Readings {
    std::optional<EPinKind> pin;
    std::optional<int32_t> tries;
    int32_t capacity = 0;
    std::string quoted;
    std::string quotedAt;
    std::string quality;
    std::string registration;
    int32_t stored = 0;
    std::vector<CPhoneBookListingEntry> phonebook;
    bool phonebookUnreadable = false;
    CSmsListing::Outcome smsOutcome = CSmsListing::Outcome::Empty;
    std::vector<CSmsListingEntry> messages;
    bool complete = false;

    bool operator==(const Readings&) const = default;
};

Readings Read(const std::string& reply, int32_t position) {
    Readings r;
    r.pin = ParsePinStatus(reply);
    r.tries = ParseTriesLeft(reply);
    r.capacity = ParsePhonebookCapacity(reply);
    r.quoted = ParseQuotedValue(reply);
    r.quotedAt = ParseQuotedValue(reply, position);
    r.quality = ParseSignalQuality(reply);
    r.registration = ParseRegistrationStatus(reply);
    r.stored = ParseStoredIndex(reply);
    const CPhoneBookListing phonebook = ParsePhoneBookListing(reply);
    r.phonebook = phonebook.entries;
    r.phonebookUnreadable = phonebook.hasUnreadable;
    const CSmsListing sms = ParseSmsListing(reply);
    r.smsOutcome = sms.outcome;
    r.messages = sms.messages;
    r.complete = CReplyLines(reply).EndsWithFinalOk();
    return r;
}

bool Contains(const std::string& reply, const std::string& part) {
    return reply.find(part) != std::string::npos;
}

void CheckAlone(const std::string& reply, const Readings& r) {
    FUZZ_CHECK(Contains(reply, r.quoted) && r.quoted.find('"') == std::string::npos);
    FUZZ_CHECK(Contains(reply, r.quotedAt) && r.quotedAt.find('"') == std::string::npos);
    FUZZ_CHECK(r.quality == "-1" || Contains(reply, r.quality));
    FUZZ_CHECK(r.registration == "0" || Contains(reply, r.registration));
    FUZZ_CHECK(r.stored == -1 || r.stored >= 1);
    FUZZ_CHECK(IsValidPhonebookCapacity(r.capacity) ==
               (r.capacity >= 1 && r.capacity <= kMaxPhonebookCapacity));
    for (const CPhoneBookListingEntry& entry : r.phonebook) {
        FUZZ_CHECK(entry.position >= 1);
        FUZZ_CHECK(Contains(reply, entry.number) && Contains(reply, entry.quotedNumber));
    }
    for (const CSmsListingEntry& message : r.messages) {
        FUZZ_CHECK(message.index >= 1);
        FUZZ_CHECK(Contains(reply, message.number));
    }
    if (r.smsOutcome == CSmsListing::Outcome::Empty ||
        r.smsOutcome == CSmsListing::Outcome::NotAListing) {
        FUZZ_CHECK(r.messages.empty());
    }
    // A complete reply ends with a line end; any other ending is a line still coming.
    FUZZ_CHECK(!r.complete || reply.ends_with("\r\n"));

    const CReplyLines lines(reply);
    std::size_t total = 0;
    for (std::size_t i = 0; i < lines.Count(); ++i) {
        FUZZ_CHECK(lines.Line(i).find("\r\n") == std::string_view::npos);
        total += lines.Line(i).size();
    }
    FUZZ_CHECK(total + 2 * (lines.Count() - 1) == reply.size());
}

// Whether the line claims the one after it (a listing header, an unsolicited report with a
// body), walked as the line splitter does it.
std::vector<bool> ClaimsNext(const CReplyLines& lines) {
    std::vector<bool> claims(lines.Count(), false);
    for (std::size_t i = 0; i + 1 < lines.Count(); ++i) {
        const std::string_view line = lines.Line(i);
        if (line.starts_with("+CMGL:") || (IsUnsolicitedLine(line) && HasUnsolicitedBody(line))) {
            claims[i] = true;
            ++i;
        }
    }
    return claims;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    // The first two bytes choose the position asked for and where a RING goes; the rest is
    // the reply.
    const int32_t position = static_cast<int8_t>(data[0]);
    const std::size_t ringAfter = data[1];
    const std::string reply = FuzzText(data + 2, size - 2);
    const Readings alone = Read(reply, position);
    CheckAlone(reply, alone);

    // A RING after a line end, where the line before does not claim the next one.
    const CReplyLines lines(reply);
    if (lines.Count() < 2) {
        return 0;
    }
    const std::size_t after = ringAfter % (lines.Count() - 1);  // the line the RING follows
    if (ClaimsNext(lines)[after]) {
        return 0;
    }
    std::size_t offset = 0;
    for (std::size_t i = 0; i <= after; ++i) {
        offset += lines.Line(i).size() + 2;
    }
    const std::string withRing = reply.substr(0, offset) + "RING\r\n" + reply.substr(offset);
    FUZZ_CHECK(Read(withRing, position) == alone);
    return 0;
}
