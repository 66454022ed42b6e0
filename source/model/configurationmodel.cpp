#include "model/configurationmodel.h"

#include <algorithm>
#include <memory>
#include <string_view>

#include "core/parseint.h"
#include "core/textsource.h"

namespace {

using L = CUnitLayout;
using Reason = CInvalidValue::EReason;
using Table = CInvalidValue::ETable;

// Bytes the module's alphabet has no place for: AnsiToGsm passes them through and the module
// stores them as other characters.
constexpr std::string_view kForbiddenTextBytes = "\xBD\xA8\x60\x7B\x5B\x5D\x7D\x5C\x5E\x7E\x7C";
constexpr char kDel = '\x7F';
constexpr std::size_t kMaxSettingDigits = 3;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool HasForbiddenByte(const std::string& text) {
    return text.find_first_of(kForbiddenTextBytes) != std::string::npos;
}

// A control byte ends or breaks the store command (Ctrl-Z sends the message, ESC cancels it,
// CR and LF end the line), and DEL comes back from the module as "à".
bool HasControlByte(const std::string& text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == kDel; });
}

// A number travels inside double quotes of a command, so it may hold nothing but digits after
// an optional "+", and must fit the module's number field.
bool IsSendableNumber(const std::string& number) {
    if (number.size() > static_cast<std::size_t>(L::kMaxNumberLength)) {
        return false;
    }
    const std::size_t start = number.starts_with('+') ? 1 : 0;
    return number.size() > start &&
           std::all_of(number.begin() + static_cast<long>(start), number.end(), IsDigit);
}

// A setting entry's number field: a small decimal value and nothing else.
bool IsSendableSetting(const std::string& value) {
    return !value.empty() && value.size() <= kMaxSettingDigits &&
           std::all_of(value.begin(), value.end(), IsDigit);
}

std::unique_ptr<TColumnProp> ReadOnlyColumn(int maxLength) {
    return std::make_unique<TColumnProp>(clSilver, clBlack, false, false, maxLength);
}

std::unique_ptr<TColumnProp> TextColumn(int maxLength) {
    return std::make_unique<TColumnProp>(clWhite, clBlack, true, false, maxLength);
}

std::unique_ptr<TColumnProp> MarkColumn() {
    return std::make_unique<TColumnProp>(clWhite, clBlack, false, true, L::kMaxLabelLength);
}

int32_t Row(int32_t position) {
    return position - 1;
}

}  // namespace

bool IsStorableTextByte(char c) {
    return kForbiddenTextBytes.find(c) == std::string_view::npos &&
           static_cast<unsigned char>(c) >= 0x20 && c != kDel;
}

CConfigurationModel::CConfigurationModel() {
    // Every row of the SMS table exists from the start: the smart writer takes its progress
    // maximum from the row count.
    smsTable.setData(L::kMessageCount - 1, L::kSmsColumnCount - 1, "");
    phoneBookTable.createColumn(0, L::kPhoneBookColumnCount - 1);

    alarmColumns.add(ReadOnlyColumn(L::kMaxLabelLength));
    alarmColumns.add(ReadOnlyColumn(L::kMaxTextLength));
    alarmColumns.add(ReadOnlyColumn(L::kMaxNumberLength));
    alarmColumns.add(ReadOnlyColumn(L::kMaxLabelLength));
    alarmColumns.add(TextColumn(L::kMaxTextLength));
    alarmColumns.add(TextColumn(L::kMaxNumberLength));
    alarmColumns.add(MarkColumn());
    alarmColumns.add(MarkColumn());

    accessColumns.add(ReadOnlyColumn(L::kMaxLabelLength));
    accessColumns.add(ReadOnlyColumn(L::kMaxNumberLength));
    accessColumns.add(TextColumn(L::kMaxNumberLength));
    accessColumns.add(MarkColumn());

    smsCollector =
        MakeRef<CSmsDataCollector>(&smsTable, L::kSmsCurrentNumberColumn, L::kSmsCurrentTextColumn);
    smsDeleteProvider = MakeRef<CSmsDeleteProvider>(&smsTable);
    smsProvider = MakeRef<CSmsDataProvider>(&smsTable, L::kSmsNewNumberColumn, L::kSmsNewTextColumn,
                                            L::kSmsDeleteColumn, L::kSmsCurrentNumberColumn,
                                            L::kSmsCurrentTextColumn);
    phoneBookCollector =
        MakeRef<CPhoneBookDataCollector>(&phoneBookTable, L::kPhoneBookCurrentNumberColumn);
    phoneBookProvider =
        MakeRef<CPhoneBookDataProvider>(&phoneBookTable, L::kPhoneBookCurrentNumberColumn,
                                        L::kPhoneBookNewNumberColumn, L::kPhoneBookWriteColumn);
    phoneBookDeleteProvider = MakeRef<CPhoneBookDeleteProvider>(&phoneBookTable);

    SetPhoneBookSize(L::kDefaultPhoneBookSize);
}

