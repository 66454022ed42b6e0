#include "cli/clioutput.h"

#include "core/win1252.h"

namespace {

// U+FFFD REPLACEMENT CHARACTER: shows where something was that a terminal must not be sent.
constexpr std::string_view kPlaceholder = "\xEF\xBF\xBD";

// The length of the well-formed UTF-8 sequence at the start of `text`, with its code point;
// 0 when it is not one (a stray byte, an overlong form, a surrogate, beyond U+10FFFF).
std::size_t DecodeUtf8(std::string_view text, char32_t& codePoint) {
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (text.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
        codePoint = (codePoint << 6) | (byte(i) & 0x3F);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    return codePoint < minimum || surrogate || codePoint > 0x10FFFF ? 0 : length;
}

// C0, DEL and C1: the characters a terminal acts on instead of showing them.
bool IsControl(char32_t codePoint) {
    return codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F);
}

}  // namespace

void CCliOutput::Progress(const std::string& line) {
    Write(progress, line);
}

void CCliOutput::Result(const std::string& line) {
    Write(results, line);
}

void CCliOutput::Write(std::ostream& stream, const std::string& line) {
    const std::string shown = Printable(line);
    std::lock_guard guard(mutex);
    stream << shown << '\n';
    stream.flush();
}

std::string CCliOutput::Text(const std::string& win1252) {
    return OneLine(Win1252ToUtf8(win1252));
}

std::string CCliOutput::OneLine(const std::string& utf8) {
    std::string text;
    for (const char c : utf8) {
        const bool blank = c == '\r' || c == '\n' || c == '\t';
        if (!blank) {
            text += c;
        } else if (!text.empty() && text.back() != ' ') {
            text += ' ';
        }
    }
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return Printable(text);
}

std::string CCliOutput::Printable(std::string_view utf8) {
    std::string shown;
    shown.reserve(utf8.size());
    while (!utf8.empty()) {
        char32_t codePoint = 0;
        const std::size_t length = DecodeUtf8(utf8, codePoint);
        if (length == 0 || IsControl(codePoint)) {
            shown += kPlaceholder;
            utf8.remove_prefix(length == 0 ? 1 : length);
        } else {
            shown += utf8.substr(0, length);
            utf8.remove_prefix(length);
        }
    }
    return shown;
}
