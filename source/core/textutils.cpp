#include "core/textutils.h"

#include <array>
#include <cstdint>
#include <utility>

namespace {

using ByteStep = std::pair<uint8_t, uint8_t>;

// The module's alphabet puts the at sign, dollar sign, underscore and circumflex on control
// codes and other letters on their ASCII places. Each list is applied step by step in this
// order, so a byte moved by an early step is never moved again by a later one (0x24 becomes
// the currency sign before 0x02 becomes the dollar sign, and so on).
constexpr std::array<ByteStep, 33> kGsmToAnsiSteps{{
    {0x01, 0xA3}, {0x03, 0xA5}, {0x04, 0xE8}, {0x05, 0xE9}, {0x06, 0xF9}, {0x07, 0xEC},
    {0x08, 0xF2}, {0x09, 0xE7}, {0x0B, 0xD8}, {0x0C, 0xF8}, {0x0E, 0xC5}, {0x0F, 0xE5},
    {0x1C, 0xC6}, {0x1D, 0xE6}, {0x1E, 0xDF}, {0x1F, 0xC9}, {0x24, 0xA4}, {0x40, 0xA1},
    {0x5B, 0xC4}, {0x5C, 0xD6}, {0x5D, 0xD1}, {0x5E, 0xDC}, {0x5F, 0xA7}, {0x60, 0xBF},
    {0x7B, 0xE4}, {0x7C, 0xF6}, {0x7D, 0xF1}, {0x7E, 0xFC}, {0x7F, 0xE0}, {0x00, 0x40},
    {0x02, 0x24}, {0x11, 0x5F}, {0x14, 0x5E},
}};

constexpr std::array<ByteStep, 33> kAnsiToGsmSteps{{
    {0xE5, 0x0F}, {0xE4, 0x7B}, {0xF6, 0x7C}, {0xC5, 0x0E}, {0xC4, 0x5B}, {0xD6, 0x5C},
    {0xF8, 0x0C}, {0xD8, 0x0B}, {0xE6, 0x1D}, {0xC6, 0x1C}, {0xDF, 0x1E}, {0xFC, 0x7E},
    {0x40, 0x00}, {0xA3, 0x01}, {0x24, 0x02}, {0xA5, 0x03}, {0xE8, 0x04}, {0xE9, 0x05},
    {0xF9, 0x06}, {0xEC, 0x07}, {0xF2, 0x08}, {0xE7, 0x09}, {0x5F, 0x11}, {0x5E, 0x14},
    {0xC9, 0x1F}, {0xA4, 0x24}, {0xA1, 0x40}, {0xD1, 0x5D}, {0xA7, 0x5F}, {0xBF, 0x60},
    {0xF1, 0x7D}, {0xE0, 0x7F}, {0xDC, 0x5E},
}};

using ByteTable = std::array<uint8_t, 256>;

// Every step maps single bytes, so running the steps in order over a whole text is the same as
// running them over each byte value once and looking the result up.
constexpr ByteTable ComposeSteps(const std::array<ByteStep, 33>& steps) {
    ByteTable table{};
    for (int value = 0; value < 256; ++value) {
        auto byte = static_cast<uint8_t>(value);
        for (const auto& [from, to] : steps) {
            if (byte == from) {
                byte = to;
            }
        }
        table[static_cast<std::size_t>(value)] = byte;
    }
    return table;
}

constexpr ByteTable kGsmToAnsi = ComposeSteps(kGsmToAnsiSteps);
constexpr ByteTable kAnsiToGsm = ComposeSteps(kAnsiToGsmSteps);

std::string MapBytes(const std::string& text, const ByteTable& table) {
    std::string result(text);
    for (char& c : result) {
        c = static_cast<char>(table[static_cast<uint8_t>(c)]);
    }
    return result;
}

}  // namespace

std::string GetValueAfter(const std::string& key, char delimiter, const std::string& text) {
    if (key.empty()) {
        return {};
    }
    const auto found = text.find(key);
    if (found == std::string::npos) {
        return {};
    }
    const auto start = found + key.size();
    const auto end = text.find(delimiter, start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string CutToken(std::string& text, char delimiter) {
    const auto found = text.find(delimiter);
    const auto length = found == std::string::npos ? text.size() : found + 1;
    std::string token = text.substr(0, length);
    text.erase(0, length);
    return token;
}

int PositionAfter(const std::string& text, char byte, int count) {
    if (count <= 0) {
        return 1;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == byte && --count == 0) {
            return static_cast<int>(i) + 2;
        }
    }
    return static_cast<int>(text.size()) + 1;
}

std::string ReplaceByte(const std::string& text, char from, char to) {
    std::string result(text);
    for (char& c : result) {
        if (c == from) {
            c = to;
        }
    }
    return result;
}

int HexDigitValue(char byte) {
    if (byte >= '0' && byte <= '9') {
        return byte - '0';
    }
    if (byte >= 'a' && byte <= 'f') {
        return byte - 'a' + 10;
    }
    if (byte >= 'A' && byte <= 'F') {
        return byte - 'A' + 10;
    }
    return -1;
}

int HexByteValue(char high, char low) {
    const int h = HexDigitValue(high);
    const int l = HexDigitValue(low);
    if (h < 0 || l < 0) {
        return -1;
    }
    return h * 16 + l;
}

std::string UnescapeHex(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '\\' && i + 2 < text.size()) {
            const int value = HexByteValue(text[i + 1], text[i + 2]);
            if (value >= 0) {
                result.push_back(static_cast<char>(value));
                i += 3;
                continue;
            }
        }
        result.push_back(text[i]);
        ++i;
    }
    return result;
}

std::string GsmToAnsi(const std::string& text) {
    return MapBytes(UnescapeHex(text), kGsmToAnsi);
}

std::string AnsiToGsm(const std::string& text) {
    return MapBytes(text, kAnsiToGsm);
}

std::string EscapeForTextEntry(const std::string& gsm) {
    std::string result;
    result.reserve(gsm.size());
    for (const char byte : gsm) {
        if (byte == '\\') {
            result += "\\5C";
        } else if (byte == '\x08') {
            result += "\\08";
        } else {
            result.push_back(byte);
        }
    }
    return result;
}
