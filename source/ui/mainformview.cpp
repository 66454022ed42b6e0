// What the window shows of the unit operations: the sequencer's reports (ISequencerView), the
// progress window, the signal, the unit's identity, the record of every run, and the grids and
// counts that follow the values.

#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <optional>

#include "core/win1252.h"
#include "model/configurationmodel.h"
#include "model/unitlayout.h"
#include "operations/runsummary.h"
#include "operations/unitrecords.h"
#include "operations/unitsequencer.h"
#include "persistence/applanguage.h"
#include "seriallink/commsource.h"
#include "ui/alarmmessagessheet.h"
#include "ui/changedisplay.h"
#include "ui/formcontrols.h"
#include "ui/formprogress.h"
#include "ui/langcontroller.h"
#include "ui/mainform.h"
#include "ui/pagecontrol.h"
#include "ui/pinpukform.h"
#include "ui/pluginfoform.h"
#include "ui/rightcolumn.h"
#include "ui/settingssheet.h"
#include "vtlist.h"

void TMainForm::EnableUnitButtons(bool enabled) {
    RightColumn->EnableUnitButtons(enabled);
}

void TMainForm::ShowProgressForm() {
    setEnabled(false);
    progressForm->StartRun();
    progressForm->CancelButton->setText(LanguageText(*language, "CANCEL"));
    progressForm->show();
}

void TMainForm::HideProgressForm() {
    setEnabled(true);
    activateWindow();
    setFocus();
    progressForm->hide();
}

void TMainForm::ShowProgressInfo(const std::string& /*controllerName*/,
                                 const CProgressInfo& progressInfo) {
    progressForm->ShowProgress(progressInfo);
}

void TMainForm::ShowRunStep(int32_t step, int32_t steps) {
    progressForm->ShowStep(step, steps);
}

void TMainForm::RequestCode(EPinKind type, int32_t triesLeft, std::string& pin, std::string& puk,
                            bool& disableCodeCheck, bool previousCodeIncorrect, bool& userAborted) {
    // Without owner: the main window is disabled while the progress window is up, and a
    // dialog it owned would be disabled with it.
    TPinPukForm::RequestCode(nullptr, *language, type, triesLeft, pin, puk, disableCodeCheck,
                             previousCodeIncorrect, userAborted);
    // The lock belongs to the SIM PIN; a connect that gets through with it switched off says
    // so at its end.
    if (!userAborted && disableCodeCheck &&
        (type == EPinKind::SimPin || type == EPinKind::SimPuk)) {
        pinLockOffAsked = true;
    }
}

void TMainForm::ShowError(const std::string& text) {
    QMessageBox::critical(this, QString::fromLatin1(kApplicationTitle), Text(text));
}

void TMainForm::ShowInvalidValues(const std::string& text,
                                  const std::vector<CInvalidValue>& values) {
    if (!values.empty()) {
        SelectInvalidValue(values.front());
    }
    ShowError(text);
}

void TMainForm::SelectInvalidValue(const CInvalidValue& value) {
    if (value.reason == CInvalidValue::EReason::storeTooSmall) {
        return;
    }
    if (value.table == CInvalidValue::ETable::sms) {
        PageControl->setCurrentWidget(InputMessagesSheet);
        InputMessagesSheet->SelectMessage(value.row, value.column);
        return;
    }
    PageControl->setCurrentWidget(SettingsSheet);
    SettingsSheet->SelectInvalidValue(value);
}

void TMainForm::ShowInformation(const std::string& text) {
    // Reset Unit and Clear SIM end with one confirmation that includes what they were told.
    const CRunSummary::EOperation operation = sequencer->LastRun().operation;
    if (sequencer->IsRunning() && (operation == CRunSummary::EOperation::reset ||
                                   operation == CRunSummary::EOperation::clearSim)) {
        heldInformation += (heldInformation.empty() ? "" : "\n\n") + text;
        return;
    }
    QMessageBox::information(this, QString::fromLatin1(kApplicationTitle), Text(text));
}

void TMainForm::ShowMessage(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kApplicationTitle), Text(text),
                    QMessageBox::Ok, this);
    box.exec();
}

