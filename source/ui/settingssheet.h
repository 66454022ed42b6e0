#pragma once

#include <QWidget>
#include <array>
#include <functional>

#include "core/refobject.h"

class CAppLanguage;
class CControlledSettingGui;
class IGuiHelper;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QScrollArea;
class TSettingRangeCheck;
class TVTList;
struct CInvalidValue;

// The settings page ("Power Messages"): the eleven settings, each a current edit beside its
// new-value control, the line that names a typed value the unit cannot take, and the access
// numbers' grid below them. It owns its controls, their language binding and the presenters'
// wiring to them; the grid's wiring to the phone book is accessnumbergrid's.
class TSettingsSheet : public QWidget {
public:
    explicit TSettingsSheet(QWidget* parent = nullptr);

    QGroupBox* CallActivatedRelaysGroup = nullptr;
    QLineEdit* ActiveTimeCurrentEdit = nullptr;
    QComboBox* ActiveTimeNewCombo = nullptr;
    QLineEdit* ActiveRelayCurrentEdit = nullptr;
    QComboBox* ActiveRelayNewCombo = nullptr;
    QLineEdit* SmsAckCurrentEdit = nullptr;
    QComboBox* SmsAckNewCombo = nullptr;
    QLabel* CallActivatedCurrentLabel = nullptr;
    QLabel* CallActivatedNewLabel = nullptr;
    QLabel* ActiveTimeLabel = nullptr;
    QLabel* ActiveRelayLabel = nullptr;
    QLabel* SmsAckLabel = nullptr;
    QLabel* ActiveTimeRangeLabel = nullptr;

    QGroupBox* AccessControlGroup = nullptr;
    QLineEdit* AccessControlCurrentEdit = nullptr;
    QComboBox* AccessControlNewCombo = nullptr;
    QLabel* AccessControlCurrentLabel = nullptr;
    QLabel* AccessControlNewLabel = nullptr;

    QGroupBox* InputBehaviourGroup = nullptr;
    QLineEdit* InputBehaviourCurrentEdit = nullptr;
    QComboBox* InputBehaviourNewCombo = nullptr;
    QLabel* InputBehaviourCurrentLabel = nullptr;
    QLabel* InputBehaviourNewLabel = nullptr;

    QGroupBox* InputDelayGroup = nullptr;
    std::array<QLineEdit*, 6> InputDelayCurrentEdits{};  // InputDelay1CurrentEdit to 6
    std::array<QLineEdit*, 6> InputDelayNewEdits{};      // InputDelay1NewEdit to 6
    std::array<QLabel*, 6> InputDelayNumberLabels{};     // "1" to "6"
    QLabel* InputDelayInputLabel = nullptr;
    QLabel* InputDelayCurrentTimeLabel = nullptr;
    QLabel* InputDelayNewTimeLabel = nullptr;
    QLabel* InputDelayRangeLabel = nullptr;

    // The page scrolls its groups when the window is smaller than they need.
    QScrollArea* SettingsScrollArea = nullptr;
    // Names a typed setting value the unit cannot take; hidden while there is none.
    QLabel* SettingMessageLabel = nullptr;

    QGroupBox* AccessNumbersGroup = nullptr;
    TVTList* AccessNumberList = nullptr;

    // The eleven presenters in presenter order (active time, active relay, SMS acknowledge,
    // access control, input behaviour, delays 1 to 6) with their start values, each new-value
    // control wired to its presenter; `handedOn` follows every value a control hands on. The
    // caller takes them over; ForgetPresenters before they go.
    std::array<CRefPtr<IGuiHelper>, 11> MakePresenters(std::function<void()> handedOn);
    void ForgetPresenters() { presenters.fill(nullptr); }
    // Hands what the focused new-value control shows to its presenter, as leaving it would.
    void CommitFocusedValue();
    // The new-value controls in presenter order.
    std::array<QWidget*, 11> NewControls() const;
    void ClearCurrentValues();
    // Empties the delay edits; the presenters then follow the unit again.
    void ClearNewDelays();

    // The captions follow `language`, and typed times it cannot take are refused in its words.
    void AttachLanguage(CAppLanguage& language);
    TSettingRangeCheck& RangeCheck() { return *rangeCheck; }
    // The current edits as wide as the widest value they can show in `language`.
    void FitToTexts(const CAppLanguage& language);
    // Selects the control or access-number cell of a phone-book value Write refuses and gives
    // it the focus.
    void SelectInvalidValue(const CInvalidValue& value);

private:
    void BuildSettingGroups(QWidget* content);

    std::array<CControlledSettingGui*, 11> presenters{};
    TSettingRangeCheck* rangeCheck = nullptr;
};
