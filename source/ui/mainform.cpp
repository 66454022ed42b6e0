#include "ui/mainform.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <exception>
#include <map>
#include <utility>

#include "core/parseint.h"
#include "engine/processorhandler.h"
#include "model/configurationmodel.h"
#include "model/guihelper.h"
#include "model/unitlayout.h"
#include "operations/runsummary.h"
#include "operations/unitrecords.h"
#include "operations/unitsequencer.h"
#include "persistence/applanguage.h"
#include "persistence/appsettings.h"
#include "persistence/configfolder.h"
#include "persistence/languagekeys.h"
#include "persistence/languageloaderini.h"
#include "seriallink/commsource.h"
#include "seriallink/comport.h"
#include "seriallink/trafficlog.h"
#include "ui/aboutform.h"
#include "ui/accessnumbergrid.h"
#include "ui/alarmmessagessheet.h"
#include "ui/celltexthint.h"
#include "ui/changedisplay.h"
#include "ui/communicationlogform.h"
#include "ui/formcontrols.h"
#include "ui/formprogress.h"
#include "ui/gridkeyboard.h"
#include "ui/langcontroller.h"
#include "ui/layoutfit.h"
#include "ui/pagecontrol.h"
#include "ui/qtmainthreadposter.h"
#include "ui/qttranslations.h"
#include "ui/rightcolumn.h"
#include "ui/settingrangecheck.h"
#include "ui/settingssheet.h"
#include "ui/shellopener.h"
#include "ui/signalmeter.h"
#include "ui/unitfinder.h"
#include "vtlist.h"

namespace {

using L = CUnitLayout;

constexpr const char* kLanguageFileName = "languages.txt";
constexpr const char* kProfileFolderName = "Profiles";

}  // namespace

// --- Construction --------------------------------------------------------------------------

TMainForm::TMainForm(TMainFormEnvironment env, QWidget* parent)
    : QMainWindow(parent), environment(std::move(env)) {
    // 1. The form from its parts, and the communication log's window beside it.
    BuildForm();
    trafficLog = std::make_shared<CTrafficLog>();
    logForm = std::make_unique<TCommunicationLogForm>(trafficLog, environment.configFolder);

    // 2. The window's own state.
    countryCodeCheck = false;

    // 3. The language list, looked up among the data folders.
    languageListPath = LocateDataFile(
        kLanguageFileName, environment.dataFolders,
        [](const std::string& path) { return QFileInfo::exists(QString::fromStdString(path)); });

    // 4. The settings file; one it must ignore is named in the warning at start.
    settings = std::make_unique<CAppSettings>();
    settings->SetFileName(environment.configFolder + kSettingsFileName);
    if (std::string problem = settings->Problem(); !problem.empty()) {
        startWarnings.push_back(std::move(problem));
    }

    // 5. The country-code check; anything but a number counts as on.
    countryCodeCheck = ParseInt(settings->ReadValue(kSettingsSection, kSettingValidateSmsGsm,
                                                    kSettingValidateSmsGsmDefault),
                                1) != 0;
    SettingsMenuCheckCountryCode->setChecked(countryCodeCheck);

    // 6. Where the profile dialogs start, and where the record of every unit goes.
    profileFolder = environment.configFolder + kProfileFolderName;
    records = std::make_unique<CUnitRecords>(environment.configFolder + CUnitRecords::kFileName,
                                             SENDIBOX_VERSION);

    // 7. The presenters, with their start values, each wired to its controls.
    CreatePresenters();

    // 8. The language and its controllers; every control takes its text now.
    CreateLanguage();

    // 9. The Languages menu.
    BuildLanguagesMenu();

    // 10. The tables behind the eight grids.
    CreateTablesAndGrids();

    // 11. The processor handler.
    CreateProcessorHandler();

    // 12. The progress window, without owner: it floats over the disabled main window.
    progressForm = std::make_unique<TFormProgress>(nullptr);
    progressForm->OnCancel = [this] { Disconnect(); };

    // 13. The communication source; the unit buttons follow its open state.
    CreateCommSource();

    // The operations, on the objects above; they report back to this window.
    sequencer =
        std::make_unique<CUnitSequencer>(*processorHandler, *commSource, *model, *language, *this);
    // Anything but a number counts as on: a write is verified unless the user chose otherwise.
    SettingsMenuVerifyAfterWrite->setChecked(
        ParseInt(settings->ReadValue(kSettingsSection, kSettingVerifyAfterWrite, "1"), 1) != 0);
    sequencer->SetVerify(SettingsMenuVerifyAfterWrite->isChecked());

    // 14.
    EnableUnitButtons(false);
    ClearSignalDisplay();
    qtTranslations = std::make_unique<CQtTranslations>();
    ApplyLanguageExtras();
}

