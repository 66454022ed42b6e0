#pragma once

#include <string_view>

// The language shown when the chosen one cannot be had, and the only one the program carries
// itself, for when no language file can be used.
inline constexpr const char* kFallbackLanguage = "English";

// The [English] section of the shipped languages.txt, byte for byte, section line included;
// generated from the file at build time, so the two never differ.
std::string_view BuiltInEnglishSection();
