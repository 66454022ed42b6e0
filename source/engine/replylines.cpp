#include "engine/replylines.h"

#include "engine/unsolicited.h"

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kListingHeader = "+CMGL:";

}  // namespace

CReplyLines::CReplyLines(const std::string& reply) {
    const std::string_view text = reply;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(kLineEnd, start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + kLineEnd.size();
    }
    kinds.assign(lines.size(), Kind::Answer);
    // Forwards, since what a line is can depend on the line before it: a listing header or an
    // unsolicited report's header claims the next line, whatever that line reads.
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool hasNext = i + 1 < lines.size();
        if (lines[i].starts_with(kListingHeader)) {
            if (hasNext) {
                kinds[++i] = Kind::MessageText;
            }
        } else if (IsUnsolicitedLine(lines[i])) {
            kinds[i] = Kind::Unsolicited;
            if (hasNext && HasUnsolicitedBody(lines[i])) {
                kinds[++i] = Kind::Unsolicited;
            }
        }
    }
}

std::optional<std::string_view> CReplyLines::Find(
    std::string_view prefix, const std::function<bool(std::string_view)>& accept) const {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (kinds[i] != Kind::Answer || !lines[i].starts_with(prefix)) {
            continue;
        }
        const std::string_view rest = lines[i].substr(prefix.size());
        if (!accept || accept(rest)) {
            return rest;
        }
    }
    return std::nullopt;
}

bool CReplyLines::EndsWithFinalOk() const {
    // The last entry is what follows the last line end; anything there is a line still coming.
    if (lines.size() < 2 || !lines.back().empty()) {
        return false;
    }
    for (std::size_t i = lines.size() - 1; i-- > 0;) {
        if (kinds[i] == Kind::Unsolicited || lines[i].empty()) {
            continue;
        }
        // The OK needs a line end before it, and message text is never a final result.
        return i > 0 && kinds[i] == Kind::Answer && lines[i] == "OK";
    }
    return false;
}