void TMainForm::BuildForm() {
    setWindowTitle(QString::fromLatin1(kApplicationTitle));
    BuildMenus();

    auto* client = Named(new QWidget(this), "ClientArea");
    auto* clientLayout = new QHBoxLayout(client);
    clientLayout->setContentsMargins(2, 2, 2, 2);
    clientLayout->setSpacing(4);

    PageControl = Named(new TPageControl(client), "PageControl");
    PageControl->OwnerDrawnTabBar()->OnDrawTab = [this](QPainter& canvas, int index,
                                                        const QRect& rect, bool active) {
        PageControlDrawTab(canvas, index, rect, active);
    };
    SettingsSheet = new TSettingsSheet();
    InputMessagesSheet = new TAlarmMessagesSheet();
    PageControl->addTab(SettingsSheet, QStringLiteral("Power Messages"));
    PageControl->addTab(InputMessagesSheet, QStringLiteral("Input Messages"));
    clientLayout->addWidget(PageControl, 1);
    RightColumnScroll = Named(new TColumnScrollArea(client), "RightColumnScroll");
    RightColumn = new TRightColumn(
        nullptr, environment.dataFolders, [this] { FillComPortBox(); },
        [window = QPointer<TMainForm>(this)](const std::string& path, bool exists) {
            if (window) {
                window->ShowDocumentNotOpened(path, exists);
            }
        });
    RightColumnScroll->setWidget(RightColumn);
    clientLayout->addWidget(RightColumnScroll, 0);
    setCentralWidget(client);
    connect(RightColumn->ClearFieldsButton, &QPushButton::clicked, this,
            [this] { ClearFieldsButtonClick(); });
    connect(RightColumn->ConnectButton, &QPushButton::clicked, this,
            [this] { ConnectButtonClick(); });
    connect(RightColumn->WriteButton, &QPushButton::clicked, this, [this] { WriteButtonClick(); });
    connect(RightColumn->ResetButton, &QPushButton::clicked, this, [this] { ResetButtonClick(); });
    connect(RightColumn->ClearSimButton, &QPushButton::clicked, this,
            [this] { ClearSimButtonClick(); });

    // The client area as designed, with the menu bar on top, as far as the screen has room.
    QSize size(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect desktop = screen->availableGeometry();
        // The window frame's title bar and borders come on top of the size given here.
        size = size.boundedTo(desktop.size() - QSize(16, 48))
                   .expandedTo(QSize(kSmallestWidth, kSmallestHeight).boundedTo(desktop.size()));
        resize(size);
        move(desktop.center() - rect().center());
    } else {
        resize(size);
    }
}

void TMainForm::CreatePresenters() {
    pendingPresenters = SettingsSheet->MakePresenters([this] { RefreshChanges(); });
    // The language takes the presenters over when they are attached (CreateLanguage); until
    // then the window holds them here.
    for (std::size_t i = 0; i < pendingPresenters.size(); ++i) {
        presenters[i] = pendingPresenters[i].operator->();
    }
}

