#include "operations/invalidvaluetext.h"

#include <cstddef>

#include "core/parseint.h"
#include "model/unitlayout.h"
#include "persistence/applanguage.h"

namespace {

using L = CUnitLayout;
using Reason = CInvalidValue::EReason;

const char* ReasonKey(Reason reason) {
    switch (reason) {
        case Reason::storeTooSmall:
            return "INVALID_STORE_TOO_SMALL";
        case Reason::forbiddenCharacter:
            return "INVALID_FORBIDDEN_CHARACTER";
        case Reason::missingCountryCode:
            return "INVALID_MISSING_COUNTRY_CODE";
        case Reason::textTooLong:
            return "INVALID_TEXT_TOO_LONG";
        case Reason::controlCharacter:
            return "INVALID_CONTROL_CHARACTER";
        case Reason::badNumber:
            return "INVALID_BAD_NUMBER";
        case Reason::badSettingValue:
            return "INVALID_BAD_SETTING_VALUE";
    }
    return "INVALID_DATA";
}

const char* SmsColumnKey(int32_t column) {
    switch (column) {
        case L::kSmsCurrentTextColumn:
            return "CURRENT_TEXT";
        case L::kSmsCurrentNumberColumn:
            return "CURRENT_NUMBER";
        case L::kSmsNewNumberColumn:
            return "NEW_NUMBER";
        default:
            return "NEW_TEXT";
    }
}

// Group captions carry blanks for their frame; a name inside a sentence does not.
std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Labels end with a colon on the form ("Active Time:"), which a name inside a sentence drops.
std::string Name(const CAppLanguage& language, const char* key) {
    std::string text = Trimmed(language.GetText(key));
    if (text.ends_with(':')) {
        text.pop_back();
    }
    return text;
}

std::string SettingName(int32_t position, const CAppLanguage& language) {
    switch (position) {
        case L::kActiveTimePosition:
            return Name(language, "ACTIVE_TIME");
        case L::kActiveRelayPosition:
            return Name(language, "ACTIVE_RELAY");
        case L::kSmsAckPosition:
            return Name(language, "SMS_ACKNOWLEDGE");
        case L::kInputBehaviourPosition:
            return Name(language, "INPUT_BEHAVIOUR_GROUP");
        case L::kAccessControlPosition:
            return Name(language, "ACCESS_CONTROL_GROUP");
        default:
            break;
    }
    // The delays of inputs 1 to 6 run down from position 63.
    return Name(language, "INPUT_DELAY_GROUP") + ", " + Name(language, "INPUT") + " " +
           IntToStr(L::kInput1DelayPosition + 1 - position);
}

std::string Where(const CInvalidValue& value, const CAppLanguage& language) {
    if (value.table == CInvalidValue::ETable::sms) {
        const int32_t index = value.row + 1;
        const int32_t input = L::AlarmInput(index);
        const std::string inputName = input == L::kExternalPowerInput
                                          ? Name(language, "EXTERNAL_POWER")
                                          : Name(language, "INPUT") + " " + IntToStr(input);
        return inputName + ", " + Name(language, "ROW") + " " +
               IntToStr((index - 1) % L::kMessagesPerInput + 1) + ", " +
               Name(language, SmsColumnKey(value.column));
    }
    const int32_t position = value.row + 1;
    if (L::IsSettingPosition(position)) {
        return SettingName(position, language);
    }
    const int32_t accessNumber =
        position <= L::kAccessNumbersBeforeSettings ? position : position - L::kReservedCount;
    return Name(language, "ACCESS_NUMBER") + " " + IntToStr(accessNumber);
}

}  // namespace

std::string DescribeInvalidValue(const CInvalidValue& value, const CAppLanguage& language) {
    const std::string reason = language.GetText(ReasonKey(value.reason));
    if (value.reason == Reason::storeTooSmall) {
        return reason;
    }
    return Where(value, language) + ": " + reason;
}

std::string InvalidValuesText(const std::vector<CInvalidValue>& values,
                              const CAppLanguage& language, std::size_t mostListed) {
    std::string text = language.GetText("INVALID_DATA");
    for (std::size_t i = 0; i < values.size() && i < mostListed; ++i) {
        text += "\n" + DescribeInvalidValue(values[i], language);
    }
    if (values.size() > mostListed) {
        text += "\n" + language.GetText("INVALID_MORE") + " " +
                IntToStr(static_cast<int32_t>(values.size() - mostListed));
    }
    return text;
}
