// The text conversions on any bytes: Windows-1252 survives the trip through UTF-8 byte for
// byte, any UTF-8 comes back as the same Windows-1252 the second time, a text taken from the
// module and back is stored as it was, typed text reaches the module as the bytes meant, and
// integers read back as written.

#include <cstdint>
#include <string>

#include "core/parseint.h"
#include "core/textutils.h"
#include "core/win1252.h"
#include "fuzzcheck.h"

namespace {

const char kHex[] = "0123456789ABCDEF";

// What the module lists for a stored text: the bytes that cannot travel raw as "\XX".
std::string AsListed(const std::string& gsm) {
    std::string listed;
    for (const char c : gsm) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || byte == 0x5C) {
            listed += {'\\', kHex[byte >> 4], kHex[byte & 0x0F]};
        } else {
            listed.push_back(c);
        }
    }
    return listed;
}

// What the module stores for text typed after its prompt: "\XX" is the byte XX, a backspace
// takes back the last byte.
std::string AsTyped(const std::string& typed) {
    std::string stored;
    for (std::size_t i = 0; i < typed.size(); ++i) {
        if (typed[i] == '\b') {
            if (!stored.empty()) {
                stored.pop_back();
            }
        } else if (typed[i] == '\\' && i + 2 < typed.size() &&
                   HexByteValue(typed[i + 1], typed[i + 2]) >= 0) {
            stored.push_back(static_cast<char>(HexByteValue(typed[i + 1], typed[i + 2])));
            i += 2;
        } else {
            stored.push_back(typed[i]);
        }
    }
    return stored;
}

// Plain decimal digits with an optional sign, in the 32-bit range: nothing else is read as
// this number.
bool IsPlainDecimal(const std::string& text, int64_t& value) {
    const std::size_t sign = text.starts_with('+') || text.starts_with('-') ? 1 : 0;
    if (text.size() == sign || text.size() - sign > 12 ||
        text.find_first_not_of("0123456789", sign) != std::string::npos) {
        return false;
    }
    value = std::stoll(text);
    return value >= INT32_MIN && value <= INT32_MAX;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string bytes = FuzzText(data, size);

    // Windows-1252 -> UTF-8 -> Windows-1252 keeps every byte.
    const std::string utf8 = Win1252ToUtf8(bytes);
    FUZZ_CHECK(Utf8ToWin1252(utf8) == bytes);
    // Any bytes read as UTF-8 give one byte per character at most, and a second trip is stable.
    const std::string ansi = Utf8ToWin1252(bytes);
    FUZZ_CHECK(ansi.size() <= bytes.size());
    FUZZ_CHECK(Utf8ToWin1252(Win1252ToUtf8(ansi)) == ansi);

    // An edited text stored on the module and read back is stored the same way again, byte
    // for byte; a text as the module lists it becomes the same text in the window.
    const std::string gsm = AnsiToGsm(bytes);
    FUZZ_CHECK(gsm.size() == bytes.size());
    const std::string shown = GsmToAnsi(AsListed(gsm));
    FUZZ_CHECK(shown.size() == gsm.size());
    FUZZ_CHECK(AnsiToGsm(shown) == gsm);
    FUZZ_CHECK(GsmToAnsi(AsListed(AnsiToGsm(shown))) == shown);

    // Typed after the prompt, a GSM text arrives as those very bytes, with no raw backspace.
    const std::string typed = EscapeForTextEntry(gsm);
    FUZZ_CHECK(typed.find('\b') == std::string::npos);
    FUZZ_CHECK(AsTyped(typed) == gsm);

    // Integers: the plain decimal form reads as itself, anything read gives back its own
    // plain form, and the fallback stands for everything else.
    const int32_t parsed = ParseInt(bytes, INT32_MIN);
    int64_t decimal = 0;
    if (IsPlainDecimal(bytes, decimal)) {
        FUZZ_CHECK(parsed == decimal);
    }
    if (parsed != INT32_MIN) {
        FUZZ_CHECK(ParseInt(IntToStr(parsed), 0) == parsed);
        FUZZ_CHECK(ParseInt(bytes, INT32_MAX) == parsed);
    } else {
        FUZZ_CHECK(ParseInt(bytes, 0) == 0 || ParseInt(bytes, 0) == INT32_MIN);
    }
    if (size >= 4) {
        int32_t value = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            value = static_cast<int32_t>((static_cast<uint32_t>(value) << 8) | data[i]);
        }
        FUZZ_CHECK(ParseInt(IntToStr(value), 0) == value);
    }
    return 0;
}
