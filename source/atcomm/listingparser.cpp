#include "atcomm/listingparser.h"

#include "core/parseint.h"
#include "core/textutils.h"
#include "engine/replylines.h"

namespace {

constexpr char kPhoneBookTag[] = "+CPBR:";
constexpr char kPhoneBookKey[] = "+CPBR: ";
constexpr char kSmsKey[] = "+CMGL: ";

// Positions and indexes count from 1; anything else names no entry, so it is treated as
// unreadable rather than handed on as a row number.
int32_t ReadOrdinal(const std::string& key, const std::string& line) {
    const int32_t value = ParseInt(GetValueAfter(key, ',', line), 0);
    return value >= 1 ? value : 0;
}

// The bytes between the first and second double quote of `line`; empty when there are fewer.
std::string BetweenFirstQuotes(const std::string& line) {
    const int afterFirst = PositionAfter(line, '"', 1);
    const int afterSecond = PositionAfter(line, '"', 2);
    if (afterSecond <= afterFirst) {
        return {};
    }
    return line.substr(static_cast<std::size_t>(afterFirst - 1),
                       static_cast<std::size_t>(afterSecond - afterFirst - 1));
}

bool IsAnswerLine(const CReplyLines& lines, std::size_t index, std::string_view prefix) {
    return lines.KindOf(index) == CReplyLines::Kind::Answer &&
           lines.Line(index).starts_with(prefix);
}

}  // namespace

CPhoneBookListing ParsePhoneBookListing(const std::string& reply) {
    CPhoneBookListing listing;
    const CReplyLines lines(reply);
    for (std::size_t i = 0; i < lines.Count(); ++i) {
        if (!IsAnswerLine(lines, i, kPhoneBookTag)) {
            continue;
        }
        const std::string line(lines.Line(i));
        const int32_t position = ReadOrdinal(kPhoneBookKey, line);
        if (position == 0) {
            listing.hasUnreadable = true;
            continue;
        }
        listing.entries.push_back(
            {position, GetValueAfter(",\"", '"', line), BetweenFirstQuotes(line)});
    }
    return listing;
}

CSmsListing ParseSmsListing(const std::string& reply) {
    CSmsListing listing;
    const CReplyLines lines(reply);
    if (!lines.EndsWithFinalOk()) {
        listing.outcome = CSmsListing::Outcome::NotAListing;
        return listing;
    }
    listing.outcome = CSmsListing::Outcome::Listed;
    bool anyHeader = false;
    // Besides the final OK, which an empty store answers alone.
    std::size_t otherAnswerLines = 0;
    for (std::size_t i = 0; i < lines.Count(); ++i) {
        if (lines.KindOf(i) != CReplyLines::Kind::Answer || lines.Line(i).empty()) {
            continue;
        }
        if (!IsAnswerLine(lines, i, kSmsKey)) {
            ++otherAnswerLines;
            continue;
        }
        anyHeader = true;
        const std::string header(lines.Line(i));
        const int32_t index = ReadOrdinal(kSmsKey, header);
        if (index == 0) {
            listing.outcome = CSmsListing::Outcome::Unreadable;
            break;
        }
        // A message's text is the line right after its own header, even when it is empty or
        // looks like a header or an unsolicited report itself; searching on for the next
        // text-like line would hand a message its neighbour's header or text.
        const bool hasText = i + 1 < lines.Count();
        const std::string text = hasText ? std::string(lines.Line(i + 1)) : std::string();
        listing.messages.push_back({index, GetValueAfter("\",\"", '"', header), GsmToAnsi(text)});
        ++i;
    }
    if (!anyHeader) {
        listing.outcome =
            otherAnswerLines == 1 ? CSmsListing::Outcome::Empty : CSmsListing::Outcome::NotAListing;
    }
    return listing;
}
