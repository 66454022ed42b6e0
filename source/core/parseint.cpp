#include "core/parseint.h"

#include <limits>

namespace {

int DigitValue(char c, int base) {
    int value = -1;
    if (c >= '0' && c <= '9') {
        value = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        value = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        value = c - 'A' + 10;
    }
    return value < base ? value : -1;
}

}  // namespace

int32_t ParseInt(const std::string& text, int32_t fallback) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }

    bool negative = false;
    int base = 10;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    } else if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i < text.size() && (text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }

    if (i == text.size()) {
        return fallback;
    }
    // One more than the largest magnitude keeps -2147483648 readable.
    const int64_t limit =
        static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + (negative ? 1 : 0);
    int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const int digit = DigitValue(text[i], base);
        if (digit < 0) {
            return fallback;
        }
        magnitude = magnitude * base + digit;
        if (magnitude > limit) {
            return fallback;
        }
    }
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

std::string IntToStr(int32_t value) {
    return std::to_string(value);
}
