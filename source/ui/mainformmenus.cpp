// The window's menus: File, View, Languages, Settings and Help, their words, and what follows
// a switch of the language beyond the controls' captions.

#include <QAction>
#include <QActionGroup>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <map>
#include <utility>

#include "model/configurationmodel.h"
#include "operations/unitsequencer.h"
#include "persistence/applanguage.h"
#include "ui/communicationlogform.h"
#include "ui/formcontrols.h"
#include "ui/langcontroller.h"
#include "ui/layoutfit.h"
#include "ui/mainform.h"
#include "ui/qttranslations.h"
#include "ui/settingrangecheck.h"
#include "ui/shellopener.h"
#include "vtlist.h"

void TMainForm::BuildMenus() {
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    FileMenu = Named(menuBar()->addMenu(QStringLiteral("&File")), "FileMenu");
    SaveProfileMenu =
        Named(FileMenu->addAction(QStringLiteral("&Save Profile...")), "SaveProfileMenu");
    SaveProfileMenu->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    LoadProfileMenu =
        Named(FileMenu->addAction(QStringLiteral("&Load Profile...")), "LoadProfileMenu");
    // Ctrl+O as every program opens a file; Ctrl+L as the tool always had it.
    LoadProfileMenu->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_O), QKeySequence(Qt::CTRL | Qt::Key_L)});
    connect(SaveProfileMenu, &QAction::triggered, this, [this] { SaveProfileMenuClick(); });
    connect(LoadProfileMenu, &QAction::triggered, this, [this] { LoadProfileMenuClick(); });
    FileMenu->addSeparator();
    OpenRecordsFolderMenu =
        Named(FileMenu->addAction(QStringLiteral("Open &Records Folder")), "OpenRecordsFolderMenu");
    connect(OpenRecordsFolderMenu, &QAction::triggered, this,
            [this] { OpenRecordsFolderMenuClick(); });
    FileMenu->addSeparator();
    ExitMenu = Named(FileMenu->addAction(QStringLiteral("E&xit")), "ExitMenu");
    ExitMenu->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(ExitMenu, &QAction::triggered, this, [this] { ExitMenuClick(); });

    ViewMenu = Named(menuBar()->addMenu(QStringLiteral("&View")), "ViewMenu");
    CommunicationLogMenu =
        Named(ViewMenu->addAction(QStringLiteral("&Communication Log")), "CommunicationLogMenu");
    connect(CommunicationLogMenu, &QAction::triggered, this,
            [this] { CommunicationLogMenuClick(); });

    LanguagesMenu = Named(menuBar()->addMenu(QStringLiteral("&Languages")), "LanguagesMenu");
    languageGroup = new QActionGroup(this);
    languageGroup->setExclusive(true);

    SettingsMenu = Named(menuBar()->addMenu(QStringLiteral("&Settings")), "SettingsMenu");
    SettingsMenuCheckCountryCode =
        Named(SettingsMenu->addAction(QStringLiteral("&Validate SMS Message Country Code")),
              "SettingsMenuCheckCountryCode");
    SettingsMenuCheckCountryCode->setCheckable(true);
    SettingsMenuCheckCountryCode->setChecked(true);
    connect(SettingsMenuCheckCountryCode, &QAction::triggered, this,
            [this] { SettingsMenuCheckCountryCodeClick(); });
    SettingsMenuVerifyAfterWrite =
        Named(SettingsMenu->addAction(QStringLiteral("Verify &After Write")),
              "SettingsMenuVerifyAfterWrite");
    SettingsMenuVerifyAfterWrite->setCheckable(true);
    SettingsMenuVerifyAfterWrite->setChecked(true);
    connect(SettingsMenuVerifyAfterWrite, &QAction::toggled, this, [this](bool on) {
        if (sequencer) {
            sequencer->SetVerify(on);
        }
    });

    HelpMenu = Named(menuBar()->addMenu(QStringLiteral("&Help")), "HelpMenu");
    for (std::size_t i = 0; i < kHelpDocuments.size(); ++i) {
        const THelpDocument& document = kHelpDocuments[i];
        QAction* item = HelpMenu->addAction(
            QString::fromLatin1(document.caption.data(), document.caption.size()));
        item->setObjectName(
            QString::fromLatin1(document.menuItem.data(), document.menuItem.size()));
        const std::string fileName(document.fileName);
        connect(item, &QAction::triggered, this, [this, fileName] {
            CShellOpener().OpenDocument(
                fileName, environment.dataFolders,
                [window = QPointer<TMainForm>(this)](const std::string& path, bool exists) {
                    if (window) {
                        window->ShowDocumentNotOpened(path, exists);
                    }
                });
        });
        HelpItems[i] = item;
    }
    HelpMenu->addSeparator();
    AboutMenu = Named(HelpMenu->addAction(QStringLiteral("&About")), "AboutMenu");
    connect(AboutMenu, &QAction::triggered, this, [this] { AboutMenuClick(); });
}

