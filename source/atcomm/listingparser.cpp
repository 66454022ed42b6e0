#include "atcomm/listingparser.h"

#include "core/parseint.h"
#include "core/textutils.h"

namespace {

constexpr char kPhoneBookTag[] = "+CPBR:";
constexpr char kPhoneBookKey[] = "+CPBR: ";
constexpr char kSmsKey[] = "+CMGL: ";
constexpr char kEmptyStore[] = "\r\nOK\r\n";

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

// The reply split at each CR LF. A lone CR or LF stays inside its line, so a text that holds
// one is still a single line.
std::vector<std::string> SplitLines(const std::string& reply) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= reply.size()) {
        const std::size_t end = reply.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(reply.substr(start));
            break;
        }
        lines.push_back(reply.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

}  // namespace

CPhoneBookListing ParsePhoneBookListing(const std::string& reply) {
    CPhoneBookListing listing;
    std::string rest = reply;
    while (!rest.empty() && rest.find(kPhoneBookTag) != std::string::npos) {
        const std::string line = CutToken(rest, '\n');
        if (line.find(kPhoneBookTag) == std::string::npos) {
            continue;
        }
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
    if (reply == kEmptyStore) {
        listing.outcome = CSmsListing::Outcome::Empty;
        return listing;
    }
    if (reply.find("OK\r") == std::string::npos || reply.find(kSmsKey) == std::string::npos) {
        listing.outcome = CSmsListing::Outcome::NotAListing;
        return listing;
    }
    listing.outcome = CSmsListing::Outcome::Listed;
    const std::vector<std::string> lines = SplitLines(reply);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& header = lines[i];
        if (header.find(kSmsKey) == std::string::npos) {
            continue;
        }
        const int32_t index = ReadOrdinal(kSmsKey, header);
        if (index == 0) {
            listing.outcome = CSmsListing::Outcome::Unreadable;
            break;
        }
        // A message's text is the line right after its own header, even when it is empty or
        // looks like a header itself; searching on for the next text-like line would hand a
        // message its neighbour's header or text.
        const std::string text = i + 1 < lines.size() ? lines[i + 1] : std::string();
        listing.messages.push_back({index, GetValueAfter("\",\"", '"', header), GsmToAnsi(text)});
        ++i;
    }
    return listing;
}