void CConfigurationModel::LabelReceivers(const ITextSource& language) {
    const std::string high = language.GetText("HIGH");
    const std::string low = language.GetText("LOW");
    const std::string ok = language.GetText("OK");
    const std::string fail = language.GetText("FAIL");
    for (int32_t index = 1; index <= L::kMessageCount; ++index) {
        const bool externalPower = L::AlarmInput(index) == L::kExternalPowerInput;
        const std::string& state =
            L::IsSecondState(index) ? (externalPower ? fail : low) : (externalPower ? ok : high);
        smsTable.setData(index - 1, L::kSmsReceiverColumn,
                         IntToStr(L::Receiver(index)) + " " + state);
    }
}

void CConfigurationModel::SetPhoneBookSize(int32_t size) {
    phoneBookSize = size;
    accessNumberCount = L::AccessNumberCount(size);
    for (int32_t row = 0; row < accessNumberCount; ++row) {
        phoneBookTable.setData(row, L::kPhoneBookLabelColumn, IntToStr(row + 1));
    }
    phoneBookCollector->SetLast(size);
    phoneBookProvider->SetLast(size);
    phoneBookDeleteProvider->SetLast(size);
}

void CConfigurationModel::ApplyReadSettings() {
    const auto unitValue = [this](int32_t position) {
        return phoneBookTable.getData(Row(position), L::kPhoneBookCurrentNumberColumn);
    };
    const auto show = [&unitValue](IGuiHelper* presenter, int32_t position) {
        if (presenter != nullptr) {
            presenter->ShowUnitValue(unitValue(position));
        }
    };
    show(presenters.activeTime, L::kActiveTimePosition);
    show(presenters.activeRelay, L::kActiveRelayPosition);
    show(presenters.smsAck, L::kSmsAckPosition);
    show(presenters.inputBehaviour, L::kInputBehaviourPosition);
    ApplyCallMask(ParseInt(unitValue(L::kCallMaskPosition), 0));
    show(presenters.accessControl, L::kAccessControlPosition);
    for (int32_t input = 1; input <= L::kInputCount; ++input) {
        show(presenters.inputDelays[static_cast<std::size_t>(input - 1)], L::DelayPosition(input));
    }
}

void CConfigurationModel::PrepareSettingsForWriting() {
    // A mark left by an earlier write, a reset or a profile would send a value the window
    // does not show.
    for (int32_t position = L::kFirstSettingPosition; position <= L::kLastSettingPosition;
         ++position) {
        phoneBookTable.setData(Row(position), L::kPhoneBookNewNumberColumn, "");
        phoneBookTable.setData(Row(position), L::kPhoneBookWriteColumn, "");
    }
    const auto markForWriting = [this](int32_t position, const std::string& value) {
        phoneBookTable.setData(Row(position), L::kPhoneBookNewNumberColumn, value);
        phoneBookTable.setData(Row(position), L::kPhoneBookWriteColumn, L::kMark);
    };
    const auto prepare = [&markForWriting](IGuiHelper* presenter, int32_t position) {
        if (presenter != nullptr && presenter->IsChanged()) {
            markForWriting(position, presenter->GetValue(ValueKind::New));
        }
    };
    prepare(presenters.activeTime, L::kActiveTimePosition);
    prepare(presenters.activeRelay, L::kActiveRelayPosition);
    prepare(presenters.smsAck, L::kSmsAckPosition);
    prepare(presenters.inputBehaviour, L::kInputBehaviourPosition);
    markForWriting(L::kCallMaskPosition, IntToStr(GetCallMask()));
    prepare(presenters.accessControl, L::kAccessControlPosition);
    for (int32_t input = 1; input <= L::kInputCount; ++input) {
        prepare(presenters.inputDelays[static_cast<std::size_t>(input - 1)],
                L::DelayPosition(input));
    }
}

bool CConfigurationModel::ValidateNewValues(bool checkCountryCode) const {
    return FindInvalidValues(checkCountryCode).empty();
}

std::optional<CInvalidValue> CConfigurationModel::FindInvalidValue(bool checkCountryCode) const {
    const std::vector<CInvalidValue> invalid = FindInvalidValues(checkCountryCode);
    if (invalid.empty()) {
        return std::nullopt;
    }
    return invalid.front();
}

