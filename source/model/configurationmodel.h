#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "columnprop.h"
#include "core/refobject.h"
#include "model/guihelper.h"
#include "model/phonebookproviders.h"
#include "model/smsproviders.h"
#include "model/unitlayout.h"
#include "vtlistdata.h"

class ITextSource;

// The eleven setting presenters, lent by the main window (the language object owns them).
// A missing presenter is left out of every operation.
struct CSettingPresenters {
    IGuiHelper* activeTime = nullptr;
    IGuiHelper* activeRelay = nullptr;
    IGuiHelper* smsAck = nullptr;
    IGuiHelper* accessControl = nullptr;
    IGuiHelper* inputBehaviour = nullptr;
    // Inputs 1 to 6.
    std::array<IGuiHelper*, CUnitLayout::kInputCount> inputDelays{};

    // The eleven in the setting table's order: the five above, then the six delays.
    static CSettingPresenters InTableOrder(
        const std::array<IGuiHelper*, 5 + CUnitLayout::kInputCount>& presenters) {
        CSettingPresenters lent{presenters[0], presenters[1], presenters[2],
                                presenters[3], presenters[4], {}};
        for (std::size_t d = 0; d < lent.inputDelays.size(); ++d) {
            lent.inputDelays[d] = presenters[5 + d];
        }
        return lent;
    }
};

// Why a configuration may not be written, and the cell that holds the value.
struct CInvalidValue {
    enum class ETable : uint8_t { sms, phoneBook };
    enum class EReason : uint8_t {
        // The phonebook has no room for the setting entries.
        storeTooSmall,
        // A new alarm text holds a character the module's alphabet cannot carry.
        forbiddenCharacter,
        // A receiver or access number without its country code.
        missingCountryCode,
        // A text to store that is longer than one message.
        textTooLong,
        // A text to store with a control byte (which would end or break the store command) or
        // DEL (which the module keeps as another character).
        controlCharacter,
        // A number to send that is not digits after an optional "+", or too long.
        badNumber,
        // A setting value to send that is not 1 to 3 decimal digits.
        badSettingValue,
    };

    ETable table;
    int32_t row;
    int32_t column;
    EReason reason;
};

// Whether the module can store the Windows-1252 byte `c` in an alarm text: Write refuses a new
// text with a character the module's alphabet has no place for or with a control byte.
bool IsStorableTextByte(char c);

// The unit's configuration as the main window holds it while the user edits it: the SMS table
// (the 28 alarm messages), the phonebook table (access numbers and setting entries), the
// column properties of their grids, the phonebook size, and the six providers and collectors
// that carry the tables to and from the controllers. The settings themselves live in the
// presenters; the model moves them between the presenters and the phonebook table.
//
// GUI thread only, apart from the providers and collectors, which the controllers drive on the
// worker while the window is disabled; the tables lock themselves.
class CConfigurationModel {
public:
    CConfigurationModel();
    CConfigurationModel(const CConfigurationModel&) = delete;
    CConfigurationModel& operator=(const CConfigurationModel&) = delete;

    TVTListData& SmsTable() { return smsTable; }
    const TVTListData& SmsTable() const { return smsTable; }
    TVTListData& PhoneBookTable() { return phoneBookTable; }
    const TVTListData& PhoneBookTable() const { return phoneBookTable; }
    // Shared by the seven alarm grids / used by the access-number grid. Take them from the
    // grids before the model goes.
    TColumnPropList& AlarmColumnProperties() { return alarmColumns; }
    TColumnPropList& AccessColumnProperties() { return accessColumns; }

    CPhoneBookDataCollector* PhoneBookCollector() { return phoneBookCollector.get(); }
    CPhoneBookDataProvider* PhoneBookProvider() { return phoneBookProvider.get(); }
    CPhoneBookDeleteProvider* PhoneBookDeleteProvider() { return phoneBookDeleteProvider.get(); }
    CSmsDataCollector* SmsCollector() { return smsCollector.get(); }
    CSmsDeleteProvider* SmsDeleteProvider() { return smsDeleteProvider.get(); }
    CSmsDataProvider* SmsProvider() { return smsProvider.get(); }