void TMainForm::ShowPlugDialog() {
    TPlugInfoForm::Inform(
        this, *language, sequencer->LastRun().verification == CRunSummary::EVerification::verified);
}

void TMainForm::ClearCurrentControls() {
    SettingsSheet->ClearCurrentValues();
}

void TMainForm::ClearSignalDisplay() {
    RightColumn->ClearSignal();
}

void TMainForm::ReportSignal(int32_t signalStrength, int32_t loggedOnToNet) {
    RightColumn->ShowSignal(signalStrength, loggedOnToNet);
}

void TMainForm::ConnectionChanged(bool open) {
    UpdateConnectCaption();
    if (!open) {
        changeDisplay->SetUnitKnown(false);
    }
}

void TMainForm::UpdateConnectCaption() {
    RightColumn->ShowConnection(commSource && commSource->IsOpen());
}

void TMainForm::RunEnded(ERunOutcome outcome) {
    identityKnown = true;
    ShowUnitIdentity();
    const CRunSummary& run = sequencer->LastRun();
    Record(run);
    std::string held = std::move(heldInformation);
    heldInformation.clear();
    if (outcome != ERunOutcome::ready) {
        if (!held.empty()) {
            ShowInformation(held);
        }
        return;
    }
    // The unit has been read: the new values are compared with its values from now on.
    changeDisplay->SetUnitKnown(true);
    std::string confirmation;
    if (run.operation == CRunSummary::EOperation::reset) {
        confirmation = language->GetText("RESET_DONE");
    } else if (run.operation == CRunSummary::EOperation::clearSim) {
        confirmation = language->GetText("CLEAR_SIM_DONE");
    } else if (run.operation == CRunSummary::EOperation::connect && pinLockOffAsked) {
        confirmation = language->GetText("PIN_LOCK_OFF");
    }
    pinLockOffAsked = false;
    if (!held.empty()) {
        confirmation += (confirmation.empty() ? "" : "\n\n") + held;
    }
    if (!confirmation.empty()) {
        ShowInformation(confirmation);
    }
}

void TMainForm::ShowUnitIdentity() {
    RightColumn->ShowIdentity(identityKnown, sequencer->LastRun());
}

const std::string& TMainForm::RecordsPath() const {
    return records->Path();
}

void TMainForm::Record(const CRunSummary& run, bool quiet) {
    CRecordContext context;
    context.port = Win1252ToUtf8(commSource->GetPort()->GetPortName());
    context.profile = loadedProfile;
    const std::optional<std::string> failure = records->Append(run, context);
    if (failure && !quiet) {
        // Once a session: the operation itself went as it went, and the records are a
        // by-product the user should know about, not be held up by after every unit.
        QMessageBox::warning(this, QString::fromLatin1(kApplicationTitle),
                             LanguageText(*language, "RECORD_NOT_WRITTEN") +
                                 QStringLiteral("\n\n") + QString::fromLocal8Bit(failure->c_str()));
    }
}

void TMainForm::ShowLoadedProfile(const std::string& fileName) {
    loadedProfile = fileName;
    QString title = QString::fromLatin1(kApplicationTitle);
    if (!fileName.empty()) {
        const QString path = QFile::decodeName(QByteArray::fromStdString(fileName));
        title = QFileInfo(path).fileName() + QStringLiteral(" - ") + title;
    }
    setWindowTitle(title);
    RefreshChanges();
}

void TMainForm::RefreshChanges() {
    if (changeDisplay == nullptr) {
        return;
    }
    changeDisplay->Refresh();
    RightColumn->WriteButton->setToolTip(changeDisplay->CountText());
    for (TVTList* grid : gridList) {
        grid->Invalidate();
    }
}

void TMainForm::RepaintGrids() {
    // The store's capacity may have changed with the last read.
    SettingsSheet->AccessNumberList->setItemCount(model->GetAccessNumberCount());
    for (TVTList* grid : gridList) {
        grid->Invalidate();
    }
    RefreshChanges();
}

TGridKeyboard* TMainForm::KeyboardOf(const TVTList* grid) const {
    for (std::size_t i = 0; i < gridList.size(); ++i) {
        if (gridList[i] == grid) {
            return gridKeyboards[i];
        }
    }
    return nullptr;
}
