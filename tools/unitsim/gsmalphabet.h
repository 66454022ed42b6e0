#pragma once

#include <string>

// The simulated module keeps every text (SMS bodies, phonebook names) as the byte values of the
// GSM 7-bit default alphabet, exactly as a client sends them. These functions move such texts
// across the three boundaries that cannot carry every byte raw.
class CGsmAlphabet {
public:
    // State file form: each byte of the GSM default alphabet becomes the UTF-8 of its character
    // (0x00 "@", 0x5C "Ö", 0x7C "ö", 0x0A line feed); the escape code 0x1B and every byte from
    // 0x80 up, which the alphabet does not define, become a backslash and two upper-case hex
    // digits ("\1B", "\E9"). Readable, and every byte string survives the round trip.
    static std::string ToUtf8(const std::string& gsm);
    // The inverse; throws std::invalid_argument for a character outside the alphabet, a
    // malformed UTF-8 sequence, or a backslash not followed by two hex digits.
    static std::string FromUtf8(const std::string& utf8);

    // Message text as listed by AT+CMGL / AT+CMGR: the bytes that could not travel raw inside
    // a reply line are sent as a backslash and two upper-case hex digits: every byte below 0x20
    // (0x00 "@" among them, and CR, LF, Ctrl-Z, ESC, which would break the framing), 0x7F, and
    // 0x5C itself (GSM "Ö"), so that a reader undoing the escapes never mistakes an "Ö"
    // followed by two hex digits for an escape. Every other byte is sent as stored.
    static std::string EscapeForListing(const std::string& gsm);

    // Quoted string parameters and values (phonebook numbers and names): V.250 string
    // constants, where a backslash and two hex digits stand for one byte. Escaping covers the
    // bytes of EscapeForListing plus the double quote 0x22.
    static std::string EscapeQuoted(const std::string& gsm);
    // Undoes the escapes a client sent in a quoted parameter or in a message text typed after
    // the prompt (where the module family reads them too, so "Ö" is typed as "\5C"); a
    // backslash not followed by two hex digits stays as it is.
    static std::string Unescape(const std::string& text);
};
