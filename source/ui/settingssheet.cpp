#include "ui/settingssheet.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "model/configurationmodel.h"
#include "model/settingrules.h"
#include "model/settingtable.h"
#include "model/unitlayout.h"
#include "persistence/applanguage.h"
#include "persistence/languagekeys.h"
#include "ui/accessnumbergrid.h"
#include "ui/formcontrols.h"
#include "ui/langcontroller.h"
#include "ui/layoutfit.h"
#include "ui/settingcontrols.h"
#include "ui/settingrangecheck.h"
#include "vtlist.h"

namespace {

using L = CUnitLayout;

// The delays follow the five drop-down settings in the setting table.
constexpr std::size_t kFirstDelay = 5;

// The captions of a setting's list items in `language`, and for the times the widest number.
QStringList ValueTexts(ESettingKind kind, const CAppLanguage& language) {
    QStringList texts;
    for (const CSettingItem& item : SettingItems(kind)) {
        texts << (item.isLanguageKey ? LanguageText(language, item.text) : Text(item.text));
    }
    if (kind == ESettingKind::activeTime || kind == ESettingKind::delayBlockTime) {
        texts << QStringLiteral("254");
    }
    return texts;
}

}  // namespace

TSettingsSheet::TSettingsSheet(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("SettingsSheet"));
    auto* pageLayout = new QVBoxLayout(this);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    // The page scrolls when the window is smaller than its groups need; otherwise the access
    // numbers take whatever height is left.
    SettingsScrollArea = Named(new QScrollArea(this), "SettingsScrollArea");
    SettingsScrollArea->setWidgetResizable(true);
    SettingsScrollArea->setFrameShape(QFrame::NoFrame);
    pageLayout->addWidget(SettingsScrollArea);
    auto* content = Named(new QWidget(), "SettingsContent");
    auto* sheetLayout = new QVBoxLayout(content);
    sheetLayout->setContentsMargins(2, 4, 2, 4);

    BuildSettingGroups(content);
    // The four groups in a row as designed; in a narrow window the two single settings move
    // under the relays.
    sheetLayout->addWidget(
        Named(new TSettingGroupsRow(content, CallActivatedRelaysGroup, AccessControlGroup,
                                    InputBehaviourGroup, InputDelayGroup),
              "SettingGroupsRow"),
        0);

    // A typed value the unit cannot take is named here, in red, until it is corrected.
    SettingMessageLabel = Named(new QLabel(content), "SettingMessageLabel");
    SettingMessageLabel->setWordWrap(true);
    QPalette red = SettingMessageLabel->palette();
    red.setColor(QPalette::WindowText, QColor(0xC0, 0x00, 0x00));
    SettingMessageLabel->setPalette(red);
    sheetLayout->addWidget(SettingMessageLabel);

    // The access numbers take the rest of the sheet.
    AccessNumbersGroup =
        Named(new QGroupBox(QStringLiteral(" Access Numbers "), content), "AccessNumbersGroup");
    auto* accessLayout = new QVBoxLayout(AccessNumbersGroup);
    AccessNumberList = MakeAccessNumberGrid(AccessNumbersGroup);
    accessLayout->addWidget(AccessNumberList);
    sheetLayout->addWidget(AccessNumbersGroup, 1);
    SettingsScrollArea->setWidget(content);
}

