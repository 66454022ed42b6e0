#pragma once

#include <string>

// Free functions on byte strings that take values out of the module's replies and carry SMS
// texts between the module's character set and the Windows-1252 text the program edits.
// Positions count from 1, as everywhere else in the program's string handling.

// The bytes after the first occurrence of `key`, up to (not including) the next `delimiter`,
// or to the end of `text` when no delimiter follows. Empty when `key` does not occur (an empty
// key counts as not occurring).
std::string GetValueAfter(const std::string& key, char delimiter, const std::string& text);

// Removes and returns the bytes from the start of `text` up to and including the first
// `delimiter`; the whole text when there is none, leaving `text` empty.
std::string CutToken(std::string& text, char delimiter);

// The position just after the `count`-th occurrence of `byte` in `text`; the length of the
// text + 1 when there are fewer occurrences; 1 when `count` is 0 or less.
int PositionAfter(const std::string& text, char byte, int count);

std::string ReplaceByte(const std::string& text, char from, char to);

// 0..15 for a hexadecimal digit of either case, -1 for anything else.
int HexDigitValue(char byte);
// 16 * value(high) + value(low), or -1 when either is not a hexadecimal digit.
int HexByteValue(char high, char low);

// Replaces each backslash followed by two hexadecimal digits by the byte they give; any other
// backslash is kept.
std::string UnescapeHex(const std::string& text);

// A text as read from the module (hex escapes allowed) in Windows-1252.
std::string GsmToAnsi(const std::string& text);
// An edited Windows-1252 text in the module's character set. The result may hold the byte 00
// and other control bytes, so it must be sent with its full length.
std::string AnsiToGsm(const std::string& text);

// A text in the module's character set as it must be typed after the module's text prompt. The
// module reads a backslash and two hex digits there as the byte they name, and takes a
// backspace as an edit, so GSM "Ö" (0x5C, the backslash) and GSM "ò" (0x08, the backspace)
// travel as "\5C" and "\08"; every other byte goes as it is.
std::string EscapeForTextEntry(const std::string& gsm);
