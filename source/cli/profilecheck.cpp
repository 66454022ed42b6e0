#include "cli/profilecheck.h"

#include <exception>

#include "cli/clioutput.h"
#include "model/plainsettinggui.h"
#include "model/unitlayout.h"
#include "persistence/applanguage.h"

namespace {

using L = CUnitLayout;

// The fixed text the window shows for a profile it cannot load.
constexpr char kInvalidProfileText[] =
    "This profile contains invalid values. Choose another profile.";

const char* ReasonText(CInvalidValue::EReason reason) {
    using R = CInvalidValue::EReason;
    switch (reason) {
        case R::storeTooSmall:
            return "the unit's phonebook has no room for the settings";
        case R::forbiddenCharacter:
            return "a character the unit cannot send";
        case R::missingCountryCode:
            return "a number without its country code";
        case R::textTooLong:
            return "longer than one message";
        case R::controlCharacter:
            return "a control character";
        case R::badNumber:
            return "not a phone number of at most 20 digits";
        case R::badSettingValue:
            return "not a setting value of 1 to 3 digits";
    }
    return "not valid";
}

std::string SmsColumnText(int32_t column) {
    switch (column) {
        case L::kSmsCurrentTextColumn:
            return "current text";
        case L::kSmsCurrentNumberColumn:
            return "current receiver number";
        case L::kSmsNewTextColumn:
            return "new text";
        case L::kSmsNewNumberColumn:
            return "new receiver number";
        default:
            return "column " + std::to_string(column);
    }
}

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
                                               const CPlainSettingGuis& presenters) {
    try {
        profile.Load(model, Presenters(presenters));
        return std::nullopt;
    } catch (const EInvalidProfile& error) {
        return CCliOutput::OneLine(error.what());
    } catch (const std::exception& error) {
        return std::string(kInvalidProfileText) + " (" + profile.FileName() + ": " +
               CCliOutput::OneLine(error.what()) + ")";
    }
}

std::optional<std::string> CProfileCheck::Check(const std::string& fileName, bool checkCountryCode,
                                                const CAppLanguage& language) {
    CConfigurationModel model;
    CPlainSettingGuis presenters;
    model.SetPresenters(presenters.Lend());
    if (std::optional<std::string> failure = Load(CProfileFile(fileName), model, presenters)) {
        return failure;
    }
    if (const std::optional<CInvalidValue> invalid = model.FindInvalidValue(checkCountryCode)) {
        return InvalidDataText(*invalid, language) + " (" + fileName + ")";
    }
    return std::nullopt;
}

std::string CProfileCheck::InvalidDataText(const CInvalidValue& value,
                                           const CAppLanguage& language) {
    return CCliOutput::Text(language.GetText("INVALID_DATA")) + " " + Describe(value);
}

std::string CProfileCheck::Describe(const CInvalidValue& value) {
    if (value.reason == CInvalidValue::EReason::storeTooSmall) {
        return std::string("[") + ReasonText(value.reason) + "]";
    }
    std::string where;
    if (value.table == CInvalidValue::ETable::sms) {
        where =
            "alarm message " + std::to_string(value.row + 1) + ", " + SmsColumnText(value.column);
    } else {
        const int32_t position = value.row + 1;
        where = (L::IsSettingPosition(position) ? "setting at phonebook position "
                                                : "access number at phonebook position ") +
                std::to_string(position);
    }
    return "[" + where + ": " + ReasonText(value.reason) + "]";
}