void TSettingsSheet::BuildSettingGroups(QWidget* content) {
    // Call-activated relays: three settings in rows, current and new side by side.
    CallActivatedRelaysGroup =
        Named(new QGroupBox(QStringLiteral(" Call Activated Relay(s) "), content),
              "CallActivatedRelaysGroup");
    auto* relays = new QGridLayout(CallActivatedRelaysGroup);
    // Close columns, so the four groups fit one row in the designed window.
    relays->setHorizontalSpacing(3);
    CallActivatedCurrentLabel =
        MakeLabel(CallActivatedRelaysGroup, "CallActivatedCurrentLabel", "Current");
    CallActivatedNewLabel = MakeLabel(CallActivatedRelaysGroup, "CallActivatedNewLabel", "New");
    ActiveTimeLabel = MakeLabel(CallActivatedRelaysGroup, "ActiveTimeLabel", "Active Time::");
    ActiveRelayLabel = MakeLabel(CallActivatedRelaysGroup, "ActiveRelayLabel", "Active Relay:");
    SmsAckLabel = MakeLabel(CallActivatedRelaysGroup, "SmsAckLabel", "SMS Acknowledge:");
    ActiveTimeRangeLabel =
        MakeLabel(CallActivatedRelaysGroup, "ActiveTimeRangeLabel", "0-254 sec.");
    ActiveTimeCurrentEdit = MakeCurrentEdit(CallActivatedRelaysGroup, "ActiveTimeCurrentEdit");
    ActiveRelayCurrentEdit = MakeCurrentEdit(CallActivatedRelaysGroup, "ActiveRelayCurrentEdit");
    SmsAckCurrentEdit = MakeCurrentEdit(CallActivatedRelaysGroup, "SmsAckCurrentEdit");
    ActiveTimeNewCombo =
        MakeNewCombo(CallActivatedRelaysGroup, "ActiveTimeNewCombo",
                     CControlledSettingGui::FormItems(ESettingKind::activeTime), true);
    ActiveRelayNewCombo =
        MakeNewCombo(CallActivatedRelaysGroup, "ActiveRelayNewCombo",
                     CControlledSettingGui::FormItems(ESettingKind::activeRelay), false);
    SmsAckNewCombo = MakeNewCombo(CallActivatedRelaysGroup, "SmsAckNewCombo",
                                  CControlledSettingGui::FormItems(ESettingKind::smsAck), false);
    // The three lists share one width, the widest of them, and so do the three current edits.
    for (QComboBox* combo : {ActiveTimeNewCombo, ActiveRelayNewCombo, SmsAckNewCombo}) {
        // Never narrower than its widest item: a small window scrolls instead.
        combo->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    }
    relays->addWidget(CallActivatedCurrentLabel, 0, 1);
    relays->addWidget(CallActivatedNewLabel, 0, 2);
    relays->addWidget(ActiveTimeLabel, 1, 0);
    relays->addWidget(ActiveTimeCurrentEdit, 1, 1);
    relays->addWidget(ActiveTimeNewCombo, 1, 2);
    relays->addWidget(ActiveTimeRangeLabel, 1, 3);
    relays->addWidget(ActiveRelayLabel, 2, 0);
    relays->addWidget(ActiveRelayCurrentEdit, 2, 1);
    relays->addWidget(ActiveRelayNewCombo, 2, 2);
    relays->addWidget(SmsAckLabel, 3, 0);
    relays->addWidget(SmsAckCurrentEdit, 3, 1);
    relays->addWidget(SmsAckNewCombo, 3, 2);
    relays->setRowStretch(4, 1);

    // Access control above input behaviour: one setting each.
    const auto makeSingle = [content](const char* groupName, const char* caption,
                                      const char* currentLabelName, const char* newLabelName,
                                      const char* currentName, const char* comboName,
                                      const QStringList& items, QLabel*& currentLabel,
                                      QLabel*& newLabel, QLineEdit*& current, QComboBox*& combo) {
        auto* group = Named(new QGroupBox(QString::fromLatin1(caption), content), groupName);
        auto* layout = new QGridLayout(group);
        currentLabel = MakeLabel(group, currentLabelName, "Current");
        newLabel = MakeLabel(group, newLabelName, "New");
        current = MakeCurrentEdit(group, currentName);
        combo = MakeNewCombo(group, comboName, items, false);
        layout->addWidget(currentLabel, 0, 0);
        layout->addWidget(newLabel, 0, 1);
        layout->addWidget(current, 1, 0);
        layout->addWidget(combo, 1, 1);
        layout->setColumnStretch(2, 1);
        return group;
    };
    AccessControlGroup = makeSingle(
        "AccessControlGroup", " Access Control ", "AccessControlCurrentLabel",
        "AccessControlNewLabel", "AccessControlCurrentEdit", "AccessControlNewCombo",
        CControlledSettingGui::FormItems(ESettingKind::accessControl), AccessControlCurrentLabel,
        AccessControlNewLabel, AccessControlCurrentEdit, AccessControlNewCombo);
    InputBehaviourGroup = makeSingle(
        "InputBehaviourGroup", " Input Behaviour ", "InputBehaviourCurrentLabel",
        "InputBehaviourNewLabel", "InputBehaviourCurrentEdit", "InputBehaviourNewCombo",
        CControlledSettingGui::FormItems(ESettingKind::inputBehaviour), InputBehaviourCurrentLabel,
        InputBehaviourNewLabel, InputBehaviourCurrentEdit, InputBehaviourNewCombo);

    // Input delays: one row per input.
    InputDelayGroup = Named(new QGroupBox(QStringLiteral(" Input Delay / Block Time "), content),
                            "InputDelayGroup");
    auto* delays = new QGridLayout(InputDelayGroup);
    delays->setVerticalSpacing(2);
    delays->setHorizontalSpacing(3);
    InputDelayInputLabel = MakeLabel(InputDelayGroup, "InputDelayInputLabel", "Input");
    InputDelayCurrentTimeLabel =
        MakeLabel(InputDelayGroup, "InputDelayCurrentTimeLabel", "Current Time");
    InputDelayNewTimeLabel = MakeLabel(InputDelayGroup, "InputDelayNewTimeLabel", "New Time");
    InputDelayRangeLabel = MakeLabel(InputDelayGroup, "InputDelayRangeLabel", "0-254 sec.");
    delays->addWidget(InputDelayInputLabel, 0, 0);
    delays->addWidget(InputDelayCurrentTimeLabel, 0, 1);
    delays->addWidget(InputDelayNewTimeLabel, 0, 2);
    for (int i = 0; i < L::kInputCount; ++i) {
        const std::string number = std::to_string(i + 1);
        InputDelayNumberLabels[i] = new QLabel(QString::fromStdString(number), InputDelayGroup);
        InputDelayNumberLabels[i]->setObjectName(
            QString::fromStdString("InputDelay" + number + "Label"));
        InputDelayNumberLabels[i]->setAlignment(Qt::AlignCenter);
        InputDelayCurrentEdits[i] =
            MakeCurrentEdit(InputDelayGroup, "InputDelay" + number + "CurrentEdit");
        InputDelayNewEdits[i] = new QLineEdit(InputDelayGroup);
        InputDelayNewEdits[i]->setObjectName(
            QString::fromStdString("InputDelay" + number + "NewEdit"));
        InputDelayNewEdits[i]->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        InputDelayNewEdits[i]->setMaxLength(i == 0 ? 3 : 20);
        delays->addWidget(InputDelayNumberLabels[i], i + 1, 0);
        delays->addWidget(InputDelayCurrentEdits[i], i + 1, 1);
        delays->addWidget(InputDelayNewEdits[i], i + 1, 2);
    }
    delays->addWidget(InputDelayRangeLabel, L::kInputCount + 1, 2);
}

