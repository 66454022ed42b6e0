#pragma once

#include <cstdint>
#include <string>

// Where the unit keeps its configuration in its GSM module, and where the window's two tables
// keep it while the user edits it. Phonebook positions and message indexes count from 1, table
// rows and columns from 0: position or index p is table row p - 1.
class CUnitLayout {
public:
    // --- Phonebook ---------------------------------------------------------------------------

    // Until the unit reports the capacity of its configuration store.
    static constexpr int32_t kDefaultPhoneBookSize = 250;
    // Positions 58 to 69 carry the twelve settings; all others carry access numbers.
    static constexpr int32_t kReservedCount = 12;
    static constexpr int32_t kFirstSettingPosition = 58;
    static constexpr int32_t kLastSettingPosition = 69;
    // Access numbers before the setting block: access number k is at position k up to here.
    static constexpr int32_t kAccessNumbersBeforeSettings = kFirstSettingPosition - 1;
    // A store smaller than this has no room for the settings, so nothing may be written to it.
    static constexpr int32_t kMinWritablePhoneBookSize = kLastSettingPosition;

    // The setting entries by position.
    static constexpr int32_t kInput6DelayPosition = 58;
    static constexpr int32_t kInput1DelayPosition = 63;
    static constexpr int32_t kAccessControlPosition = 64;
    static constexpr int32_t kCallMaskPosition = 65;
    static constexpr int32_t kInputBehaviourPosition = 66;
    static constexpr int32_t kSmsAckPosition = 67;
    static constexpr int32_t kActiveRelayPosition = 68;
    static constexpr int32_t kActiveTimePosition = 69;
    static constexpr int32_t kInputCount = 6;

    // Name and number type fields of the entries the tool writes.
    static constexpr const char* kAccessName = "ACCESS";
    static constexpr const char* kAccessType = "145";
    static constexpr const char* kSettingName = "";
    static constexpr const char* kSettingType = "129";

    static bool IsSettingPosition(int32_t position) {
        return position >= kFirstSettingPosition && position <= kLastSettingPosition;
    }
    static bool IsSettingRow(int32_t row) { return IsSettingPosition(row + 1); }
    // Input 1 to 6.
    static int32_t DelayPosition(int32_t input) { return kInput1DelayPosition + 1 - input; }
    // The value a reset writes into a setting position; "" for any other position.
    static std::string ResetValue(int32_t position);
    static std::string EntryName(int32_t position) {
        return IsSettingPosition(position) ? kSettingName : kAccessName;
    }
    static std::string EntryType(int32_t position) {
        return IsSettingPosition(position) ? kSettingType : kAccessType;
    }

    // The phonebook size less the setting positions, never below 0.
    static int32_t AccessNumberCount(int32_t phoneBookSize);
    // Access number k (from 1) as the Position column shows it.
    static int32_t AccessNumberPosition(int32_t accessNumber);

    // --- SMS store ---------------------------------------------------------------------------

    // The unit's 28 alarm messages at storage indexes 1 to 28: four per alarm input, seven
    // inputs (inputs 1 to 6, then the external power input).
    static constexpr int32_t kMessageCount = 28;
    static constexpr int32_t kAlarmInputCount = 7;
    static constexpr int32_t kMessagesPerInput = 4;
    static constexpr int32_t kExternalPowerInput = 7;
    // The call mask holds one bit per alarm input, so it runs from 0 to 127.
    static constexpr int32_t kMaxCallMask = (1 << kAlarmInputCount) - 1;

    static bool IsMessageIndex(int32_t index) { return index >= 1 && index <= kMessageCount; }
    // Alarm input 1 to 7 of message index k.
    static int32_t AlarmInput(int32_t index) { return (index - 1) / kMessagesPerInput + 1; }
    // True for the two receivers of the second state (LOW, or FAIL for external power).
    static bool IsSecondState(int32_t index) { return (index - 1) % kMessagesPerInput >= 2; }
    // Receiver 1 or 2 within its state.
    static int32_t Receiver(int32_t index) { return (index - 1) % 2 + 1; }

    // --- Tables ------------------------------------------------------------------------------

    // SMS table columns.
    static constexpr int32_t kSmsReceiverColumn = 0;
    static constexpr int32_t kSmsCurrentTextColumn = 1;
    static constexpr int32_t kSmsCurrentNumberColumn = 2;
    static constexpr int32_t kSmsCurrentCallColumn = 3;
    static constexpr int32_t kSmsNewTextColumn = 4;
    static constexpr int32_t kSmsNewNumberColumn = 5;
    static constexpr int32_t kSmsNewCallColumn = 6;
    static constexpr int32_t kSmsDeleteColumn = 7;
    static constexpr int32_t kSmsColumnCount = 8;

    // Phonebook table columns. Column 0 is indexed by access number (row k - 1 holds the label
    // of access number k), the other columns by position (row p - 1).
    static constexpr int32_t kPhoneBookLabelColumn = 0;
    static constexpr int32_t kPhoneBookCurrentNumberColumn = 1;
    static constexpr int32_t kPhoneBookNewNumberColumn = 2;
    static constexpr int32_t kPhoneBookWriteColumn = 3;
    static constexpr int32_t kPhoneBookColumnCount = 4;

    // Editor limits of the columns that hold texts and numbers.
    static constexpr int32_t kMaxTextLength = 160;
    static constexpr int32_t kMaxNumberLength = 20;
    static constexpr int32_t kMaxLabelLength = 10;

    // A mark cell is set when it holds anything.
    static constexpr const char* kMark = "X";
    static bool IsMarked(const std::string& cell) { return !cell.empty(); }

    // The phonebook-table row that columns 1 to 3 of access-grid row g show: the grid skips
    // the setting rows.
    static int32_t AccessGridRowToTableRow(int32_t gridRow) {
        return gridRow < kAccessNumbersBeforeSettings ? gridRow : gridRow + kReservedCount;
    }
    // The SMS-table row of row g of the alarm grid whose tag is t (0 to 6).
    static int32_t AlarmGridRowToTableRow(int32_t tag, int32_t gridRow) {
        return tag * kMessagesPerInput + gridRow;
    }
};
