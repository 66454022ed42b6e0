#include "ui/mainform.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QFocusEvent>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStringList>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <map>
#include <optional>
#include <utility>

#include "core/parseint.h"
#include "core/win1252.h"
#include "engine/processorhandler.h"
#include "model/configurationmodel.h"
#include "model/guihelper.h"
#include "model/settingrules.h"
#include "model/unitlayout.h"
#include "operations/invalidvaluetext.h"
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
#include "ui/accesscontrolgui.h"
#include "ui/activerelaygui.h"
#include "ui/activetimegui.h"
#include "ui/celltexthint.h"
#include "ui/changedisplay.h"
#include "ui/communicationlogform.h"
#include "ui/comportbox.h"
#include "ui/delayblocktimegui.h"
#include "ui/formprogress.h"
#include "ui/gridkeyboard.h"
#include "ui/inputbehaviourgui.h"
#include "ui/langcontroller.h"
#include "ui/layoutfit.h"
#include "ui/ledinfoform.h"
#include "ui/mainformfit.h"
#include "ui/pagecontrol.h"
#include "ui/pinpukform.h"
#include "ui/pluginfoform.h"
#include "ui/profilemenu.h"
#include "ui/qtmainthreadposter.h"
#include "ui/qttranslations.h"
#include "ui/settingrangecheck.h"
#include "ui/shellopener.h"
#include "ui/signalmeter.h"
#include "ui/smsackgui.h"
#include "ui/unitfinder.h"
#include "vtlist.h"

namespace {

using L = CUnitLayout;

constexpr const char* kApplicationTitle = "Sendibox Configuration Tool";
constexpr const char* kLanguageFileName = "languages.txt";
constexpr const char* kProfileFolderName = "Profiles";

// Presenter slots, in the order the window creates and attaches them.
enum EPresenter : int {
    kActiveTime = 0,
    kActiveRelay,
    kSmsAck,
    kAccessControl,
    kInputBehaviour,
    kFirstDelay,
};

// The logo's width: the right-hand column's as designed.
constexpr int kLogoWidth = 144;

// Column widths of the grids until their captions are known; FitToTexts and FormResize then
// size them from their captions and share the free width among the text columns.
constexpr std::array<int, L::kSmsColumnCount> kAlarmColumnWidths = {70,  190, 104, 34,
                                                                    190, 104, 34,  46};
constexpr std::array<int, L::kPhoneBookColumnCount> kAccessColumnWidths = {64, 200, 200, 48};
constexpr std::array<const char*, L::kSmsColumnCount> kAlarmColumnCaptions = {
    "Receiver", "Current Text", "Current Number", "Call",
    "New Text", "New Number",   "Call",           "Delete"};
constexpr std::array<const char*, L::kPhoneBookColumnCount> kAccessColumnCaptions = {
    "Position", "Current Number", "New Number", "Write"};

QString Text(const std::string& win1252) {
    return QString::fromStdString(Win1252ToUtf8(win1252));
}

std::string Win1252(const QString& text) {
    return Utf8ToWin1252(text.toStdString());
}

// Gives a control the name it is known by, so tests and accessibility tools find it.
template <typename T>
T* Named(T* object, const char* name) {
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption) {
    return Named(new QLabel(QString::fromLatin1(caption), parent), name);
}

// A read-only edit for a value read from the unit; FitToTexts makes it as wide as the widest
// value it can show in the current language.
QLineEdit* MakeCurrentEdit(QWidget* parent, const std::string& name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromStdString(name));
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::NoFocus);
    edit->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    edit->setPalette(palette);
    return edit;
}

// A drop-down list as wide as its widest item, in whatever language it shows.
QComboBox* MakeNewCombo(QWidget* parent, const char* name, const QStringList& items,
                        bool editable) {
    auto* combo = Named(new QComboBox(parent), name);
    combo->setEditable(editable);
    combo->addItems(items);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    combo->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return combo;
}

// The product name as the right-hand column shows it under the unit.
QPixmap DrawLogo(int width) {
    const int height = 34;
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(20);
    painter.setFont(font);
    painter.setPen(QColor(0x10, 0x30, 0x80));
    painter.drawText(QRect(0, 0, width, height), Qt::AlignCenter, QStringLiteral("Sendibox"));
    painter.setPen(QPen(QColor(0xC0, 0x20, 0x20), 2));
    painter.drawLine(12, height - 3, width - 12, height - 3);
    return pixmap;
}

}  // namespace

// --- Construction --------------------------------------------------------------------------

