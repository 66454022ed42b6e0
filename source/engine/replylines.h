#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A reply split into its lines once, each line known as part of the module's answer, as an
// unsolicited report (see unsolicited.h) or as the text of a listed message. The lines are
// views into the reply, which must outlive this object; a temporary reply is refused.
//
// Lines end at CR LF. A lone CR or LF stays inside its line, since a message text may hold
// one. The text after the last CR LF is the last line, empty when the reply ends with a line
// end.
class CReplyLines {
public:
    enum class Kind {
        Answer,       // the module's answer to the command: echo, information lines, result
        Unsolicited,  // a report that arrived with the reply; no parser or result looks at it
        MessageText,  // the line right after a "+CMGL:" header: a stored text, whatever it reads
    };

    explicit CReplyLines(const std::string& reply);
    CReplyLines(std::string&&) = delete;

    std::size_t Count() const { return lines.size(); }
    std::string_view Line(std::size_t index) const { return lines[index]; }
    Kind KindOf(std::size_t index) const { return kinds[index]; }

    // The text after `prefix` on the first answer line that starts with it and whose text
    // after the prefix `accept` takes (any, without `accept`); nothing when no line does.
    std::optional<std::string_view> Find(
        std::string_view prefix, const std::function<bool(std::string_view)>& accept = {}) const;

    // Whether the reply is complete: it ends with a line end and its final result, the last
    // answer line that is not empty, is exactly "OK" with a line end before it. A stored
    // message whose text is "OK" produces that line right after its "+CMGL:" header, so such a
    // line is message text and never the end of a listing.
    bool EndsWithFinalOk() const;

private:
    std::vector<std::string_view> lines;
    std::vector<Kind> kinds;
};
