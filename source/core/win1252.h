#pragma once

#include <string>

// The core keeps its texts as Windows-1252 byte strings so that files move between this tool
// and Windows installations unchanged; widgets speak UTF-8. These two functions are the only
// crossing between the two.

// Every byte has a character: the five bytes Windows-1252 leaves undefined (81, 8D, 8F, 90, 9D)
// become the control characters U+0081 etc., so no byte is ever lost on the way to a widget.
std::string Win1252ToUtf8(const std::string& text);

// Characters without a Windows-1252 byte and each malformed UTF-8 sequence (overlong forms,
// surrogates, values above U+10FFFF, cut-off sequences) become `replacement`, one per
// character or per maximal malformed part.
std::string Utf8ToWin1252(const std::string& text, char replacement = '?');
