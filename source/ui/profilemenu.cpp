#include "ui/profilemenu.h"

#include <QByteArray>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "core/inifile.h"
#include "persistence/appsettings.h"
#include "persistence/profilefile.h"
#include "ui/dialogform.h"
#include "ui/langcontroller.h"
#include "ui/saveprofilechoiceform.h"

namespace {

constexpr const char* kProfileSuffix = "pof";

// Never throws: it runs inside the handlers' last line of defence.
void ShowMessage(IProfileWindow& form, QMessageBox::Icon icon, const QString& text,
                 const QString& detail = {}) noexcept {
    try {
        QMessageBox box(icon, form.DialogOwner().windowTitle(), text, QMessageBox::Ok,
                        &form.DialogOwner());
        box.setInformativeText(detail);
        box.exec();
    } catch (...) {
        // Nothing is left to tell the user with.
    }
}

void ShowInternalError(IProfileWindow& form, const std::exception* error) noexcept {
    try {
        ShowMessage(form, QMessageBox::Critical,
                    LanguageText(form.Language(), "INTERNAL_ERROR") + QLatin1Char(' ') +
                        (error != nullptr ? QString::fromLocal8Bit(error->what()) : QString()));
    } catch (...) {
        // Nothing is left to tell the user with.
    }
}

// The profile dialogs start in the profile folder. A save creates it, so that the first
// profile lands where the next load will look; a failure only costs the starting place.
QString ProfileFolder(const IProfileWindow& form, bool create) {
    const std::string& folder = form.GetProfileFolder();
    if (create) {
        std::error_code ignored;
        std::filesystem::create_directories(folder, ignored);
    }
    return QFile::decodeName(QByteArray::fromStdString(folder));
}

// The file the user picked, named as the file system names it; nothing when cancelled.
// Non-native, so the dialog behaves alike on every desktop and can be driven offscreen.
std::optional<std::string> AskForProfile(IProfileWindow& form, QFileDialog::AcceptMode mode) {
    const bool save = mode == QFileDialog::AcceptSave;
    QFileDialog dialog(&form.DialogOwner());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    // A save asks before replacing a file (QFileDialog's default); a load takes only a file
    // that exists.
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters({LanguageText(form.Language(), "PROFILE_FILTER"),
                           LanguageText(form.Language(), "ALL_FILES_FILTER")});
    dialog.setDefaultSuffix(QString::fromLatin1(kProfileSuffix));
    dialog.setDirectory(ProfileFolder(form, save));
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) {
        return std::nullopt;
    }
    return QFile::encodeName(files.constFirst()).toStdString();
}

// The profile writer: the save dialog, then the file.
void WriteProfile(IProfileWindow& form, int32_t choice) {
    const auto fileName = AskForProfile(form, QFileDialog::AcceptSave);
    if (!fileName) {
        return;
    }
    try {
        CProfileFile(*fileName).Save(choice, form.Model(), form.Presenters());
    } catch (const EIniWriteError& error) {
        ShowMessage(form, QMessageBox::Critical, QString::fromLocal8Bit(error.what()));
    }
}

}  // namespace

void SaveProfileFromMenu(IProfileWindow& form) noexcept {
    try {
        // Destroyed at the end of this block, which stores the choice, also after Cancel.
        TSaveProfileChoiceForm choiceForm(&form.DialogOwner(), &form.Settings(), &form.Language());
        if (choiceForm.exec() == mrOk) {
            WriteProfile(form, choiceForm.GetChoice());
        }
    } catch (const std::exception& error) {
        ShowInternalError(form, &error);
    } catch (...) {
        ShowInternalError(form, nullptr);
    }
}

void SaveUnitValuesToProfile(IProfileWindow& form) noexcept {
    try {
        WriteProfile(form, CProfileFile::kSaveCurrentValues);
    } catch (const std::exception& error) {
        ShowInternalError(form, &error);
    } catch (...) {
        ShowInternalError(form, nullptr);
    }
}

void LoadProfileFromMenu(IProfileWindow& form) noexcept {
    try {
        const auto fileName = AskForProfile(form, QFileDialog::AcceptOpen);
        if (!fileName) {
            return;
        }
        bool loaded = true;
        QString reason;  // a file that is no profile says which file and why
        try {
            CProfileFile(*fileName).Load(form.Model(), form.Presenters());
        } catch (const EInvalidProfile& error) {
            loaded = false;
            reason = QString::fromLocal8Bit(error.what());
        } catch (...) {
            // Whatever went wrong, the user can only choose another file.
            loaded = false;
        }
        // What was applied before a failure stays, so the grids show it either way.
        form.RefreshChanges();
        if (loaded) {
            form.ShowLoadedProfile(*fileName);
        } else {
            ShowMessage(form, QMessageBox::NoIcon, LanguageText(form.Language(), "INVALID_PROFILE"),
                        reason);
        }
    } catch (const std::exception& error) {
        ShowInternalError(form, &error);
    } catch (...) {
        ShowInternalError(form, nullptr);
    }
}
