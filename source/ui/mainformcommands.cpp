// The window's commands: the buttons of the Commands box (Connect, Write, Reset Unit, Clear
// SIM, Clear Text Fields), the menus' handlers, and the commit of a pending edit that each of
// them does first. The unit operations themselves are the sequencer's.

#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <exception>
#include <vector>

#include "core/win1252.h"
#include "model/configurationmodel.h"
#include "operations/invalidvaluetext.h"
#include "operations/runsummary.h"
#include "operations/unitsequencer.h"
#include "persistence/applanguage.h"
#include "persistence/appsettings.h"
#include "persistence/configfolder.h"
#include "persistence/languagekeys.h"
#include "ui/aboutform.h"
#include "ui/accessnumbergrid.h"
#include "ui/alarmmessagessheet.h"
#include "ui/communicationlogform.h"
#include "ui/formcontrols.h"
#include "ui/langcontroller.h"
#include "ui/layoutfit.h"
#include "ui/ledinfoform.h"
#include "ui/mainform.h"
#include "ui/profilemenu.h"
#include "ui/settingrangecheck.h"
#include "ui/settingssheet.h"
#include "ui/shellopener.h"
#include "vtlist.h"

void TMainForm::Guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        QMessageBox::critical(this, QString::fromLatin1(kApplicationTitle), Text(error.what()));
    }
}

bool TMainForm::Confirm(const std::string& key) {
    return QMessageBox::question(this, QString::fromLatin1(kApplicationTitle),
                                 LanguageText(*language, key), QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void TMainForm::CommitPendingEdits() {
    for (TVTList* grid : gridList) {
        if (grid != nullptr && grid->isEditing()) {
            grid->endEditing();
        }
    }
    SettingsSheet->CommitFocusedValue();
}

void TMainForm::ConnectButtonClick() {
    Guarded([this] {
        CommitPendingEdits();
        sequencer->ClearWriteFlags();
        if (sequencer->IsOpen()) {
            sequencer->Disconnect();
            return;
        }
        // The hint before every connect, unless the user has asked not to see it again.
        if (settings->ReadValue(kSettingsSection, kSettingLedHint, kSettingLedHintDefault) != "0") {
            bool dontShowAgain = false;
            if (!TLedInfoForm::Confirm(nullptr, *language, &dontShowAgain)) {
                return;
            }
            if (dontShowAgain) {
                settings->TryWriteValue(kSettingsSection, kSettingLedHint, "0");
            }
        }
        pinLockOffAsked = false;
        // Whatever happens next, the unit shown so far is no longer the one on the port.
        identityKnown = false;
        ShowUnitIdentity();
        try {
            sequencer->OpenPort(
                Utf8ToWin1252(RightColumn->ComPortBox->currentText().toStdString()));
        } catch (const std::exception& error) {
            // The port's own words; nothing was queued and the tool stays as it was.
            QMessageBox::critical(this, QString::fromLatin1(kApplicationTitle), Text(error.what()));
            CRunSummary run;
            run.outcome = ERunOutcome::failed;
            run.failureText = error.what();
            Record(run);
            return;
        }
        sequencer->StartConnect();
    });
}

void TMainForm::WriteButtonClick() {
    Guarded([this] {
        CommitPendingEdits();
        // A typed time the unit cannot take stops the write before anything is sent, as any
        // value Write refuses does.
        if (const std::vector<CInvalidValue> refused = SettingsSheet->RangeCheck().Refused();
            !refused.empty()) {
            ShowInvalidValues(InvalidValuesText(refused, *language), refused);
            return;
        }
        sequencer->Write(countryCodeCheck);
    });
}

void TMainForm::ResetButtonClick() {
    Guarded([this] {
        CommitPendingEdits();
        if (Confirm("CONFIRM_FULL_ERASE")) {
            ShowLoadedProfile({});
            sequencer->Reset();
        }
    });
}

void TMainForm::ClearSimButtonClick() {
    Guarded([this] {
        CommitPendingEdits();
        if (ConfirmClearSim()) {
            sequencer->ClearSim();
        }
    });
}

bool TMainForm::ConfirmClearSim() {
    if (sequencer->GetStoreFlag() != 1) {
        return Confirm("CLEAR_SIM_CONFIRM");
    }
    for (;;) {
        QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kApplicationTitle),
                        LanguageText(*language, "CLEAR_SIM_CONFIRM") + QStringLiteral("\n\n") +
                            LanguageText(*language, "CLEAR_SIM_ERASES_CONFIGURATION"),
                        QMessageBox::Yes | QMessageBox::No, this);
        box.setObjectName(QStringLiteral("ClearSimConfirmation"));
        QPushButton* save =
            box.addButton(LanguageText(*language, "SAVE_PROFILE_FIRST"), QMessageBox::ActionRole);
        save->setObjectName(QStringLiteral("SaveProfileFirstButton"));
        box.setDefaultButton(QMessageBox::No);
        box.exec();
        if (box.clickedButton() != save) {
            return box.clickedButton() == box.button(QMessageBox::Yes);
        }
        // The unit's values, as read; the question comes again, so the user decides with the
        // backup in hand.
        SaveUnitValuesToProfile(*this);
    }
}

void TMainForm::Disconnect() {
    Guarded([this] { sequencer->Disconnect(); });
}

void TMainForm::ClearFieldsButtonClick() {
    CommitPendingEdits();
    SettingsSheet->ClearNewDelays();
    // The settings follow the unit again, so the delay edits show its values where it has
    // been read.
    model->ClearNewValues();
    RepaintGrids();
    ShowLoadedProfile({});
}

void TMainForm::CopyCurrentToNew(TVTList& grid) {
    CommitPendingEdits();
    if (&grid == SettingsSheet->AccessNumberList) {
        CopyAccessNumbersToNew(grid);
    } else {
        TAlarmMessagesSheet::CopyCurrentToNew(grid, *model);
    }
    RefreshChanges();
}

void TMainForm::SaveProfileMenuClick() {
    CommitPendingEdits();
    SaveProfileFromMenu(*this);
}

void TMainForm::LoadProfileMenuClick() {
    CommitPendingEdits();
    LoadProfileFromMenu(*this);
}

void TMainForm::OpenRecordsFolderMenuClick() {
    EnsureFolder(environment.configFolder);
    if (environment.openFolder) {
        environment.openFolder(environment.configFolder);
    } else {
        CShellOpener().OpenFolder(environment.configFolder);
    }
}

void TMainForm::CommunicationLogMenuClick() {
    logForm->setWindowTitle(WithoutMnemonic(LanguageText(*language, "COMMUNICATION_LOG")));
    logForm->show();
    logForm->raise();
    logForm->activateWindow();
}

void TMainForm::SettingsMenuCheckCountryCodeClick() {
    countryCodeCheck = !countryCodeCheck;
    SettingsMenuCheckCountryCode->setChecked(countryCodeCheck);
}

void TMainForm::AboutMenuClick() {
    TAboutForm about(nullptr);
    about.ApplyLanguage(*language);
    about.exec();
}

void TMainForm::ExitMenuClick() {
    close();
}