    void SetPresenters(const CSettingPresenters& presenters) { this->presenters = presenters; }

    // Writes the receiver labels from the language's "HIGH", "LOW", "OK" and "FAIL" texts.
    void LabelReceivers(const ITextSource& language);

    // The capacity of the configuration store: the access-number labels, the count the
    // access-number grid shows, and the last position of the three phonebook objects.
    void SetPhoneBookSize(int32_t size);
    int32_t GetPhoneBookSize() const { return phoneBookSize; }
    int32_t GetAccessNumberCount() const { return accessNumberCount; }

    // After a successful phonebook read: the presenters and the call marks from the current
    // numbers of the setting positions. New values and new call marks the user has chosen stay.
    void ApplyReadSettings();
    // Before a write: the setting rows' write marks derived afresh, so that only what the
    // window shows is sent: every changed setting and the call mask into the phonebook table's
    // new number column, with a write mark; no other setting row keeps a mark.
    void PrepareSettingsForWriting();
    // Before a write, before anything on the unit is touched: true when every value the write
    // may send can be sent as it is.
    bool ValidateNewValues(bool checkCountryCode) const;
    // The first value ValidateNewValues refuses, or nothing.
    std::optional<CInvalidValue> FindInvalidValue(bool checkCountryCode) const;
    // Every value ValidateNewValues refuses, in the order FindInvalidValue looks at them; a
    // store too small for the settings is the only entry when it is so.
    std::vector<CInvalidValue> FindInvalidValues(bool checkCountryCode) const;
    // Before Reset Unit: an empty configuration with the reset values of the settings marked
    // for writing. Receiver labels, current call marks and delete marks stay.
    void ResetValues();

    // The call mask the new call marks give: bit i when the first row of alarm input i + 1
    // carries the mark.
    int32_t GetCallMask() const;
    // Sets or clears the current call marks of every row from the bits of `mask`, and the new
    // ones too unless the user has chosen them.
    void ApplyCallMask(int32_t mask);
    // The user's call flag of the alarm input with grid tag `tag` (all four of its rows).
    void SetNewCallMark(int32_t tag, bool set);
    // The new call marks are the user's choice (clicked, or loaded from a profile): a unit read
    // afterwards no longer replaces them.
    void ChooseNewCallMarks() { callMarksChosen = true; }
    bool AreNewCallMarksChosen() const { return callMarksChosen; }

    // Disconnect: the current side of both tables (the access-number grid's rows only).
    void ClearCurrentValues();
    // Clear Text Fields: the new side of both tables is emptied, and the settings and call
    // marks follow the unit again (they take its values where they are known).
    void ClearNewValues();
    // Clear SIM: every value of the phonebook table.
    void ClearPhoneBookValues();

private:
    std::optional<CInvalidValue> FindInvalidMessage(int32_t row, bool checkCountryCode) const;
    std::optional<CInvalidValue> FindInvalidAccessNumber(int32_t row) const;
    std::optional<CInvalidValue> FindInvalidSetting(int32_t position) const;
    IGuiHelper* PresenterAt(int32_t position) const;
    void ClearPhoneBookColumns(int32_t lastRow, int32_t firstColumn, int32_t lastColumn);
    void FollowUnit();

    TVTListData smsTable;
    TVTListData phoneBookTable;
    TColumnPropList alarmColumns;
    TColumnPropList accessColumns;
    int32_t phoneBookSize = CUnitLayout::kDefaultPhoneBookSize;
    int32_t accessNumberCount = CUnitLayout::AccessNumberCount(phoneBookSize);
    CSettingPresenters presenters;
    bool callMarksChosen = false;

    CRefPtr<CSmsDataCollector> smsCollector;
    CRefPtr<CSmsDeleteProvider> smsDeleteProvider;
    CRefPtr<CSmsDataProvider> smsProvider;
    CRefPtr<CPhoneBookDataCollector> phoneBookCollector;
    CRefPtr<CPhoneBookDataProvider> phoneBookProvider;
    CRefPtr<CPhoneBookDeleteProvider> phoneBookDeleteProvider;
};
