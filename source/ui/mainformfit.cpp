#include "ui/mainformfit.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QStringList>
#include <algorithm>
#include <array>
#include <utility>

#include "core/win1252.h"
#include "model/configurationmodel.h"
#include "model/settingrules.h"
#include "model/unitlayout.h"
#include "persistence/applanguage.h"
#include "ui/langcontroller.h"
#include "ui/layoutfit.h"
#include "ui/mainform.h"
#include "vtlist.h"

namespace {

using L = CUnitLayout;

QString Text(const std::string& win1252) {
    return QString::fromStdString(Win1252ToUtf8(win1252));
}

// What the fixed columns hold: a receiver label, a number as most are written (a longer one
// shows whole in its tooltip), a mark, an access number.
const QStringList kNumberSamples = {QStringLiteral("+467012345678")};
const QStringList kMarkSamples = {QStringLiteral("X")};
const QStringList kPositionSamples = {QStringLiteral("238")};

TGridColumnFit AlarmColumnFit(const QStringList& receivers) {
    TGridColumnFit fit;
    fit.fixed = {L::kSmsReceiverColumn,  L::kSmsCurrentNumberColumn, L::kSmsCurrentCallColumn,
                 L::kSmsNewNumberColumn, L::kSmsNewCallColumn,       L::kSmsDeleteColumn};
    fit.samples = {receivers,      kNumberSamples, kMarkSamples,
                   kNumberSamples, kMarkSamples,   kMarkSamples};
    fit.shared = {L::kSmsCurrentTextColumn, L::kSmsNewTextColumn};
    fit.minimumShared = 100;
    return fit;
}

TGridColumnFit AccessColumnFit() {
    TGridColumnFit fit;
    fit.fixed = {L::kPhoneBookLabelColumn, L::kPhoneBookWriteColumn};
    fit.samples = {kPositionSamples, kMarkSamples};
    fit.shared = {L::kPhoneBookCurrentNumberColumn, L::kPhoneBookNewNumberColumn};
    fit.minimumShared = 140;
    return fit;
}

// The captions of a setting's list items in `language`, and for the times the widest number.
QStringList ValueTexts(ESettingKind kind, const CAppLanguage& language) {
    QStringList texts;
    for (const CSettingItem& item : SettingItems(kind)) {
        texts << (item.isLanguageKey ? LanguageText(language, item.text)
                                     : QString::fromStdString(Win1252ToUtf8(item.text)));
    }
    if (kind == ESettingKind::activeTime || kind == ESettingKind::delayBlockTime) {
        texts << QStringLiteral("254");
    }
    return texts;
}

}  // namespace

void FitMainFormToTexts(TMainForm& form) {
    const std::array<std::pair<QLineEdit*, ESettingKind>, 5> currents = {{
        {form.ActiveTimeCurrentEdit, ESettingKind::activeTime},
        {form.ActiveRelayCurrentEdit, ESettingKind::activeRelay},
        {form.SmsAckCurrentEdit, ESettingKind::smsAck},
        {form.AccessControlCurrentEdit, ESettingKind::accessControl},
        {form.InputBehaviourCurrentEdit, ESettingKind::inputBehaviour},
    }};
    for (const auto& [edit, kind] : currents) {
        FitLineEditToTexts(*edit, ValueTexts(kind, form.Language()));
    }
    // The relays' three current edits form one column as wide as the widest.
    const int relayWidth = std::max({form.ActiveTimeCurrentEdit->minimumWidth(),
                                     form.ActiveRelayCurrentEdit->minimumWidth(),
                                     form.SmsAckCurrentEdit->minimumWidth()});
    for (QLineEdit* edit :
         {form.ActiveTimeCurrentEdit, form.ActiveRelayCurrentEdit, form.SmsAckCurrentEdit}) {
        edit->setFixedWidth(relayWidth);
    }
    const QStringList times = {QStringLiteral("2540")};
    for (std::size_t i = 0; i < form.InputDelayCurrentEdits.size(); ++i) {
        FitLineEditToTexts(*form.InputDelayCurrentEdits[i], times);
        FitLineEditToTexts(*form.InputDelayNewEdits[i], times);
    }
    // The caption column of the alarm grids: as wide as its widest caption.
    int captionWidth =
        TextWidth(*form.InputLabels[0], form.InputLabels[0]->text() + QStringLiteral(" 7"));
    const QStringList powerWords = form.ExternalPowerLabel->text().split(QLatin1Char(' '));
    for (const QString& word : powerWords) {
        captionWidth = std::max(captionWidth, TextWidth(*form.ExternalPowerLabel, word));
    }
    for (TVTList* grid : form.AlarmInputLists) {
        if (QWidget* caption = grid->parentWidget()->findChild<QWidget*>(
                QStringLiteral("AlarmInputCaption%1").arg(grid->Tag + 1))) {
            caption->setFixedWidth(captionWidth + 8);
        }
    }
}