TMainForm::TMainForm(TMainFormEnvironment env, QWidget* parent)
    : QMainWindow(parent), environment(std::move(env)) {
    // 1. The form from its layout, and the communication log's window beside it.
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

    // 7. The presenters, with their start values.
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

    // 14. The providers and collectors came with the tables (step 10).

    // 15.
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
    SettingsSheet = BuildSettingsSheet();
    InputMessagesSheet = BuildInputMessagesSheet();
    PageControl->addTab(SettingsSheet, QStringLiteral("Power Messages"));
    PageControl->addTab(InputMessagesSheet, QStringLiteral("Input Messages"));
    clientLayout->addWidget(PageControl, 1);
    RightColumnScroll = Named(new TColumnScrollArea(client), "RightColumnScroll");
    RightColumnScroll->setWidget(BuildRightColumn());
    clientLayout->addWidget(RightColumnScroll, 0);
    setCentralWidget(client);

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

QWidget* TMainForm::BuildSettingsSheet() {
    auto* sheet = Named(new QWidget(), "SettingsSheet");
    auto* pageLayout = new QVBoxLayout(sheet);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    // The page scrolls when the window is smaller than its groups need; otherwise the access
    // numbers take whatever height is left.
    SettingsScrollArea = Named(new QScrollArea(sheet), "SettingsScrollArea");
    SettingsScrollArea->setWidgetResizable(true);
    SettingsScrollArea->setFrameShape(QFrame::NoFrame);
    pageLayout->addWidget(SettingsScrollArea);
    auto* content = Named(new QWidget(), "SettingsContent");
    auto* sheetLayout = new QVBoxLayout(content);
    sheetLayout->setContentsMargins(2, 4, 2, 4);

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
    ActiveTimeNewCombo = MakeNewCombo(CallActivatedRelaysGroup, "ActiveTimeNewCombo",
                                      CActiveTimeGui::FormItems(), true);
    ActiveRelayNewCombo = MakeNewCombo(CallActivatedRelaysGroup, "ActiveRelayNewCombo",
                                       CActiveRelayGui::FormItems(), false);
    SmsAckNewCombo =
        MakeNewCombo(CallActivatedRelaysGroup, "SmsAckNewCombo", CSmsAckGui::FormItems(), false);
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
    AccessControlGroup =
        makeSingle("AccessControlGroup", " Access Control ", "AccessControlCurrentLabel",
                   "AccessControlNewLabel", "AccessControlCurrentEdit", "AccessControlNewCombo",
                   CAccessControlGui::FormItems(), AccessControlCurrentLabel, AccessControlNewLabel,
                   AccessControlCurrentEdit, AccessControlNewCombo);
    InputBehaviourGroup =
        makeSingle("InputBehaviourGroup", " Input Behaviour ", "InputBehaviourCurrentLabel",
                   "InputBehaviourNewLabel", "InputBehaviourCurrentEdit", "InputBehaviourNewCombo",
                   CInputBehaviourGui::FormItems(), InputBehaviourCurrentLabel,
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
    AccessNumberList = Named(new TVTList(AccessNumbersGroup), "AccessNumberList");
    for (int col = 0; col < L::kPhoneBookColumnCount; ++col) {
        AccessNumberList->addColumn(kAccessColumnCaptions[col], kAccessColumnWidths[col]);
    }
    AccessNumberList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    AccessNumberList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // A few rows at least, so that the grid can be worked in a small window too.
    AccessNumberList->setMinimumHeight(
        AccessNumberList->horizontalHeader()->sizeHint().height() +
        5 * AccessNumberList->verticalHeader()->defaultSectionSize() +
        2 * AccessNumberList->frameWidth());
    accessLayout->addWidget(AccessNumberList);
    sheetLayout->addWidget(AccessNumbersGroup, 1);
    SettingsScrollArea->setWidget(content);
    return sheet;
}

QWidget* TMainForm::BuildInputMessagesSheet() {
    auto* sheet = Named(new QWidget(), "InputMessagesSheet");
    auto* sheetLayout = new QHBoxLayout(sheet);
    sheetLayout->setContentsMargins(0, 2, 0, 2);

    // The seven grids one under the other; the box scrolls up and down, and sideways only
    // when the window is narrower than a grid's columns need.
    AlarmInputScrollBox = Named(new QScrollArea(sheet), "AlarmInputScrollBox");
    AlarmInputScrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    AlarmInputScrollBox->setWidgetResizable(true);

    auto* content = Named(new QWidget(), "AlarmInputScrollContent");
    auto* grids = new QGridLayout(content);
    grids->setContentsMargins(4, 4, 4, 4);
    grids->setHorizontalSpacing(6);
    grids->setVerticalSpacing(8);
    for (int t = 0; t < L::kAlarmInputCount; ++t) {
        const std::string number = std::to_string(t + 1);
        auto* caption = new QWidget(content);
        caption->setObjectName(QString::fromStdString("AlarmInputCaption" + number));
        auto* captionLayout = new QHBoxLayout(caption);
        captionLayout->setContentsMargins(0, 2, 0, 0);
        captionLayout->setSpacing(4);
        if (t < L::kInputCount) {
            InputLabels[t] = new QLabel(QStringLiteral("Input"), caption);
            InputLabels[t]->setObjectName(QString::fromStdString("Input" + number + "Label"));
            InputNumberLabels[t] = new QLabel(QString::fromStdString(number), caption);
            InputNumberLabels[t]->setObjectName(
                QString::fromStdString("Input" + number + "NumberLabel"));
            captionLayout->addWidget(InputLabels[t]);
            captionLayout->addWidget(InputNumberLabels[t]);
        } else {
            ExternalPowerLabel = MakeLabel(caption, "ExternalPowerLabel", "External Power");
            ExternalPowerLabel->setWordWrap(true);
            captionLayout->addWidget(ExternalPowerLabel);
        }
        captionLayout->addStretch(1);

        auto* grid = new TVTList(content);
        grid->setObjectName(QString::fromStdString("AlarmInputList" + number));
        grid->Tag = t;
        for (int col = 0; col < L::kSmsColumnCount; ++col) {
            grid->addColumn(kAlarmColumnCaptions[col], kAlarmColumnWidths[col]);
        }
        grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        // Exactly the four messages of the input, no scrolling.
        grid->setFixedHeight(grid->horizontalHeader()->sizeHint().height() +
                             L::kMessagesPerInput * grid->verticalHeader()->defaultSectionSize() +
                             2 * grid->frameWidth());
        AlarmInputLists[t] = grid;
        grids->addWidget(caption, t, 0, Qt::AlignTop);
        grids->addWidget(grid, t, 1);
    }
    grids->setColumnStretch(1, 1);
    grids->setRowStretch(L::kAlarmInputCount, 1);
    AlarmInputScrollBox->setWidget(content);

    sheetLayout->addWidget(AlarmInputScrollBox, 1);
    return sheet;
}

QWidget* TMainForm::BuildRightColumn() {
    auto* column = Named(new QWidget(), "RightColumn");
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    // Labels that wrap take the column's width; the buttons decide what it is.
    const auto wraps = [](QLabel* label) {
        label->setWordWrap(true);
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    };

    // The signal box: the bar with its moving indicator, then the network state.
    GsmSignalBox = Named(new QGroupBox(QStringLiteral(" GSM Signal "), column), "GsmSignalBox");
    auto* signalLayout = new QVBoxLayout(GsmSignalBox);
    SignalMeter = Named(new TSignalMeter(GsmSignalBox), "SignalMeter");
    SignalMaxLabel = SignalMeter->MaxLabel;
    SignalBarImage = SignalMeter->BarImage;
    SignalIndicatorImage = SignalMeter->IndicatorImage;
    SignalIndicatorLabel = SignalMeter->IndicatorLabel;
    signalLayout->addWidget(SignalMeter);
    NetStatusLabel = MakeLabel(GsmSignalBox, "NetStatusLabel", "Net Status:");
    NetLogStatusLabel = MakeLabel(GsmSignalBox, "NetLogStatusLabel", "");
    QFont bold = NetLogStatusLabel->font();
    bold.setBold(true);
    NetLogStatusLabel->setFont(bold);
    wraps(NetLogStatusLabel);
    NetLogStatusLabel->setMinimumHeight(2 * NetLogStatusLabel->fontMetrics().height());
    NetLogStatusLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette red = NetLogStatusLabel->palette();
    red.setColor(QPalette::WindowText, QColor(0xFF, 0x00, 0x00));
    NetLogStatusLabel->setPalette(red);
    signalLayout->addWidget(NetStatusLabel);
    signalLayout->addWidget(NetLogStatusLabel);
    layout->addWidget(GsmSignalBox);

    // The unit's module under the signal it reports, so the installer sees which unit is
    // connected and can match the records with the unit in hand. Small, like the link below:
    // the column has little room to spare.
    UnitIdentityLabel = MakeLabel(column, "UnitIdentityLabel", "");
    UnitImeiLabel = MakeLabel(column, "UnitImeiLabel", "");
    for (QLabel* label : {UnitIdentityLabel, UnitImeiLabel}) {
        QFont small = label->font();
        small.setPointSizeF(small.pointSizeF() * 0.85);
        label->setFont(small);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setContentsMargins(4, 0, 0, 0);
        wraps(label);
        label->hide();  // until a unit has been read
        layout->addWidget(label);
    }

    // The commands, the unit buttons first, under the count of what Write would send.
    CommandsBox = Named(new QGroupBox(QStringLiteral(" Commands "), column), "CommandsBox");
    auto* commands = new QVBoxLayout(CommandsBox);
    ChangeCountLabel = MakeLabel(CommandsBox, "ChangeCountLabel", "");
    QFont small = ChangeCountLabel->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    ChangeCountLabel->setFont(small);
    wraps(ChangeCountLabel);
    WriteButton = Named(new QPushButton(QStringLiteral("&Write"), CommandsBox), "WriteButton");
    ResetButton = Named(new QPushButton(QStringLiteral("&Reset Unit"), CommandsBox), "ResetButton");
    ClearSimButton =
        Named(new QPushButton(QStringLiteral("Clear S&IM"), CommandsBox), "ClearSimButton");
    ClearFieldsButton = Named(new QPushButton(QStringLiteral("&Clear Text Fields"), CommandsBox),
                              "ClearFieldsButton");
    auto* portBox = Named(new TComPortBox(CommandsBox), "ComPortBox");
    portBox->OnDropDown = [this] { ComPortBoxDropDown(); };
    // A long path typed into the box must not widen the column.
    portBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    portBox->setMinimumContentsLength(8);
    ComPortBox = portBox;
    ConnectButton =
        Named(new QPushButton(QStringLiteral("C&onnect to Unit"), CommandsBox), "ConnectButton");
    FindUnitButton =
        Named(new TUnitFinder(
                  portBox, [this](const std::string& key) { return LanguageText(*language, key); },
                  [this] { FillComPortBox(); }, CommandsBox),
              "FindUnitButton");
    FindUnitButton->OnSearching = [this](bool searching) { ConnectButton->setEnabled(!searching); };
    commands->addWidget(ChangeCountLabel);
    for (QPushButton* unitButton : {WriteButton, ResetButton, ClearSimButton}) {
        unitButton->setEnabled(false);
        commands->addWidget(unitButton);
    }
    commands->addSpacing(6);
    commands->addWidget(ClearFieldsButton);
    commands->addSpacing(6);
    // Find Unit goes right under the port box, not beside it: the column keeps the width of its
    // widest button, so the settings page keeps its room on a small screen.
    commands->addWidget(ComPortBox);
    commands->addWidget(FindUnitButton);
    commands->addWidget(ConnectButton);
    connect(ClearFieldsButton, &QPushButton::clicked, this, [this] { ClearFieldsButtonClick(); });
    connect(ConnectButton, &QPushButton::clicked, this, [this] { ConnectButtonClick(); });
    connect(WriteButton, &QPushButton::clicked, this, [this] { WriteButtonClick(); });
    connect(ResetButton, &QPushButton::clicked, this, [this] { ResetButtonClick(); });
    connect(ClearSimButton, &QPushButton::clicked, this, [this] { ClearSimButtonClick(); });
    layout->addWidget(CommandsBox);

    // The unit's picture and the logo where the column has room for them.
    auto* pictures = Named(new TOptionalBox(column), "RightColumnPictures");
    UnitImage = MakeLabel(pictures, "UnitImage", "");
    UnitImage->setPixmap(DrawUnitPicture(96));
    UnitImage->setAlignment(Qt::AlignCenter);
    pictures->AddWidget(UnitImage);
    LogoImage = MakeLabel(pictures, "LogoImage", "");
    LogoImage->setPixmap(DrawLogo(kLogoWidth));
    LogoImage->setAlignment(Qt::AlignCenter);
    pictures->AddWidget(LogoImage);
    layout->addWidget(pictures, 1);
    auto* link = new TWebLinkLabel(column, CShellOpener(), environment.dataFolders, [this] {
        return language ? language->GetLanguage() : std::string();
    });
    link->SetNotOpened([window = QPointer<TMainForm>(this)](const std::string& path, bool exists) {
        if (window) {
            window->ShowDocumentNotOpened(path, exists);
        }
    });
    WebLinkLabel = link;
    WebLinkLabel->setAlignment(Qt::AlignCenter);
    QFont linkFont = WebLinkLabel->font();
    linkFont.setPointSizeF(linkFont.pointSizeF() * 0.85);
    WebLinkLabel->setFont(linkFont);
    wraps(WebLinkLabel);
    layout->addWidget(WebLinkLabel);
    return column;
}

void TMainForm::CreatePresenters() {
    std::array<CRefPtr<IGuiHelper>, 11> made;
    made[kActiveTime] = MakeRef<CActiveTimeGui>(ActiveTimeCurrentEdit, ActiveTimeNewCombo);
    made[kActiveRelay] = MakeRef<CActiveRelayGui>(ActiveRelayCurrentEdit, ActiveRelayNewCombo);
    made[kSmsAck] = MakeRef<CSmsAckGui>(SmsAckCurrentEdit, SmsAckNewCombo);
    made[kAccessControl] =
        MakeRef<CAccessControlGui>(AccessControlCurrentEdit, AccessControlNewCombo);
    made[kInputBehaviour] =
        MakeRef<CInputBehaviourGui>(InputBehaviourCurrentEdit, InputBehaviourNewCombo);
    for (int i = 0; i < L::kInputCount; ++i) {
        made[kFirstDelay + i] =
            MakeRef<CDelayBlockTimeGui>(InputDelayCurrentEdits[i], InputDelayNewEdits[i]);
    }
    const std::array<const char*, 11> startValues = {"2", "1", "0", "0", "0", "2",
                                                     "2", "2", "2", "2", "2"};
    for (std::size_t i = 0; i < made.size(); ++i) {
        made[i]->SetNewValue(std::string(startValues[i]));
    }

    // The language takes the presenters over when they are attached (CreateLanguage); until
    // then the window holds them here.
    pendingPresenters = std::move(made);
    for (std::size_t i = 0; i < pendingPresenters.size(); ++i) {
        presenters[i] = pendingPresenters[i].operator->();
    }

    // Each new-value control hands its text to its presenter when it loses the focus; the
    // drop-down lists also when an item is picked. What the user typed or picked is the user's
    // choice, which a unit read later does not replace.
    const std::array<QComboBox*, 5> combos = NewCombos();
    for (std::size_t i = 0; i < combos.size(); ++i) {
        QComboBox* combo = combos[i];
        combo->installEventFilter(this);
        if (QLineEdit* typed = combo->lineEdit()) {
            typed->installEventFilter(this);
            // A typed time is a value, not a new item of the list.
            combo->setInsertPolicy(QComboBox::NoInsert);
            connect(typed, &QLineEdit::textEdited, this, [this, i] { choicePending[i] = true; });
            connect(combo, &QComboBox::activated, this, [this, i] { choicePending[i] = true; });
        } else {
            connect(combo, &QComboBox::activated, this, [this, i, combo] {
                choicePending[i] = true;
                NewValueExit(static_cast<int>(i), combo->currentText());
            });
        }
    }
    for (std::size_t i = 0; i < InputDelayNewEdits.size(); ++i) {
        QLineEdit* edit = InputDelayNewEdits[i];
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textEdited, this,
                [this, i] { choicePending[kFirstDelay + i] = true; });
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
    ConnectButton->setText(LanguageText(*language, "CONNECT_TO_UNIT"));
    FindUnitButton->Retranslate();
}

void TMainForm::AttachLanguageControllers() {
    const auto attach = [this](auto controller) { language->Attach(controller.Detach()); };
    const std::vector<std::string> alarmKeys(kAlarmListColumnKeys.begin(),
                                             kAlarmListColumnKeys.end());
    for (TVTList* grid : AlarmInputLists) {
        attach(MakeRef<CListViewLangController>(grid, alarmKeys));
    }
    attach(MakeRef<CListViewLangController>(
        AccessNumberList,
        std::vector<std::string>(kAccessListColumnKeys.begin(), kAccessListColumnKeys.end())));
    const std::array<std::pair<const char*, QGroupBox*>, 7> groups = {{
        {"ACCESS_NUMBERS", AccessNumbersGroup},
        {"COMMANDS", CommandsBox},
        {"GSM_SIGNAL", GsmSignalBox},
        {"CALL_ACTIVATED_RELAYS_GROUP", CallActivatedRelaysGroup},
        {"ACCESS_CONTROL_GROUP", AccessControlGroup},
        {"INPUT_BEHAVIOUR_GROUP", InputBehaviourGroup},
        {"INPUT_DELAY_GROUP", InputDelayGroup},
    }};
    for (const auto& [key, group] : groups) {
        attach(MakeRef<CGroupBoxLangController>(key, group));
    }
    attach(MakeRef<CTabSheetLangController>("INPUT_MESSAGES", InputMessagesSheet));
    attach(MakeRef<CTabSheetLangController>("SETTINGS", SettingsSheet));
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
    const std::array<std::pair<const char*, QPushButton*>, 7> buttons = {{
        {"WRITE_AND_READ", WriteButton},
        {"RESET_UNIT", ResetButton},
        {"CLEAR_SIM", ClearSimButton},
        {"CLEAR_TEXT_FIELDS", ClearFieldsButton},
        {"FIND_NEXT", logForm->FindButton},
        {"SAVE_AS", logForm->SaveAsButton},
        {"CLOSE", logForm->CloseButton},
    }};
    for (const auto& [key, button] : buttons) {
        attach(MakeRef<CButtonLangController>(key, button));
    }
    for (QLabel* label : InputLabels) {
        attach(MakeRef<CLabelLangController>("INPUT", label));
    }
    const std::array<std::pair<const char*, QLabel*>, 19> labels = {{
        {"RANGE_SECONDS", ActiveTimeRangeLabel}, {"RANGE_SECONDS", InputDelayRangeLabel},
        {"SIGNAL_MAX", SignalMaxLabel},          {"USER_MANUAL", WebLinkLabel},
        {"EXTERNAL_POWER", ExternalPowerLabel},  {"FIND", logForm->FindLabel},
        {"CURRENT", CallActivatedCurrentLabel},  {"NEW", CallActivatedNewLabel},
        {"CURRENT", AccessControlCurrentLabel},  {"NEW", AccessControlNewLabel},
        {"CURRENT", InputBehaviourCurrentLabel}, {"NEW", InputBehaviourNewLabel},
        {"INPUT", InputDelayInputLabel},         {"CURRENT_TIME", InputDelayCurrentTimeLabel},
        {"NEW_TIME", InputDelayNewTimeLabel},    {"NET_STATUS", NetStatusLabel},
        {"ACTIVE_TIME", ActiveTimeLabel},        {"ACTIVE_RELAY", ActiveRelayLabel},
        {"SMS_ACKNOWLEDGE", SmsAckLabel},
    }};
    for (const auto& [key, label] : labels) {
        attach(MakeRef<CLabelLangController>(key, label));
    }
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

void TMainForm::CreateTablesAndGrids() {
    for (int t = 0; t < L::kAlarmInputCount; ++t) {
        gridList[t] = AlarmInputLists[t];
    }
    gridList[L::kAlarmInputCount] = AccessNumberList;

    model = std::make_unique<CConfigurationModel>();
    CSettingPresenters lent;
    lent.activeTime = presenters[kActiveTime];
    lent.activeRelay = presenters[kActiveRelay];
    lent.smsAck = presenters[kSmsAck];
    lent.accessControl = presenters[kAccessControl];
    lent.inputBehaviour = presenters[kInputBehaviour];
    for (int i = 0; i < L::kInputCount; ++i) {
        lent.inputDelays[i] = presenters[kFirstDelay + i];
    }
    model->SetPresenters(lent);
    model->LabelReceivers(*language);

    for (TVTList* grid : AlarmInputLists) {
        grid->ColumnProperties = &model->AlarmColumnProperties();
        grid->setItemCount(L::kMessagesPerInput);
        grid->OnCellGetData = [this](TVTList* sender, int row, int col, std::string& data) {
            AlarmInputList1CellGetData(sender, row, col, data);
        };
        grid->OnCellSetData = [this](TVTList* sender, int row, int col, const std::string& data) {
            AlarmInputList1CellSetData(sender, row, col, data);
        };
        grid->OnCellClicked = [this](TVTList* sender, int row, int col) {
            AlarmInputList1CellClickedEvent(sender, row, col);
        };
    }

    model->SetPhoneBookSize(L::kDefaultPhoneBookSize);
    AccessNumberList->RowsToHighLight = 40;
    AccessNumberList->ColumnProperties = &model->AccessColumnProperties();
    AccessNumberList->setItemCount(model->GetAccessNumberCount());
    AccessNumberList->OnCellGetData = [this](TVTList* sender, int row, int col, std::string& data) {
        AccessNumberListCellGetData(sender, row, col, data);
    };
    AccessNumberList->OnCellSetData = [this](TVTList* sender, int row, int col,
                                             const std::string& data) {
        AccessNumberListCellSetData(sender, row, col, data);
    };
    AccessNumberList->OnCellClicked = [this](TVTList* sender, int row, int col) {
        AccessNumberListCellClicked(sender, row, col);
    };
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
            CopyCurrentToNew(*this, *sender);
        };
    }
    for (TVTList* grid : AlarmInputLists) {
        new TCellTextHint(grid, L::kSmsNewTextColumn, L::kMaxTextLength, language.get());
    }

    // What Write would send, and which new values differ from the unit's.
    std::array<QWidget*, 11> newControls{};
    const std::array<QComboBox*, 5> combos = NewCombos();
    std::copy(combos.begin(), combos.end(), newControls.begin());
    std::copy(InputDelayNewEdits.begin(), InputDelayNewEdits.end(),
              newControls.begin() + kFirstDelay);
    changeDisplay =
        new TChangeDisplay(this, *model, presenters, newControls, ChangeCountLabel, *language);
    for (TVTList* grid : AlarmInputLists) {
        grid->OnCellStyle = [this](TVTList* sender, int row, int col, TVTList::TCellStyle& style) {
            changeDisplay->StyleSmsCell(L::AlarmGridRowToTableRow(sender->Tag, row), col, style);
        };
    }
    AccessNumberList->OnCellStyle = [this](TVTList*, int row, int col, TVTList::TCellStyle& style) {
        changeDisplay->StyleAccessCell(L::AccessGridRowToTableRow(row), col, style);
    };

    // A typed time the unit cannot take is refused where it is typed.
    rangeCheck = new TSettingRangeCheck(this, SettingMessageLabel, *language);
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
        values.emplace_back(kSettingPort, Win1252(ComPortBox->currentText()));
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

// --- Window operations ---------------------------------------------------------------------

void TMainForm::EnableUnitButtons(bool enabled) {
    WriteButton->setEnabled(enabled);
    ResetButton->setEnabled(enabled);
    ClearSimButton->setEnabled(enabled);
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

// --- Unit operations -----------------------------------------------------------------------

void TMainForm::Guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        QMessageBox::critical(this, QString::fromLatin1(kApplicationTitle), Text(error.what()));
    }
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
            sequencer->OpenPort(Utf8ToWin1252(ComPortBox->currentText().toStdString()));
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

void TMainForm::SaveProfileMenuClick() {
    CommitPendingEdits();
    SaveProfileFromMenu(*this);
}

void TMainForm::LoadProfileMenuClick() {
    CommitPendingEdits();
    LoadProfileFromMenu(*this);
}

void TMainForm::WriteButtonClick() {
    Guarded([this] {
        CommitPendingEdits();
        // A typed time the unit cannot take stops the write before anything is sent, as any
        // value Write refuses does.
        if (const std::vector<CInvalidValue> refused = rangeCheck->Refused(); !refused.empty()) {
            ShowInvalidValues(InvalidValuesText(refused, *language), refused);
            return;
        }
        sequencer->Write(countryCodeCheck);
    });
}

bool TMainForm::Confirm(const std::string& key) {
    return QMessageBox::question(this, QString::fromLatin1(kApplicationTitle),
                                 LanguageText(*language, key), QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
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

void TMainForm::Disconnect() {
    Guarded([this] { sequencer->Disconnect(); });
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
        const int tag = value.row / L::kMessagesPerInput;
        TVTList* grid = AlarmInputLists[static_cast<std::size_t>(tag)];
        grid->setCurrentCell(value.row % L::kMessagesPerInput, value.column);
        AlarmInputScrollBox->ensureWidgetVisible(grid);
        grid->setFocus(Qt::OtherFocusReason);
        return;
    }
    PageControl->setCurrentWidget(SettingsSheet);
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
    for (QLineEdit* edit : {ActiveTimeCurrentEdit, ActiveRelayCurrentEdit, SmsAckCurrentEdit,
                            AccessControlCurrentEdit, InputBehaviourCurrentEdit}) {
        edit->clear();
    }
    for (QLineEdit* edit : InputDelayCurrentEdits) {
        edit->clear();
    }
}

void TMainForm::ClearSignalDisplay() {
    NetLogStatusLabel->clear();
    SignalMeter->Clear();
}

void TMainForm::ConnectionChanged(bool open) {
    UpdateConnectCaption();
    if (!open) {
        changeDisplay->SetUnitKnown(false);
    }
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
    const CRunSummary& run = sequencer->LastRun();
    // Without a unit the two lines take no room from the column.
    const bool known = identityKnown && !run.maker.empty();
    UnitIdentityLabel->setVisible(known);
    UnitImeiLabel->setVisible(known);
    if (!known) {
        UnitIdentityLabel->clear();
        UnitImeiLabel->clear();
        return;
    }
    UnitIdentityLabel->setText(Text(run.maker + " " + run.model));
    // A module that does not give its serial number is still the unit's module.
    UnitImeiLabel->setText(
        LanguageText(*language, "IMEI") + QLatin1Char(' ') +
        (run.imei.empty() ? LanguageText(*language, "UNKNOWN") : Text(run.imei)));
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

void TMainForm::UpdateConnectCaption() {
    const bool open = commSource && commSource->IsOpen();
    ConnectButton->setText(LanguageText(*language, open ? "DISCONNECT" : "CONNECT_TO_UNIT"));
    // The search opens every port, the connected one too.
    FindUnitButton->setEnabled(!open && !FindUnitButton->IsSearching());
    FindUnitButton->Retranslate();
}

void TMainForm::SwitchLanguage(const std::string& name) {
    CommitPendingEdits();
    language->SetLanguage(name);
    keepStoredLanguage = false;
    UpdateConnectCaption();
    model->LabelReceivers(*language);
    for (TVTList* grid : AlarmInputLists) {
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
    WebLinkLabel->setToolTip(WithoutMnemonic(ManualItem()->text()));
    logForm->NameFilters = {LanguageText(*language, "LOG_FILTER"),
                            LanguageText(*language, "ALL_FILES_FILTER")};
    FitToTexts();
    rangeCheck->Recheck();
    RefreshChanges();
}

void TMainForm::FitToTexts() {
    FitMainFormToTexts(*this);
    FormResize();
}

void TMainForm::RefreshChanges() {
    if (changeDisplay == nullptr) {
        return;
    }
    changeDisplay->Refresh();
    WriteButton->setToolTip(changeDisplay->CountText());
    for (TVTList* grid : gridList) {
        grid->Invalidate();
    }
}

TGridKeyboard* TMainForm::KeyboardOf(const TVTList* grid) const {
    for (std::size_t i = 0; i < gridList.size(); ++i) {
        if (gridList[i] == grid) {
            return gridKeyboards[i];
        }
    }
    return nullptr;
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
    ::ShowDocumentNotOpened(this, *language, path, exists);
}

void TMainForm::RepaintGrids() {
    // The store's capacity may have changed with the last read.
    AccessNumberList->setItemCount(model->GetAccessNumberCount());
    for (TVTList* grid : gridList) {
        grid->Invalidate();
    }
    RefreshChanges();
}

// --- Handlers ------------------------------------------------------------------------------

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
        if (ComPortBox->findText(port, Qt::MatchExactly) < 0) {
            ComPortBox->addItem(port);
        }
        ComPortBox->setCurrentIndex(ComPortBox->findText(port, Qt::MatchExactly));
    }
}

void TMainForm::ComPortBoxDropDown() {
    FillComPortBox();
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

    const QSignalBlocker quiet(ComPortBox);
    ComPortBox->clear();
    for (const std::string& port : ports) {
        ComPortBox->addItem(Text(port));
    }
    static_cast<TComPortBox*>(ComPortBox)
        ->DescribeItems(environment.describePorts ? environment.describePorts()
                                                  : DescribeSerialPorts());
    if (ports.empty()) {
        ComPortBox->setCurrentIndex(-1);
        ComPortBox->setEditText(QString());
        return;
    }
    // MatchFixedString compares without regard to case.
    const int index = ComPortBox->findText(Text(stored), Qt::MatchFixedString);
    ComPortBox->setCurrentIndex(index >= 0 ? index : 0);
}

void TMainForm::ClearFieldsButtonClick() {
    CommitPendingEdits();
    for (QLineEdit* edit : InputDelayNewEdits) {
        edit->setText(QString());
    }
    // The settings follow the unit again, so the delay edits show its values where it has
    // been read.
    model->ClearNewValues();
    RepaintGrids();
    ShowLoadedProfile({});
}

void TMainForm::CommitPendingEdits() {
    for (TVTList* grid : gridList) {
        if (grid != nullptr && grid->isEditing()) {
            grid->endEditing();
        }
    }
    if (const int slot = PresenterOfControl(QApplication::focusWidget()); slot >= 0) {
        CommitNewValue(slot);
    }
}

void TMainForm::CommitNewValue(int slot) {
    // A refused text stays where it was typed, marked, and the value before it stays too.
    if (slot < kFirstDelay) {
        QComboBox* combo = NewCombos()[static_cast<std::size_t>(slot)];
        if (combo->lineEdit() == nullptr || !rangeCheck ||
            !rangeCheck->IsRefused(combo->lineEdit())) {
            NewValueExit(slot, combo->currentText());
        }
        return;
    }
    QLineEdit* edit = InputDelayNewEdits[static_cast<std::size_t>(slot - kFirstDelay)];
    if (!rangeCheck || !rangeCheck->IsRefused(edit)) {
        NewValueExit(slot, edit->text());
    }
}

std::array<QComboBox*, 5> TMainForm::NewCombos() const {
    return {ActiveTimeNewCombo, ActiveRelayNewCombo, SmsAckNewCombo, AccessControlNewCombo,
            InputBehaviourNewCombo};
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

void TMainForm::closeEvent(QCloseEvent* event) {
    CommitPendingEdits();
    // The log belongs to this window; it must not be left open on its own.
    logForm->hide();
    QMainWindow::closeEvent(event);
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

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize &&
        std::find(gridList.begin(), gridList.end(), watched) != gridList.end()) {
        FormResize();
    }
    if (event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        if (const int slot = PresenterOfControl(watched); slot >= 0) {
            CommitNewValue(slot);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

int TMainForm::PresenterOfControl(const QObject* widget) const {
    if (widget == nullptr) {
        return -1;
    }
    const std::array<QComboBox*, 5> combos = NewCombos();
    for (std::size_t i = 0; i < combos.size(); ++i) {
        if (widget == combos[i] ||
            (combos[i]->lineEdit() != nullptr && widget == combos[i]->lineEdit())) {
            return static_cast<int>(i);
        }
    }
    for (int i = 0; i < L::kInputCount; ++i) {
        if (widget == InputDelayNewEdits[static_cast<std::size_t>(i)]) {
            return kFirstDelay + i;
        }
    }
    return -1;
}

void TMainForm::NewValueExit(int presenterIndex, const QString& text) {
    const auto slot = static_cast<std::size_t>(presenterIndex);
    IGuiHelper* presenter = presenters[slot];
    if (presenter == nullptr) {
        return;
    }
    if (choicePending[slot]) {
        choicePending[slot] = false;
        presenter->ChooseNewValue(Win1252(text));
    } else {
        presenter->SetNewValue(Win1252(text));
    }
    RefreshChanges();
}

void TMainForm::AlarmInputList1CellGetData(TVTList* sender, int row, int col, std::string& data) {
    data = model->SmsTable().getData(L::AlarmGridRowToTableRow(sender->Tag, row), col);
}

void TMainForm::AlarmInputList1CellSetData(TVTList* sender, int row, int col,
                                           const std::string& data) {
    model->SmsTable().setData(L::AlarmGridRowToTableRow(sender->Tag, row), col, data);
    RefreshChanges();
}

void TMainForm::AlarmInputList1CellClickedEvent(TVTList* sender, int row, int col) {
    TVTListData& table = model->SmsTable();
    const int tableRow = L::AlarmGridRowToTableRow(sender->Tag, row);
    if (col == L::kSmsNewCallColumn) {
        // One call flag per input, toggled as the clicked row shows it.
        model->SetNewCallMark(sender->Tag, !L::IsMarked(table.getData(tableRow, col)));
    } else if (col == L::kSmsDeleteColumn) {
        table.setData(tableRow, col, L::IsMarked(table.getData(tableRow, col)) ? "" : L::kMark);
    } else {
        return;
    }
    sender->Invalidate();
    RefreshChanges();
}

void TMainForm::AccessNumberListCellGetData(TVTList*, int row, int col, std::string& data) {
    const int tableRow = col == L::kPhoneBookLabelColumn ? row : L::AccessGridRowToTableRow(row);
    data = model->PhoneBookTable().getData(tableRow, col);
}

void TMainForm::AccessNumberListCellSetData(TVTList*, int row, int col, const std::string& data) {
    if (col <= L::kPhoneBookLabelColumn) {
        return;
    }
    TVTListData& table = model->PhoneBookTable();
    const int tableRow = L::AccessGridRowToTableRow(row);
    // Only a changed number is marked for writing: looking at a cell and leaving it must not
    // erase the unit's number at the next write.
    const bool changed = table.getData(tableRow, col) != data;
    table.setData(tableRow, col, data);
    if (col == L::kPhoneBookNewNumberColumn && changed) {
        table.setData(tableRow, L::kPhoneBookWriteColumn, L::kMark);
    }
    RefreshChanges();
}

void TMainForm::AccessNumberListCellClicked(TVTList* sender, int row, int col) {
    TVTListData& table = model->PhoneBookTable();
    const int tableRow = L::AccessGridRowToTableRow(row);
    table.setData(tableRow, col, L::IsMarked(table.getData(tableRow, col)) ? "" : L::kMark);
    sender->Invalidate();
    RefreshChanges();
}

// --- Status display ------------------------------------------------------------------------

void TMainForm::ReportSignal(int32_t signalStrength, int32_t loggedOnToNet) {
    SignalMeter->ShowStrength(signalStrength);
    QColor colour(0xFF, 0x00, 0x00);
    const char* key = "NET_LOGGED_OUT";
    switch (loggedOnToNet) {
        case -1:
            // The registration has not been asked yet (the first polls ask the strength).
            colour = palette().color(QPalette::WindowText);
            key = "NET_CHECKING";
            break;
        case 1:
            colour = QColor(0x00, 0x80, 0x00);
            key = "NET_LOGGED_IN_HOME_NETWORK";
            break;
        case 2:
            colour = QColor(0x80, 0x80, 0x00);
            key = "NET_LOGGED_OUT_SEARCHING";
            break;
        case 3:
            key = "NET_REGISTRATION_DENIED";
            break;
        case 4:
            key = "NET_UNKNOWN";
            break;
        case 5:
            colour = QColor(0x00, 0x80, 0x00);
            key = "NET_LOGGED_IN_ROAMING";
            break;
        default:
            break;
    }
    QPalette palette = NetLogStatusLabel->palette();
    palette.setColor(QPalette::WindowText, colour);
    NetLogStatusLabel->setPalette(palette);
    NetLogStatusLabel->setText(LanguageText(*language, key));
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
        ShareGridWidths(*this);
    }
}