std::array<CRefPtr<IGuiHelper>, 11> TSettingsSheet::MakePresenters(std::function<void()> handedOn) {
    const std::array<QComboBox*, 5> lists = {ActiveTimeNewCombo, ActiveRelayNewCombo,
                                             SmsAckNewCombo, AccessControlNewCombo,
                                             InputBehaviourNewCombo};
    const std::array<QLineEdit*, 5> currents = {ActiveTimeCurrentEdit, ActiveRelayCurrentEdit,
                                                SmsAckCurrentEdit, AccessControlCurrentEdit,
                                                InputBehaviourCurrentEdit};
    // A refused text stays where it was typed, marked, and the value before it stays too.
    const auto refused = [this](const QLineEdit* field) {
        return rangeCheck != nullptr && rangeCheck->IsRefused(field);
    };
    std::array<CRefPtr<IGuiHelper>, 11> made;
    for (std::size_t i = 0; i < kSettingTable.size(); ++i) {
        const CSettingEntry& setting = kSettingTable[i];
        auto presenter = i < kFirstDelay
                             ? MakeRef<CControlledSettingGui>(setting.kind, currents[i], lists[i])
                             : MakeRef<CControlledSettingGui>(
                                   setting.kind, InputDelayCurrentEdits[i - kFirstDelay],
                                   InputDelayNewEdits[i - kFirstDelay]);
        presenter->SetNewValue(std::string(setting.startValue));
        presenter->Wire(refused, handedOn);
        presenters[i] = presenter.operator->();
        made[i] = std::move(presenter);
    }
    return made;
}