void TMainForm::CreateLanguage() {
    language =
        std::make_unique<CAppLanguage>(std::make_unique<CLanguageLoaderIni>(languageListPath));
    AttachLanguageControllers();
    for (CRefPtr<IGuiHelper>& presenter : pendingPresenters) {
        language->Attach(presenter.Detach());
    }
    // A language that cannot be had shows English; the choice stays stored until the user makes
    // another, so a language file repaired later brings it back.
    std::string problem = language->SetStoredLanguage(
        settings->ReadValue(kSettingsSection, kSettingLanguage, kSettingLanguageDefault));
    keepStoredLanguage = !problem.empty();
    if (keepStoredLanguage) {
        startWarnings.push_back(std::move(problem));
    }
    RightColumn->ConnectButton->setText(LanguageText(*language, "CONNECT_TO_UNIT"));
    RightColumn->FindUnitButton->Retranslate();
}

void TMainForm::AttachLanguageControllers() {
    InputMessagesSheet->AttachLanguage(*language);
    SettingsSheet->AttachLanguage(*language);
    RightColumn->AttachLanguage(*language);
    AttachMenuLanguage();
}

void TMainForm::CreateTablesAndGrids() {
    for (int t = 0; t < L::kAlarmInputCount; ++t) {
        gridList[t] = InputMessagesSheet->AlarmInputLists[t];
    }
    gridList[L::kAlarmInputCount] = SettingsSheet->AccessNumberList;

    model = std::make_unique<CConfigurationModel>();
    model->SetPresenters(CSettingPresenters::InTableOrder(presenters));
    model->LabelReceivers(*language);

    const auto changed = [this] { RefreshChanges(); };
    InputMessagesSheet->WireGrids(*model, changed);
    model->SetPhoneBookSize(L::kDefaultPhoneBookSize);
    WireAccessNumberGrid(*SettingsSheet->AccessNumberList, *model, changed);
    // The free width is shared out whenever a grid gets its new size from the layout.
    for (TVTList* grid : gridList) {
        grid->installEventFilter(this);
    }

    // The grids edit like a spreadsheet; the alarm texts count their characters as they are
    // typed.
    for (std::size_t i = 0; i < gridList.size(); ++i) {
        TVTList* grid = gridList[i];
        gridKeyboards[i] = new TGridKeyboard(grid, language.get());
        gridKeyboards[i]->OnEdited = [this](TVTList*) { RefreshChanges(); };
        gridKeyboards[i]->OnCopyCurrentToNew = [this](TVTList* sender) {
            CopyCurrentToNew(*sender);
        };
    }
    for (TVTList* grid : InputMessagesSheet->AlarmInputLists) {
        new TCellTextHint(grid, L::kSmsNewTextColumn, L::kMaxTextLength, language.get());
    }

    // What Write would send, and which new values differ from the unit's.
    changeDisplay = new TChangeDisplay(this, *model, presenters, SettingsSheet->NewControls(),
                                       RightColumn->ChangeCountLabel, *language);
    for (TVTList* grid : InputMessagesSheet->AlarmInputLists) {
        grid->OnCellStyle = [this](TVTList* sender, int row, int col, TVTList::TCellStyle& style) {
            changeDisplay->StyleSmsCell(L::AlarmGridRowToTableRow(sender->Tag, row), col, style);
        };
    }
    SettingsSheet->AccessNumberList->OnCellStyle = [this](TVTList*, int row, int col,
                                                          TVTList::TCellStyle& style) {
        changeDisplay->StyleAccessCell(L::AccessGridRowToTableRow(row), col, style);
    };
}

