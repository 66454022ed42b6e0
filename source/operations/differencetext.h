#pragma once

#include <string>

#include "model/unitimage.h"

class CAppLanguage;

// A place where the unit read back holds something else than was written, in the language's
// words, for example "Position 69: expected "30", found "7"" or "Message 5, Text: expected
// "Door open", found """.
std::string DescribeDifference(const CImageDifference& difference, const CAppLanguage& language);

// A value a write would change, in the language's words: where, what the unit holds (`found`)
// and what the write would leave (`expected`), for example "Position 69: "7" -> "30"".
std::string DescribeChange(const CImageDifference& difference, const CAppLanguage& language);
