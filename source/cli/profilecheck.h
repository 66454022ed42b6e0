#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/configurationmodel.h"
#include "persistence/profilefile.h"

class CAppLanguage;
class CPlainSettingGuis;

// A profile about to be written, checked before any unit is contacted: loaded into a model of
// its own, on the window's start values, and validated as the window's Write validates. Texts
// are UTF-8 for the terminal.
struct CProfileVerdict {
    // False when the file is no profile this tool can read: nothing in it was checked.
    bool readable = true;
    // Why the profile cannot be written, on one line; empty when it can.
    std::string failure;
    // Each refused value on a line of its own, as the window's Write names them.
    std::vector<std::string> problems;

    bool Writable() const { return failure.empty(); }
};

class CProfileCheck {
public:
    // The whole verdict on a profile: whether it can be read, and every value Write refuses.
    static CProfileVerdict Examine(const std::string& fileName, bool checkCountryCode,
                                   const CAppLanguage& language);

    // Why the profile cannot be written as it is, or nothing when it can.
    static std::optional<std::string> Check(const std::string& fileName, bool checkCountryCode,
                                            const CAppLanguage& language);

    // Loads the profile as new values; why it could not, or nothing when it did. `readable`,
    // when given, tells a file that is no profile from one whose values failed to load.
    static std::optional<std::string> Load(const CProfileFile& profile, CConfigurationModel& model,
                                           const CPlainSettingGuis& presenters,
                                           bool* readable = nullptr);

    // "INVALID_DATA" in the language's words and every refused value, on one line.
    static std::string InvalidValuesLine(const std::string& text);

    static CProfilePresenters Presenters(const CPlainSettingGuis& presenters);
};
