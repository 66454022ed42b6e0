#pragma once

#include <cstdint>
#include <string>

// The program's one integer parser, for settings, profiles and every typed number.
// Accepted: leading blanks (spaces, tabs), then either an optional "+" or "-" and decimal
// digits, or hexadecimal digits after "$", "x", "X", "0x" or "0X" with no sign. Anything else
// (empty text, no digits, trailing characters including blanks, a sign before a hexadecimal
// prefix) gives `fallback`.
// The value must lie in the signed 32-bit range, for hexadecimal as for decimal: "$7FFFFFFF"
// is 2147483647, while "$80000000" and "$FFFFFFFF" give the fallback rather than wrapping to a
// negative number, so a typed value never turns into one of the opposite sign.
int32_t ParseInt(const std::string& text, int32_t fallback);

// Plain decimal: "-" for negative numbers, no leading zeros, blanks or "+".
std::string IntToStr(int32_t value);