std::vector<CInvalidValue> CConfigurationModel::FindInvalidValues(bool checkCountryCode) const {
    if (phoneBookSize < L::kMinWritablePhoneBookSize) {
        return {CInvalidValue{Table::phoneBook, Row(L::kFirstSettingPosition),
                              L::kPhoneBookNewNumberColumn, Reason::storeTooSmall}};
    }
    std::vector<CInvalidValue> found;
    const auto add = [&found](std::optional<CInvalidValue> invalid) {
        if (invalid) {
            found.push_back(*invalid);
        }
    };
    for (int32_t row = 0; row < L::kMessageCount; ++row) {
        add(FindInvalidMessage(row, checkCountryCode));
    }
    for (int32_t row = 0; row < phoneBookSize; ++row) {
        if (!L::IsSettingRow(row)) {
            add(FindInvalidAccessNumber(row));
        }
    }
    for (int32_t position = L::kFirstSettingPosition; position <= L::kLastSettingPosition;
         ++position) {
        add(FindInvalidSetting(position));
    }
    return found;
}

std::optional<CInvalidValue> CConfigurationModel::FindInvalidMessage(int32_t row,
                                                                     bool checkCountryCode) const {
    const auto invalid = [row](int32_t column, Reason reason) {
        return CInvalidValue{Table::sms, row, column, reason};
    };
    const std::string newText = smsTable.getData(row, L::kSmsNewTextColumn);
    if (HasForbiddenByte(newText)) {
        return invalid(L::kSmsNewTextColumn, Reason::forbiddenCharacter);
    }
    const std::string newNumber = smsTable.getData(row, L::kSmsNewNumberColumn);
    if (checkCountryCode && !newNumber.empty() && !newNumber.starts_with('+')) {
        return invalid(L::kSmsNewNumberColumn, Reason::missingCountryCode);
    }

    // The smart writer stores only the changed rows, but its fallback stores all 28 as the
    // SMS provider gives them, current values included: every one of them must be sendable.
    const std::string text = CSmsDataProvider::ValueToStore(
        smsTable, row, L::kSmsNewTextColumn, L::kSmsCurrentTextColumn, L::kSmsDeleteColumn);
    const int32_t textColumn = newText.empty() ? L::kSmsCurrentTextColumn : L::kSmsNewTextColumn;
    if (text.size() > static_cast<std::size_t>(L::kMaxTextLength)) {
        return invalid(textColumn, Reason::textTooLong);
    }
    if (HasControlByte(text)) {
        return invalid(textColumn, Reason::controlCharacter);
    }
    const std::string number = CSmsDataProvider::ValueToStore(
        smsTable, row, L::kSmsNewNumberColumn, L::kSmsCurrentNumberColumn, L::kSmsDeleteColumn);
    if (!number.empty() && !IsSendableNumber(number)) {
        return invalid(newNumber.empty() ? L::kSmsCurrentNumberColumn : L::kSmsNewNumberColumn,
                       Reason::badNumber);
    }
    return std::nullopt;
}

std::optional<CInvalidValue> CConfigurationModel::FindInvalidAccessNumber(int32_t row) const {
    const std::string number = phoneBookTable.getData(row, L::kPhoneBookNewNumberColumn);
    if (number.empty()) {
        return std::nullopt;
    }
    if (!number.starts_with('+')) {
        return CInvalidValue{Table::phoneBook, row, L::kPhoneBookNewNumberColumn,
                             Reason::missingCountryCode};
    }
    if (!IsSendableNumber(number)) {
        return CInvalidValue{Table::phoneBook, row, L::kPhoneBookNewNumberColumn,
                             Reason::badNumber};
    }
    return std::nullopt;
}

std::optional<CInvalidValue> CConfigurationModel::FindInvalidSetting(int32_t position) const {
    // Checks what the setting entry will hold once PrepareSettingsForWriting has run: the
    // computed call mask (always sendable) or a changed presenter's new value.
    IGuiHelper* presenter = PresenterAt(position);
    if (presenter == nullptr || !presenter->IsChanged()) {
        return std::nullopt;
    }
    if (!IsSendableSetting(presenter->GetValue(ValueKind::New))) {
        return CInvalidValue{Table::phoneBook, Row(position), L::kPhoneBookNewNumberColumn,
                             Reason::badSettingValue};
    }
    return std::nullopt;
}

IGuiHelper* CConfigurationModel::PresenterAt(int32_t position) const {
    switch (position) {
        case L::kActiveTimePosition:
            return presenters.activeTime;
        case L::kActiveRelayPosition:
            return presenters.activeRelay;
        case L::kSmsAckPosition:
            return presenters.smsAck;
        case L::kInputBehaviourPosition:
            return presenters.inputBehaviour;
        case L::kAccessControlPosition:
            return presenters.accessControl;
        case L::kCallMaskPosition:
            return nullptr;
        default:
            break;
    }
    for (int32_t input = 1; input <= L::kInputCount; ++input) {
        if (L::DelayPosition(input) == position) {
            return presenters.inputDelays[static_cast<std::size_t>(input - 1)];
        }
    }
    return nullptr;
}