void ShareGridWidths(TMainForm& form) {
    // The fixed columns as wide as their captions and contents need; the text columns share
    // the rest. A grid never gets narrower than its columns need: the page scrolls instead.
    QStringList receivers;
    for (int row = 0; row < L::kMessagesPerInput; ++row) {
        receivers << Text(form.Model().SmsTable().getData(row, L::kSmsReceiverColumn))
                  << Text(form.Model().SmsTable().getData(
                         L::AlarmGridRowToTableRow(L::kExternalPowerInput - 1, row),
                         L::kSmsReceiverColumn));
    }
    int needed = 0;
    for (TVTList* grid : form.AlarmInputLists) {
        needed = std::max(needed, FitGridColumns(*grid, AlarmColumnFit(receivers)));
    }
    for (TVTList* grid : form.AlarmInputLists) {
        grid->setMinimumWidth(needed);
    }
    form.AccessNumberList->setMinimumWidth(
        FitGridColumns(*form.AccessNumberList, AccessColumnFit()));
}

void CopyCurrentToNew(TMainForm& form, TVTList& grid) {
    form.CommitPendingEdits();
    if (&grid == form.AccessNumberList) {
        // Through the grid, as typing does: a number that changes gets its Write mark.
        for (int row = 0; row < grid.itemCount() && grid.OnCellSetData; ++row) {
            const std::string current = grid.cellText(row, L::kPhoneBookCurrentNumberColumn);
            if (grid.cellText(row, L::kPhoneBookNewNumberColumn) != current) {
                grid.OnCellSetData(&grid, row, L::kPhoneBookNewNumberColumn, current);
            }
        }
    } else {
        CConfigurationModel& model = form.Model();
        TVTListData& table = model.SmsTable();
        for (int row = 0; row < L::kMessagesPerInput; ++row) {
            const int tableRow = L::AlarmGridRowToTableRow(grid.Tag, row);
            table.setData(tableRow, L::kSmsNewTextColumn,
                          table.getData(tableRow, L::kSmsCurrentTextColumn));
            table.setData(tableRow, L::kSmsNewNumberColumn,
                          table.getData(tableRow, L::kSmsCurrentNumberColumn));
        }
        model.SetNewCallMark(grid.Tag,
                             L::IsMarked(table.getData(L::AlarmGridRowToTableRow(grid.Tag, 0),
                                                       L::kSmsCurrentCallColumn)));
    }
    form.RefreshChanges();
}

void ShowDocumentNotOpened(QWidget* parent, const CAppLanguage& language, const std::string& path,
                           bool exists) {
    QMessageBox box(QMessageBox::Information, parent != nullptr ? parent->windowTitle() : QString(),
                    LanguageText(language, exists ? "DOCUMENT_NOT_OPENED" : "DOCUMENT_MISSING") +
                        QStringLiteral("\n\n") + QFile::decodeName(path.c_str()),
                    QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("DocumentNotOpenedBox"));
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.exec();
}
