#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "model/configurationmodel.h"

class CAppLanguage;

// A value Write refuses, in the language's words: where it is as the window shows it (an alarm
// input's row and column, an access number, a setting) and what is wrong with it, for example
// "Input 2, row 3, New Text: has a character the unit cannot store".
std::string DescribeInvalidValue(const CInvalidValue& value, const CAppLanguage& language);

// A message box shows this many refused values; the first ones show what to fix.
inline constexpr std::size_t kMostListedInvalidValues = 12;

// "INVALID_DATA" followed by one line for each refused value, so the user can fix them all in
// one go; a list longer than `mostListed` ends with the count of the values left out.
std::string InvalidValuesText(const std::vector<CInvalidValue>& values,
                              const CAppLanguage& language,
                              std::size_t mostListed = kMostListedInvalidValues);