void TSettingsSheet::CommitFocusedValue() {
    const QWidget* focus = QApplication::focusWidget();
    for (CControlledSettingGui* presenter : presenters) {
        if (presenter != nullptr && presenter->IsNewControl(focus)) {
            presenter->Commit();
            return;
        }
    }
}

std::array<QWidget*, 11> TSettingsSheet::NewControls() const {
    std::array<QWidget*, 11> controls = {ActiveTimeNewCombo, ActiveRelayNewCombo, SmsAckNewCombo,
                                         AccessControlNewCombo, InputBehaviourNewCombo};
    std::copy(InputDelayNewEdits.begin(), InputDelayNewEdits.end(), controls.begin() + kFirstDelay);
    return controls;
}

void TSettingsSheet::ClearCurrentValues() {
    for (QLineEdit* edit : {ActiveTimeCurrentEdit, ActiveRelayCurrentEdit, SmsAckCurrentEdit,
                            AccessControlCurrentEdit, InputBehaviourCurrentEdit}) {
        edit->clear();
    }
    for (QLineEdit* edit : InputDelayCurrentEdits) {
        edit->clear();
    }
}

void TSettingsSheet::ClearNewDelays() {
    for (QLineEdit* edit : InputDelayNewEdits) {
        edit->setText(QString());
    }
}

void TSettingsSheet::AttachLanguage(CAppLanguage& language) {
    const auto attach = [&language](auto controller) { language.Attach(controller.Detach()); };
    attach(MakeRef<CListViewLangController>(
        AccessNumberList,
        std::vector<std::string>(kAccessListColumnKeys.begin(), kAccessListColumnKeys.end())));
    const std::array<std::pair<const char*, QGroupBox*>, 5> groups = {{
        {"ACCESS_NUMBERS", AccessNumbersGroup},
        {"CALL_ACTIVATED_RELAYS_GROUP", CallActivatedRelaysGroup},
        {"ACCESS_CONTROL_GROUP", AccessControlGroup},
        {"INPUT_BEHAVIOUR_GROUP", InputBehaviourGroup},
        {"INPUT_DELAY_GROUP", InputDelayGroup},
    }};
    for (const auto& [key, group] : groups) {
        attach(MakeRef<CGroupBoxLangController>(key, group));
    }
    attach(MakeRef<CTabSheetLangController>("SETTINGS", this));
    const std::array<std::pair<const char*, QLabel*>, 14> labels = {{
        {"RANGE_SECONDS", ActiveTimeRangeLabel},
        {"RANGE_SECONDS", InputDelayRangeLabel},
        {"CURRENT", CallActivatedCurrentLabel},
        {"NEW", CallActivatedNewLabel},
        {"CURRENT", AccessControlCurrentLabel},
        {"NEW", AccessControlNewLabel},
        {"CURRENT", InputBehaviourCurrentLabel},
        {"NEW", InputBehaviourNewLabel},
        {"INPUT", InputDelayInputLabel},
        {"CURRENT_TIME", InputDelayCurrentTimeLabel},
        {"NEW_TIME", InputDelayNewTimeLabel},
        {"ACTIVE_TIME", ActiveTimeLabel},
        {"ACTIVE_RELAY", ActiveRelayLabel},
        {"SMS_ACKNOWLEDGE", SmsAckLabel},
    }};
    for (const auto& [key, label] : labels) {
        attach(MakeRef<CLabelLangController>(key, label));
    }

    // A typed time the unit cannot take is refused where it is typed.
    rangeCheck = new TSettingRangeCheck(this, SettingMessageLabel, language);
    const auto setting = [](int32_t position) {
        return CInvalidValue{CInvalidValue::ETable::phoneBook, position - 1,
                             L::kPhoneBookNewNumberColumn, CInvalidValue::EReason::badSettingValue};
    };
    rangeCheck->Watch(
        ActiveTimeNewCombo->lineEdit(),
        [this](const QString& text) {
            return TSettingRangeCheck::IsTime(text) ||
                   ActiveTimeNewCombo->findText(text, Qt::MatchExactly) >= 0;
        },
        setting(L::kActiveTimePosition));
    for (int input = 1; input <= L::kInputCount; ++input) {
        rangeCheck->Watch(InputDelayNewEdits[static_cast<std::size_t>(input - 1)],
                          &TSettingRangeCheck::IsTime, setting(L::DelayPosition(input)));
    }
}

