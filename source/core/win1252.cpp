#include "core/win1252.h"

#include <array>
#include <cstdint>

namespace {

// Code points of the bytes 80 to 9F; the rest of the code page is Latin-1.
constexpr std::array<char32_t, 32> kHighControls{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t CodePointOf(uint8_t byte) {
    if (byte >= 0x80 && byte <= 0x9F) {
        return kHighControls[byte - 0x80];
    }
    return byte;
}

// -1 when the code page has no byte for the character.
int ByteOf(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<int>(codePoint);
    }
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == codePoint) {
            return static_cast<int>(0x80 + i);
        }
    }
    return -1;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        // Every character of the code page lies in the Basic Multilingual Plane.
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

}  // namespace

std::string Win1252ToUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    for (char c : text) {
        AppendUtf8(out, CodePointOf(static_cast<uint8_t>(c)));
    }
    return out;
}

std::string Utf8ToWin1252(const std::string& text, char replacement) {
    std::string out;
    out.reserve(text.size());
    const std::size_t n = text.size();
    std::size_t i = 0;
    auto at = [&text](std::size_t k) { return static_cast<uint8_t>(text[k]); };
    while (i < n) {
        const uint8_t lead = at(i);
        if (lead < 0x80) {
            out.push_back(static_cast<char>(lead));
            ++i;
            continue;
        }
        // Well-formed sequences after the Unicode standard's table: the range allowed for the
        // second byte shuts out overlong forms, surrogates and values above U+10FFFF.
        int length = 0;
        uint8_t secondLow = 0x80;
        uint8_t secondHigh = 0xBF;
        char32_t cp = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            cp = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            cp = lead & 0x0F;
            secondLow = lead == 0xE0 ? 0xA0 : 0x80;
            secondHigh = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            cp = lead & 0x07;
            secondLow = lead == 0xF0 ? 0x90 : 0x80;
            secondHigh = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            out.push_back(replacement);
            ++i;
            continue;
        }
        std::size_t used = 1;
        bool complete = true;
        for (int k = 1; k < length; ++k) {
            const uint8_t low = k == 1 ? secondLow : 0x80;
            const uint8_t high = k == 1 ? secondHigh : 0xBF;
            if (i + used >= n || at(i + used) < low || at(i + used) > high) {
                complete = false;
                break;
            }
            cp = (cp << 6) | (at(i + used) & 0x3F);
            ++used;
        }
        i += used;
        if (!complete) {
            out.push_back(replacement);
            continue;
        }
        const int byte = ByteOf(cp);
        out.push_back(byte < 0 ? replacement : static_cast<char>(byte));
    }
    return out;
}
