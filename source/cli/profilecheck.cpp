#include "cli/profilecheck.h"

#include <exception>

#include "cli/clioutput.h"
#include "model/plainsettinggui.h"
#include "operations/invalidvaluetext.h"
#include "persistence/applanguage.h"

namespace {

// The fixed text the window shows for a profile it cannot load.
constexpr char kInvalidProfileText[] =
    "This profile contains invalid values. Choose another profile.";

}  // namespace

CProfilePresenters CProfileCheck::Presenters(const CPlainSettingGuis& presenters) {
    CProfilePresenters lent{};
    for (std::size_t i = 0; i < lent.size(); ++i) {
        lent[i] = &presenters[i];
    }
    return lent;
}

std::optional<std::string> CProfileCheck::Load(const CProfileFile& profile,
                                               CConfigurationModel& model,
                                               const CPlainSettingGuis& presenters,
                                               bool* readable) {
    try {
        profile.Load(model, Presenters(presenters));
        return std::nullopt;
    } catch (const EInvalidProfile& error) {
        if (readable != nullptr) {
            *readable = false;
        }
        return CCliOutput::OneLine(error.what());
    } catch (const std::exception& error) {
        return std::string(kInvalidProfileText) + " (" + profile.FileName() + ": " +
               CCliOutput::OneLine(error.what()) + ")";
    }
}

CProfileVerdict CProfileCheck::Examine(const std::string& fileName, bool checkCountryCode,
                                       const CAppLanguage& language) {
    CProfileVerdict verdict;
    CConfigurationModel model;
    CPlainSettingGuis presenters;
    model.SetPresenters(presenters.Lend());
    if (std::optional<std::string> failure =
            Load(CProfileFile(fileName), model, presenters, &verdict.readable)) {
        verdict.failure = *failure;
        return verdict;
    }
    if (const std::vector<CInvalidValue> invalid = model.FindInvalidValues(checkCountryCode);
        !invalid.empty()) {
        verdict.failure = InvalidValuesLine(InvalidValuesText(invalid, language, invalid.size())) +
                          " (" + fileName + ")";
        for (const CInvalidValue& value : invalid) {
            verdict.problems.push_back(CCliOutput::Text(DescribeInvalidValue(value, language)));
        }
    }
    return verdict;
}

std::optional<std::string> CProfileCheck::Check(const std::string& fileName, bool checkCountryCode,
                                                const CAppLanguage& language) {
    CProfileVerdict verdict = Examine(fileName, checkCountryCode, language);
    return verdict.Writable() ? std::nullopt : std::optional<std::string>(verdict.failure);
}

std::string CProfileCheck::InvalidValuesLine(const std::string& text) {
    // The message, then the refused values in brackets: "...: [Input 2, Row 3, New Text: has
    // a character the unit cannot store; Access Number 4: ...]".
    std::string line;
    std::size_t start = 0;
    int index = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string part = CCliOutput::Text(text.substr(start, end - start));
        line += index == 0 ? part : (index == 1 ? " [" : "; ") + part;
        ++index;
        start = end + 1;
    }
    return index > 1 ? line + "]" : line;
}