void CConfigurationModel::ResetValues() {
    for (int32_t row = 0; row < L::kMessageCount; ++row) {
        for (int32_t column :
             {L::kSmsCurrentTextColumn, L::kSmsCurrentNumberColumn, L::kSmsNewTextColumn,
              L::kSmsNewNumberColumn, L::kSmsNewCallColumn}) {
            smsTable.setData(row, column, "");
        }
    }
    ClearPhoneBookValues();
    FollowUnit();
    for (int32_t position = L::kLastSettingPosition; position >= L::kFirstSettingPosition;
         --position) {
        phoneBookTable.setData(Row(position), L::kPhoneBookNewNumberColumn,
                               L::ResetValue(position));
        phoneBookTable.setData(Row(position), L::kPhoneBookWriteColumn, L::kMark);
    }
}

int32_t CConfigurationModel::GetCallMask() const {
    int32_t mask = 0;
    int32_t bit = 1;
    for (int32_t tag = 0; tag < L::kAlarmInputCount; ++tag) {
        // A profile can mark other rows alone; the input's flag is its first row's.
        if (L::IsMarked(
                smsTable.getData(L::AlarmGridRowToTableRow(tag, 0), L::kSmsNewCallColumn))) {
            mask += bit;
        }
        bit *= 2;
    }
    return mask;
}

void CConfigurationModel::ApplyCallMask(int32_t mask) {
    const auto bits = static_cast<uint32_t>(mask);
    for (int32_t tag = 0; tag < L::kAlarmInputCount; ++tag) {
        const std::string mark = ((bits >> tag) & 1U) != 0 ? L::kMark : "";
        for (int32_t gridRow = 0; gridRow < L::kMessagesPerInput; ++gridRow) {
            const int32_t row = L::AlarmGridRowToTableRow(tag, gridRow);
            smsTable.setData(row, L::kSmsCurrentCallColumn, mark);
            if (!callMarksChosen) {
                smsTable.setData(row, L::kSmsNewCallColumn, mark);
            }
        }
    }
}

void CConfigurationModel::SetNewCallMark(int32_t tag, bool set) {
    for (int32_t gridRow = 0; gridRow < L::kMessagesPerInput; ++gridRow) {
        smsTable.setData(L::AlarmGridRowToTableRow(tag, gridRow), L::kSmsNewCallColumn,
                         set ? L::kMark : "");
    }
    callMarksChosen = true;
}

void CConfigurationModel::ClearCurrentValues() {
    for (int32_t row = 0; row < L::kMessageCount; ++row) {
        for (int32_t column = L::kSmsCurrentTextColumn; column <= L::kSmsCurrentCallColumn;
             ++column) {
            smsTable.setData(row, column, "");
        }
    }
    ClearPhoneBookColumns(phoneBookSize - 1, L::kPhoneBookCurrentNumberColumn,
                          L::kPhoneBookCurrentNumberColumn);
}

void CConfigurationModel::ClearNewValues() {
    for (int32_t row = 0; row < L::kMessageCount; ++row) {
        for (int32_t column : {L::kSmsNewTextColumn, L::kSmsNewNumberColumn, L::kSmsDeleteColumn}) {
            smsTable.setData(row, column, "");
        }
        // The call flags are the unit's call mask setting: they follow the unit again too.
        smsTable.setData(row, L::kSmsNewCallColumn,
                         smsTable.getData(row, L::kSmsCurrentCallColumn));
    }
    ClearPhoneBookColumns(phoneBookSize, L::kPhoneBookNewNumberColumn, L::kPhoneBookWriteColumn);
    FollowUnit();
}

void CConfigurationModel::FollowUnit() {
    callMarksChosen = false;
    for (IGuiHelper* presenter : {presenters.activeTime, presenters.activeRelay, presenters.smsAck,
                                  presenters.accessControl, presenters.inputBehaviour}) {
        if (presenter != nullptr) {
            presenter->FollowUnit();
        }
    }
    for (IGuiHelper* presenter : presenters.inputDelays) {
        if (presenter != nullptr) {
            presenter->FollowUnit();
        }
    }
}

void CConfigurationModel::ClearPhoneBookValues() {
    ClearPhoneBookColumns(phoneBookSize, L::kPhoneBookCurrentNumberColumn,
                          L::kPhoneBookWriteColumn);
}

void CConfigurationModel::ClearPhoneBookColumns(int32_t lastRow, int32_t firstColumn,
                                                int32_t lastColumn) {
    for (int32_t row = 0; row <= lastRow; ++row) {
        for (int32_t column = firstColumn; column <= lastColumn; ++column) {
            phoneBookTable.setData(row, column, "");
        }
    }
}