void TMainForm::AttachMenuLanguage() {
    const auto attach = [this](auto controller) { language->Attach(controller.Detach()); };
    const std::array<std::pair<const char*, QAction*>, 13> items = {{
        {"FILE", FileMenu->menuAction()},
        {"OPEN_RECORDS_FOLDER", OpenRecordsFolderMenu},
        {"VIEW", ViewMenu->menuAction()},
        {"COMMUNICATION_LOG", CommunicationLogMenu},
        {"EXIT", ExitMenu},
        {"LANGUAGES", LanguagesMenu->menuAction()},
        {"HELP", HelpMenu->menuAction()},
        {"ABOUT", AboutMenu},
        {"SAVE_PROFILE", SaveProfileMenu},
        {"LOAD_PROFILE", LoadProfileMenu},
        {"SETTINGS_MENU", SettingsMenu->menuAction()},
        {"SETTINGS_CHECK_COUNTRY_CODE", SettingsMenuCheckCountryCode},
        {"SETTINGS_VERIFY_AFTER_WRITE", SettingsMenuVerifyAfterWrite},
    }};
    for (const auto& [key, item] : items) {
        attach(MakeRef<CMenuItemLangController>(key, item));
    }
    for (std::size_t i = 0; i < kHelpDocuments.size(); ++i) {
        attach(MakeRef<CMenuItemLangController>(std::string(kHelpDocuments[i].languageKey),
                                                HelpItems[i]));
    }
    attach(MakeRef<CButtonLangController>("FIND_NEXT", logForm->FindButton));
    attach(MakeRef<CButtonLangController>("SAVE_AS", logForm->SaveAsButton));
    attach(MakeRef<CButtonLangController>("CLOSE", logForm->CloseButton));
    attach(MakeRef<CLabelLangController>("FIND", logForm->FindLabel));
}

void TMainForm::BuildLanguagesMenu() {
    std::vector<std::string> names;
    language->GetLanguages(names);
    for (const std::string& name : names) {
        // The caption is the language's name unchanged: an "&" in it is shown, not taken as
        // a shortcut marker.
        QAction* item = LanguagesMenu->addAction(Text(name).replace('&', QStringLiteral("&&")));
        item->setData(QString::fromStdString(name));
        // The language shown carries the check mark.
        item->setCheckable(true);
        languageGroup->addAction(item);
        connect(item, &QAction::triggered, this,
                [this, item] { SwitchLanguage(item->data().toString().toStdString()); });
    }
}

// --- The language --------------------------------------------------------------------------

void TMainForm::SwitchLanguage(const std::string& name) {
    CommitPendingEdits();
    language->SetLanguage(name);
    keepStoredLanguage = false;
    UpdateConnectCaption();
    model->LabelReceivers(*language);
    for (TVTList* grid : InputMessagesSheet->AlarmInputLists) {
        grid->Invalidate();
    }
    ShowUnitIdentity();
    logForm->setWindowTitle(WithoutMnemonic(LanguageText(*language, "COMMUNICATION_LOG")));
    ApplyLanguageExtras();
}

void TMainForm::ApplyLanguageExtras() {
    // Qt's own words (standard buttons, file dialogs) in the language's locale, when the
    // language names one.
    const QString locale = LanguageText(*language, "LOCALE");
    // The few texts of Qt's file dialog that older catalogues lack come from the language.
    std::map<std::string, QString> supplement;
    for (const auto& [key, context, source] : kQtTextSupplements) {
        const QString text = LanguageText(*language, key);
        if (text != QString::fromLatin1(key)) {
            supplement[std::string(context) + '|' + source] = text;
        }
    }
    qtTranslations->SetSupplement(std::move(supplement));
    qtTranslations->Apply(locale == QStringLiteral("LOCALE") ? QString() : locale);
    for (QAction* item : languageGroup->actions()) {
        item->setChecked(item->data().toString().toStdString() == language->GetLanguage());
    }
    // F1 opens the manual in the language shown.
    const std::string_view manual = UserManualFor(language->GetLanguage());
    for (std::size_t i = 0; i < kHelpDocuments.size(); ++i) {
        HelpItems[i]->setShortcut(kHelpDocuments[i].fileName == manual ? QKeySequence(Qt::Key_F1)
                                                                       : QKeySequence());
    }
    RightColumn->WebLinkLabel->setToolTip(WithoutMnemonic(ManualItem()->text()));
    logForm->NameFilters = {LanguageText(*language, "LOG_FILTER"),
                            LanguageText(*language, "ALL_FILES_FILTER")};
    FitToTexts();
    SettingsSheet->RangeCheck().Recheck();
    RefreshChanges();
}

QAction* TMainForm::ManualItem() const {
    const std::string_view manual = UserManualFor(language->GetLanguage());
    for (std::size_t i = 0; i < kHelpDocuments.size(); ++i) {
        if (kHelpDocuments[i].fileName == manual) {
            return HelpItems[i];
        }
    }
    return HelpItems[0];
}

QString TMainForm::QtTranslationFile() const {
    return qtTranslations->InstalledFile();
}

void TMainForm::ShowDocumentNotOpened(const std::string& path, bool exists) {
    QMessageBox box(QMessageBox::Information, windowTitle(),
                    LanguageText(*language, exists ? "DOCUMENT_NOT_OPENED" : "DOCUMENT_MISSING") +
                        QStringLiteral("\n\n") + QFile::decodeName(path.c_str()),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("DocumentNotOpenedBox"));
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.exec();
}
