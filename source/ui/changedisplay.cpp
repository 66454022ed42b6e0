#include "ui/changedisplay.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>

#include "model/configurationmodel.h"
#include "model/guihelper.h"
#include "model/unitlayout.h"
#include "ui/langcontroller.h"

namespace {

using L = CUnitLayout;

int32_t CurrentCallMask(const TVTListData& sms) {
    int32_t mask = 0;
    for (int32_t tag = 0; tag < L::kAlarmInputCount; ++tag) {
        if (L::IsMarked(sms.getData(L::AlarmGridRowToTableRow(tag, 0), L::kSmsCurrentCallColumn))) {
            mask |= 1 << tag;
        }
    }
    return mask;
}

}  // namespace

CPendingChanges CountPendingChanges(const CConfigurationModel& model,
                                    const TSettingPresenters& presenters) {
    CPendingChanges changes;
    for (const IGuiHelper* presenter : presenters) {
        if (presenter != nullptr && presenter->IsChanged()) {
            ++changes.settings;
        }
    }
    const TVTListData& sms = model.SmsTable();
    if (model.GetCallMask() != CurrentCallMask(sms)) {
        ++changes.settings;
    }
    for (int32_t row = 0; row < L::kMessageCount; ++row) {
        if (L::IsMarked(sms.getData(row, L::kSmsDeleteColumn)) ||
            !sms.getData(row, L::kSmsNewTextColumn).empty() ||
            !sms.getData(row, L::kSmsNewNumberColumn).empty()) {
            ++changes.messages;
        }
    }
    const TVTListData& book = model.PhoneBookTable();
    for (int32_t row = 0; row < model.GetPhoneBookSize(); ++row) {
        if (!L::IsSettingRow(row) && L::IsMarked(book.getData(row, L::kPhoneBookWriteColumn))) {
            ++changes.accessNumbers;
        }
    }
    return changes;
}

TChangeDisplay::TChangeDisplay(QObject* parent, const CConfigurationModel& model,
                               const TSettingPresenters& presenters,
                               std::array<QWidget*, 11> newControls, QLabel* countLabel,
                               const CAppLanguage& language)
    : QObject(parent),
      model(model),
      presenters(presenters),
      countLabel(countLabel),
      language(language) {
    setObjectName(QStringLiteral("ChangeDisplay"));
    for (std::size_t i = 0; i < newControls.size(); ++i) {
        controls[i] = newControls[i];
        if (newControls[i] != nullptr) {
            plainPalettes[i] = newControls[i]->palette();
        }
    }
}

void TChangeDisplay::SetUnitKnown(bool known) {
    unitKnown = known;
    Refresh();
}

bool TChangeDisplay::IsChangedSetting(int slot) const {
    const IGuiHelper* presenter = presenters[static_cast<std::size_t>(slot)];
    return unitKnown && presenter != nullptr && presenter->IsChanged();
}

bool TChangeDisplay::IsChangedSmsCell(int32_t row, int32_t column) const {
    const TVTListData& sms = model.SmsTable();
    switch (column) {
        case L::kSmsNewTextColumn:
        case L::kSmsNewNumberColumn: {
            const std::string value = sms.getData(row, column);
            const int32_t current = column == L::kSmsNewTextColumn ? L::kSmsCurrentTextColumn
                                                                   : L::kSmsCurrentNumberColumn;
            return !value.empty() && (!unitKnown || value != sms.getData(row, current));
        }
        case L::kSmsNewCallColumn:
            return unitKnown && L::IsMarked(sms.getData(row, column)) !=
                                    L::IsMarked(sms.getData(row, L::kSmsCurrentCallColumn));
        case L::kSmsDeleteColumn:
            return L::IsMarked(sms.getData(row, column));
        default:
            return false;
    }
}

bool TChangeDisplay::IsChangedAccessCell(int32_t row, int32_t column) const {
    if (column != L::kPhoneBookNewNumberColumn && column != L::kPhoneBookWriteColumn) {
        return false;
    }
    // What is marked is what is written, an emptied number (an erase) too.
    return L::IsMarked(model.PhoneBookTable().getData(row, L::kPhoneBookWriteColumn));
}

void TChangeDisplay::StyleSmsCell(int32_t row, int32_t column, TVTList::TCellStyle& style) const {
    if (IsChangedSmsCell(row, column)) {
        style.background = ChangedColour();
    }
}

void TChangeDisplay::StyleAccessCell(int32_t row, int32_t column,
                                     TVTList::TCellStyle& style) const {
    if (IsChangedAccessCell(row, column)) {
        style.background = ChangedColour();
    }
}

QString TChangeDisplay::CountText() const {
    const auto line = [this](const char* key, const QString& count) {
        return LanguageText(language, key) + QStringLiteral(": ") + count;
    };
    QStringList lines;
    lines << LanguageText(language, "CHANGES_TO_WRITE");
    lines << line("CHANGES_SETTINGS",
                  unitKnown ? QString::number(pending.settings) : QStringLiteral("-"));
    lines << line("CHANGES_ACCESS_NUMBERS", QString::number(pending.accessNumbers));
    lines << line("CHANGES_MESSAGES", QString::number(pending.messages));
    return lines.join(QLatin1Char('\n'));
}

void TChangeDisplay::Refresh() {
    pending = CountPendingChanges(model, presenters);
    if (countLabel) {
        countLabel->setText(CountText());
    }
    for (int slot = 0; slot < static_cast<int>(controls.size()); ++slot) {
        MarkControl(slot, IsChangedSetting(slot));
    }
}

void TChangeDisplay::MarkControl(int slot, bool changed) {
    const auto index = static_cast<std::size_t>(slot);
    QWidget* control = controls[index];
    if (control == nullptr || marked[index] == changed) {
        return;
    }
    marked[index] = changed;
    QPalette colours = plainPalettes[index];
    if (changed) {
        // A list shows its face in the button colour, an edit (and an editable list's edit)
        // in the base colour.
        colours.setColor(QPalette::Button, ChangedColour());
        colours.setColor(QPalette::Base, ChangedColour());
    }
    control->setPalette(colours);
    if (auto* combo = qobject_cast<QComboBox*>(control); combo != nullptr && combo->lineEdit()) {
        combo->lineEdit()->setPalette(colours);
    }
    control->setProperty("changed", changed);
}