void TSettingsSheet::FitToTexts(const CAppLanguage& language) {
    const std::array<std::pair<QLineEdit*, ESettingKind>, 5> currents = {{
        {ActiveTimeCurrentEdit, ESettingKind::activeTime},
        {ActiveRelayCurrentEdit, ESettingKind::activeRelay},
        {SmsAckCurrentEdit, ESettingKind::smsAck},
        {AccessControlCurrentEdit, ESettingKind::accessControl},
        {InputBehaviourCurrentEdit, ESettingKind::inputBehaviour},
    }};
    for (const auto& [edit, kind] : currents) {
        FitLineEditToTexts(*edit, ValueTexts(kind, language));
    }
    // The relays' three current edits form one column as wide as the widest.
    const int relayWidth =
        std::max({ActiveTimeCurrentEdit->minimumWidth(), ActiveRelayCurrentEdit->minimumWidth(),
                  SmsAckCurrentEdit->minimumWidth()});
    for (QLineEdit* edit : {ActiveTimeCurrentEdit, ActiveRelayCurrentEdit, SmsAckCurrentEdit}) {
        edit->setFixedWidth(relayWidth);
    }
    const QStringList times = {QStringLiteral("2540")};
    for (std::size_t i = 0; i < InputDelayCurrentEdits.size(); ++i) {
        FitLineEditToTexts(*InputDelayCurrentEdits[i], times);
        FitLineEditToTexts(*InputDelayNewEdits[i], times);
    }
}

void TSettingsSheet::SelectInvalidValue(const CInvalidValue& value) {
    const int position = value.row + 1;
    if (!L::IsSettingPosition(position)) {
        const int gridRow =
            position <= L::kAccessNumbersBeforeSettings ? value.row : value.row - L::kReservedCount;
        AccessNumberList->setCurrentCell(gridRow, value.column);
        AccessNumberList->setFocus(Qt::OtherFocusReason);
        return;
    }
    const std::array<std::pair<int, QWidget*>, 5> settings = {{
        {L::kActiveTimePosition, ActiveTimeNewCombo},
        {L::kActiveRelayPosition, ActiveRelayNewCombo},
        {L::kSmsAckPosition, SmsAckNewCombo},
        {L::kAccessControlPosition, AccessControlNewCombo},
        {L::kInputBehaviourPosition, InputBehaviourNewCombo},
    }};
    QWidget* control = nullptr;
    for (const auto& [settingPosition, widget] : settings) {
        if (settingPosition == position) {
            control = widget;
        }
    }
    for (int input = 1; input <= L::kInputCount; ++input) {
        if (L::DelayPosition(input) == position) {
            control = InputDelayNewEdits[static_cast<std::size_t>(input - 1)];
        }
    }
    if (control != nullptr) {
        control->setFocus(Qt::OtherFocusReason);
    }
}
