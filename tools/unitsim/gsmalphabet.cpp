#include "unitsim/gsmalphabet.h"

#include <array>
#include <cstdint>
#include <stdexcept>

namespace {

constexpr char32_t kUndefined = 0xFFFFFFFF;

// The GSM 7-bit default alphabet (3GPP TS 23.038), code value to character. 0x1B is the escape
// to the extension table and has no character of its own.
constexpr std::array<char32_t, 128> BuildTable() {
    std::array<char32_t, 128> table{};
    for (char32_t c = 0; c < 128; ++c) {
        table[c] = c;
    }
    constexpr char32_t low[32] = {
        0x0040, 0x00A3, 0x0024, 0x00A5,     0x00E8, 0x00E9, 0x00F9, 0x00EC,  //
        0x00F2, 0x00C7, 0x000A, 0x00D8,     0x00F8, 0x000D, 0x00C5, 0x00E5,  //
        0x0394, 0x005F, 0x03A6, 0x0393,     0x039B, 0x03A9, 0x03A0, 0x03A8,  //
        0x03A3, 0x0398, 0x039E, kUndefined, 0x00C6, 0x00E6, 0x00DF, 0x00C9};
    for (int i = 0; i < 32; ++i) {
        table[i] = low[i];
    }
    table[0x24] = 0x00A4;
    table[0x40] = 0x00A1;
    table[0x5B] = 0x00C4;
    table[0x5C] = 0x00D6;
    table[0x5D] = 0x00D1;
    table[0x5E] = 0x00DC;
    table[0x5F] = 0x00A7;
    table[0x60] = 0x00BF;
    table[0x7B] = 0x00E4;
    table[0x7C] = 0x00F6;
    table[0x7D] = 0x00F1;
    table[0x7E] = 0x00FC;
    table[0x7F] = 0x00E0;
    return table;
}

constexpr std::array<char32_t, 128> kGsmToUnicode = BuildTable();

const char kHexDigits[] = "0123456789ABCDEF";

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// The byte given by the two hex digits at text[i + 1] and text[i + 2], or -1.
int EscapedByteAt(const std::string& text, std::size_t i) {
    if (text[i] != '\\' || i + 2 >= text.size()) {
        return -1;
    }
    const int high = HexValue(text[i + 1]);
    const int low = HexValue(text[i + 2]);
    return (high < 0 || low < 0) ? -1 : high * 16 + low;
}

void AppendEscape(std::string& out, unsigned char byte) {
    out += '\\';
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0x0F];
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes the UTF-8 sequence at text[i], moving i past it.
char32_t NextCodePoint(const std::string& text, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    int extra = 0;
    char32_t c = 0;
    if (lead < 0x80) {
        c = lead;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        c = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        c = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        c = lead & 0x07;
    } else {
        throw std::invalid_argument("malformed UTF-8 in a text");
    }
    ++i;
    for (int k = 0; k < extra; ++k, ++i) {
        if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            throw std::invalid_argument("malformed UTF-8 in a text");
        }
        c = (c << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
    }
    return c;
}

bool MustEscapeInListing(unsigned char byte) {
    return byte < 0x20 || byte == 0x5C || byte == 0x7F;
}

std::string EscapeBytes(const std::string& gsm, bool quoted) {
    std::string out;
    out.reserve(gsm.size());
    for (const char ch : gsm) {
        const auto byte = static_cast<unsigned char>(ch);
        if (MustEscapeInListing(byte) || (quoted && byte == '"')) {
            AppendEscape(out, byte);
        } else {
            out += ch;
        }
    }
    return out;
}

}  // namespace

std::string CGsmAlphabet::ToUtf8(const std::string& gsm) {
    std::string out;
    out.reserve(gsm.size());
    for (const char ch : gsm) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte >= 0x80 || kGsmToUnicode[byte] == kUndefined) {
            AppendEscape(out, byte);
        } else {
            AppendUtf8(out, kGsmToUnicode[byte]);
        }
    }
    return out;
}

std::string CGsmAlphabet::FromUtf8(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        if (utf8[i] == '\\') {
            const int byte = EscapedByteAt(utf8, i);
            if (byte < 0) {
                throw std::invalid_argument(
                    "a backslash in a text must be followed by two hex "
                    "digits: \"" +
                    utf8 + "\"");
            }
            out += static_cast<char>(byte);
            i += 3;
            continue;
        }
        const char32_t c = NextCodePoint(utf8, i);
        bool found = false;
        for (std::size_t code = 0; code < kGsmToUnicode.size(); ++code) {
            if (kGsmToUnicode[code] == c) {
                out += static_cast<char>(code);
                found = true;
                break;
            }
        }
        if (!found) {
            throw std::invalid_argument("a text holds a character outside the GSM alphabet: \"" +
                                        utf8 + "\"");
        }
    }
    return out;
}

std::string CGsmAlphabet::EscapeForListing(const std::string& gsm) {
    return EscapeBytes(gsm, false);
}

std::string CGsmAlphabet::EscapeQuoted(const std::string& gsm) {
    return EscapeBytes(gsm, true);
}

std::string CGsmAlphabet::Unescape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int byte = EscapedByteAt(text, i);
        if (byte >= 0) {
            out += static_cast<char>(byte);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}