void TMainForm::CreateProcessorHandler() {
    poster = std::make_unique<CQtMainThreadPoster>();
    processorHandler = std::make_unique<CProcessorHandler>(poster->GetPostFunction());
    processorHandler->ID = "Handler ID Test";
    // OnControllerFinished and BeforeProcessController are the sequencer's.
    processorHandler->OnException = [this](const std::string&, const std::exception& error) {
        QMessageBox::information(
            this, QString::fromLatin1(kApplicationTitle),
            QStringLiteral("Internal application error: ") + Text(error.what()));
    };
    processorHandler->OnCleaned = [](const std::string&) {};
    processorHandler->BeforeRun = [](const std::string&) {};
    processorHandler->AfterCompleted = [](const std::string&) {};
}

void TMainForm::CreateCommSource() {
    commSource = MakeRef<CComPortCommSource>();
    commSource->SetPort(std::make_unique<CComPort>());
    commSource->SetTap(trafficLog);
    commSource->SetAfterClose([this] { EnableUnitButtons(false); });
    commSource->SetAfterOpen([this] { EnableUnitButtons(true); });
}

// --- Destruction ---------------------------------------------------------------------------

TMainForm::~TMainForm() {
    // 1. The user's choices; a settings file that cannot be written costs them, not the exit.
    WriteSettings();
    // A run cut short by closing the window is on record as cancelled like any other.
    try {
        if (sequencer && sequencer->IsRunning()) {
            CRunSummary run = sequencer->LastRun();
            run.outcome = ERunOutcome::disconnected;
            Record(run, true);
        }
    } catch (...) {
        // A record never holds up the exit.
    }
    // 2. No controller may run on while the objects it uses go.
    StopProcessor();
    // 3. The port closes with its source; the language releases its controllers and the
    //    presenters.
    commSource.Reset();
    model->SetPresenters(CSettingPresenters{});
    SettingsSheet->ForgetPresenters();
    language.reset();
    presenters.fill(nullptr);
    // 4. The grids outlive the column properties (they go with the form), so they must let
    //    go of them first.
    for (TVTList* grid : gridList) {
        if (grid != nullptr) {
            grid->ColumnProperties = nullptr;
            grid->OnCellGetData = nullptr;
            grid->OnCellSetData = nullptr;
            grid->OnCellClicked = nullptr;
            grid->OnCellStyle = nullptr;
        }
    }
    changeDisplay = nullptr;
    model.reset();
    logForm.reset();
    progressForm.reset();
    settings.reset();
    poster.reset();
}

void TMainForm::WriteSettings() noexcept {
    try {
        EnsureFolder(environment.configFolder);
        std::vector<std::pair<std::string, std::string>> values;
        if (!keepStoredLanguage) {
            values.emplace_back(kSettingLanguage,
                                language ? language->GetLanguage() : std::string());
        }
        values.emplace_back(kSettingPort, Win1252(RightColumn->ComPortBox->currentText()));
        values.emplace_back(kSettingValidateSmsGsm, countryCodeCheck ? "1" : "0");
        values.emplace_back(kSettingVerifyAfterWrite,
                            SettingsMenuVerifyAfterWrite->isChecked() ? "1" : "0");
        settings->TryWriteValues(kSettingsSection, values);
    } catch (...) {
        // Nothing may stop the remaining shutdown steps.
    }
}

void TMainForm::StopProcessor() noexcept {
    if (!processorHandler) {
        return;
    }
    // The worker first: a controller it still runs (the SIM wait reads the sequencer's
    // PIN-asked flag) or holds in its queue refers to the sequencer and the model.
    try {
        processorHandler->SetCancel(true);
        processorHandler->WaitIdle();
        processorHandler->Clean();
    } catch (...) {
        // The handler's destructor still ends the worker.
    }
    // It hands the handler's events back before the handler goes.
    sequencer.reset();
    processorHandler.reset();
}

void TMainForm::FitToTexts() {
    SettingsSheet->FitToTexts(*language);
    InputMessagesSheet->FitCaptions();
    FormResize();
}

// --- The window's events -------------------------------------------------------------------

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown) {
        shown = true;
        FormShow();
    }
}

void TMainForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TMainForm::FormShow() {
    // Over the window once it is on screen, in English: no language may be usable.
    if (!startWarnings.empty()) {
        QStringList lines;
        for (const std::string& warning : startWarnings) {
            lines.append(QString::fromStdString(warning));
        }
        startWarnings.clear();
        QTimer::singleShot(0, this, [this, text = lines.join(QStringLiteral("\n\n"))] {
            QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kApplicationTitle), text,
                            QMessageBox::Ok, this);
            box.exec();
        });
    }
    FillComPortBox();
    // A port named on the command line (the demo's simulated unit) is selected once, at start.
    if (!environment.startPort.empty()) {
        const QString port = Text(environment.startPort);
        if (RightColumn->ComPortBox->findText(port, Qt::MatchExactly) < 0) {
            RightColumn->ComPortBox->addItem(port);
        }
        RightColumn->ComPortBox->setCurrentIndex(
            RightColumn->ComPortBox->findText(port, Qt::MatchExactly));
    }
}

void TMainForm::FillComPortBox() {
    std::vector<std::string> ports;
    if (environment.listPorts) {
        environment.listPorts(ports);
    } else {
        CComPort::ListPorts(ports);
    }
    const std::string stored =
        settings->ReadValue(kSettingsSection, kSettingPort, kSettingPortDefault);
    // A port typed by hand (a simulator's link, a by-id path) is not among the listed
    // devices; it is offered as long as it still opens. Settings written on Windows name
    // ports in any letter case ("com3"), so the stored name matches regardless of case.
    const auto sameName = [&stored](const std::string& port) {
        return Text(port).compare(Text(stored), Qt::CaseInsensitive) == 0;
    };
    const bool listed = std::any_of(ports.begin(), ports.end(), sameName);
    const auto canOpen = environment.canOpen ? environment.canOpen : &CComPort::CanOpen;
    if (!listed && !stored.empty() && canOpen(stored)) {
        ports.push_back(stored);
    }
    RightColumn->ShowPorts(
        ports, stored,
        environment.describePorts ? environment.describePorts() : DescribeSerialPorts());
}

void TMainForm::closeEvent(QCloseEvent* event) {
    CommitPendingEdits();
    // The log belongs to this window; it must not be left open on its own.
    logForm->hide();
    QMainWindow::closeEvent(event);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize &&
        std::find(gridList.begin(), gridList.end(), watched) != gridList.end()) {
        FormResize();
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::PageControlDrawTab(QPainter& canvas, int tabIndex, const QRect& rect, bool active) {
    QString caption;
    if (tabIndex == 0) {
        caption = PageControl->tabText(PageControl->indexOf(SettingsSheet));
    } else if (tabIndex == 1) {
        caption = PageControl->tabText(PageControl->indexOf(InputMessagesSheet));
    } else {
        return;
    }
    canvas.setBrush(Qt::white);
    canvas.setPen(Qt::black);
    const QRect face = active ? rect : rect.adjusted(0, 2, 0, 0);
    canvas.fillRect(face, Qt::white);
    canvas.drawRect(face.adjusted(0, 0, -1, active ? 0 : -1));
    const QPoint origin =
        active ? QPoint(rect.left() + 8, rect.top() + 5) : QPoint(rect.left() + 5, rect.top() + 3);
    QFont font = canvas.font();
    font.setBold(active);
    canvas.setFont(font);
    canvas.drawText(QRect(origin, rect.bottomRight()), Qt::AlignLeft | Qt::AlignTop, caption);
}

void TMainForm::FormResize() {
    if (model && language) {
        // The fixed columns as wide as their captions and contents need; the text columns
        // share the rest. A grid never gets narrower than its columns need: the page scrolls
        // instead.
        InputMessagesSheet->ShareGridWidths(*model);
        SettingsSheet->AccessNumberList->setMinimumWidth(
            FitAccessNumberColumns(*SettingsSheet->AccessNumberList));
    }
}
