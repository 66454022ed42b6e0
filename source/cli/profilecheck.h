#pragma once

#include <optional>
#include <string>

#include "model/configurationmodel.h"
#include "persistence/profilefile.h"

class CAppLanguage;
class CPlainSettingGuis;

// A profile about to be written, checked before any unit is contacted: loaded into a model of
// its own, on the window's start values, and validated as the window's Write validates. Texts
// are UTF-8 for the terminal.
class CProfileCheck {
public:
    // Why the profile cannot be written as it is, or nothing when it can.
    static std::optional<std::string> Check(const std::string& fileName, bool checkCountryCode,
                                            const CAppLanguage& language);

    // Loads the profile as new values; why it could not, or nothing when it did.
    static std::optional<std::string> Load(const CProfileFile& profile, CConfigurationModel& model,
                                           const CPlainSettingGuis& presenters);

    // "INVALID_DATA" in the language's words and every refused value, on one line.
    static std::string InvalidValuesLine(const std::string& text);

    static CProfilePresenters Presenters(const CPlainSettingGuis& presenters);
};
