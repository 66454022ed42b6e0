#include "atcomm/replyparser.h"

#include <cctype>
#include <string_view>

#include "core/parseint.h"
#include "core/textutils.h"
#include "engine/fieldcursor.h"
#include "engine/replylines.h"

namespace {

constexpr std::size_t kMinSerialDigits = 14;
constexpr std::size_t kMaxSerialDigits = 17;

// The text of a line up to a carriage return inside it, which no value runs across.
std::string UpToCarriageReturn(std::string_view text) {
    return std::string(text.substr(0, text.find('\r')));
}

}  // namespace

std::optional<EPinKind> ParsePinStatus(const std::string& reply) {
    const std::optional<std::string_view> status = CReplyLines(reply).Find("+CPIN: ");
    if (!status) {
        return std::nullopt;
    }
    // The two-codes are looked for first: "SIM PIN" is the start of "SIM PIN2".
    if (status->starts_with("READY")) {
        return EPinKind::Ready;
    }
    if (status->starts_with("SIM PIN2")) {
        return EPinKind::SimPin2;
    }
    if (status->starts_with("SIM PUK2")) {
        return EPinKind::SimPuk2;
    }
    if (status->starts_with("SIM PIN")) {
        return EPinKind::SimPin;
    }
    if (status->starts_with("SIM PUK")) {
        return EPinKind::SimPuk;
    }
    return std::nullopt;
}

std::optional<int32_t> ParseTriesLeft(const std::string& reply) {
    const std::optional<std::string_view> tries = CReplyLines(reply).Find("^SPIC: ");
    if (!tries) {
        return std::nullopt;
    }
    return ParseInt(UpToCarriageReturn(*tries), -1);
}

int32_t ParsePhonebookCapacity(const std::string& reply) {
    const std::optional<std::string_view> store = CReplyLines(reply).Find("+CPBS: ");
    if (!store) {
        return 0;
    }
    CFieldCursor fields(*store);
    fields.Next();  // the store's name
    fields.Next();  // the positions in use
    return fields.AtEnd() ? 0 : ParseInt(std::string(fields.Next()), 0);
}

int32_t ParsePhonebookUsed(const std::string& reply) {
    const std::optional<std::string_view> store = CReplyLines(reply).Find("+CPBS: ");
    if (!store) {
        return -1;
    }
    CFieldCursor fields(*store);
    fields.Next();  // the store's name
    return fields.AtEnd() ? -1 : ParseInt(std::string(fields.Next()), -1);
}

bool IsValidPhonebookCapacity(int32_t capacity) {
    return capacity >= 1 && capacity <= kMaxPhonebookCapacity;
}

std::string ParseQuotedValue(const std::string& reply, std::optional<int32_t> position) {
    const auto atPosition = [position](std::string_view fields) {
        return ParseInt(std::string(CFieldCursor(fields).Next()), 0) == *position;
    };
    const CReplyLines lines(reply);
    const std::optional<std::string_view> entry =
        position ? lines.Find("+CPBR: ", atPosition) : lines.Find("+CPBR: ");
    if (!entry) {
        return {};
    }
    return GetValueAfter(",\"", '"', std::string(*entry));
}

std::string ParseSignalQuality(const std::string& reply) {
    const std::optional<std::string_view> quality = CReplyLines(reply).Find("+CSQ: ");
    if (!quality) {
        return "-1";
    }
    return UpToCarriageReturn(CFieldCursor(*quality).Next());
}

std::string ParseRegistrationStatus(const std::string& reply) {
    // The answer carries the presentation mode before the status, and mode 2 the location
    // after it; the report of a change, which may come with the answer, has neither.
    const auto isAnswer = [](std::string_view fields) {
        const std::size_t count = CFieldCursor(fields).Remaining();
        return count == 2 || count == 4;
    };
    const std::optional<std::string_view> registration =
        CReplyLines(reply).Find("+CREG: ", isAnswer);
    if (!registration) {
        return "0";
    }
    CFieldCursor fields(*registration);
    fields.Next();  // the presentation mode
    return UpToCarriageReturn(fields.Next());
}

int32_t ParseStoredIndex(const std::string& reply) {
    const std::optional<std::string_view> stored = CReplyLines(reply).Find("+CMGW: ");
    if (!stored) {
        return -1;
    }
    const int32_t index = ParseInt(UpToCarriageReturn(*stored), -1);
    return index < 1 ? -1 : index;
}

std::vector<std::string> ParseIdentificationLines(const std::string& reply) {
    const CReplyLines lines(reply);
    std::vector<std::string> found;
    for (std::size_t i = 0; i < lines.Count(); ++i) {
        // The echo may carry the ESC sent just before the command, and a module echoes the
        // command in whatever letter case it was given.
        std::string line = UpToCarriageReturn(lines.Line(i));
        std::erase_if(line, [](char c) { return static_cast<unsigned char>(c) < 0x20; });
        std::string upper = line;
        for (char& c : upper) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        if (lines.KindOf(i) != CReplyLines::Kind::Answer || line.empty() || line == "OK" ||
            upper == "ATI") {
            continue;
        }
        found.push_back(line);
    }
    return found;
}

std::string ParseSerialNumber(const std::string& reply) {
    const CReplyLines lines(reply);
    for (std::size_t i = 0; i < lines.Count(); ++i) {
        if (lines.KindOf(i) != CReplyLines::Kind::Answer) {
            continue;
        }
        std::string_view value = lines.Line(i);
        if (value.starts_with("+CGSN: ")) {
            value.remove_prefix(7);
        }
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        const bool digits =
            !value.empty() && value.find_first_not_of("0123456789") == std::string_view::npos;
        if (digits && value.size() >= kMinSerialDigits && value.size() <= kMaxSerialDigits) {
            return std::string(value);
        }
    }
    return {};
}
