#pragma once

#include <QMainWindow>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/refobject.h"
#include "operations/sequencerview.h"
#include "seriallink/portinfo.h"
#include "ui/alarmmessagessheet.h"
#include "ui/profilemenu.h"
#include "ui/rightcolumn.h"
#include "ui/settingssheet.h"

class CAppLanguage;
class CAppSettings;
class CTrafficLog;
class CUnitRecords;
struct CRunSummary;
class CComPortCommSource;
class CConfigurationModel;
class CProcessorHandler;
class CQtMainThreadPoster;
class CUnitSequencer;
class IGuiHelper;
class CQtTranslations;
class QAction;
class QActionGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPainter;
class QPushButton;
class QScrollArea;
class QWidget;
class TChangeDisplay;
class TCommunicationLogForm;
class TFormProgress;
class TGridKeyboard;
class TPageControl;
class TUnitFinder;
class TVTList;

// Where the window finds its files and which serial ports it offers. main() fills it in for the
// installed program; tests point it at a temporary folder and at ports of their own.
struct TMainFormEnvironment {
    // Folders searched in order for read-only data (languages.txt, manuals), each with its
    // trailing separator; the first is the program folder.
    std::vector<std::string> dataFolders;
    // The folder of settings.txt and Profiles/, with its trailing separator.
    std::string configFolder;
    // Appends the ports that can be opened now; CComPort::ListPorts when empty.
    std::function<void(std::vector<std::string>&)> listPorts;
    // What the system tells of its serial ports, for the port box; DescribeSerialPorts when
    // empty.
    std::function<std::vector<CPortInfo>()> describePorts;
    // Whether a port name still opens; CComPort::CanOpen when empty.
    std::function<bool(const std::string&)> canOpen;
    // Selected in the port box at start instead of the stored port, when not empty.
    std::string startPort;
    // Opens a folder on the desktop (File > Open Records Folder); QDesktopServices when empty.
    std::function<bool(const std::string&)> openFolder;
};

// The application's one window and the owner of every long-lived object: the settings, the
// language, the configuration model with its tables and providers, the setting presenters, the
// processor handler, the communication source and the progress window. All of them are made in
// the constructor and taken down in the destructor, the processor first.
//
// The controls carry their names as object names and are public, like the fields of a form, so
// the operations of the window and the tests can reach them.
//
// The unit operations themselves are the sequencer's; the window starts them from its buttons
// (mainformcommands.cpp) and shows what the sequencer reports (the ISequencerView calls,
// mainformview.cpp).
class TMainForm : public QMainWindow, public ISequencerView, public IProfileWindow {
    Q_OBJECT
public:
    explicit TMainForm(TMainFormEnvironment environment, QWidget* parent = nullptr);
    ~TMainForm() override;

    // The size the window opens at, its client area (without the menu bar) as designed, where
    // the screen has the room; it can be made as small as 1024 x 600 with its menu bar, and
    // the pages and the right-hand column then scroll where their controls need more room.
    static constexpr int kClientWidth = 1045;
    static constexpr int kClientHeight = 707;
    static constexpr int kSmallestWidth = 1024;
    static constexpr int kSmallestHeight = 600;

    // --- Controls ----------------------------------------------------------------------------
    // The window is composed of the two pages and the right-hand column; each owns its
    // controls, and the window reaches them through it. The menus are the window's own.
    TPageControl* PageControl = nullptr;
    TSettingsSheet* SettingsSheet = nullptr;
    TAlarmMessagesSheet* InputMessagesSheet = nullptr;
    TRightColumn* RightColumn = nullptr;
    // The right-hand column, which scrolls up and down when the window is too low for it.
    QScrollArea* RightColumnScroll = nullptr;

    QMenu* FileMenu = nullptr;
    QAction* SaveProfileMenu = nullptr;
    QAction* LoadProfileMenu = nullptr;
    QAction* OpenRecordsFolderMenu = nullptr;
    QAction* ExitMenu = nullptr;
    QMenu* ViewMenu = nullptr;
    QAction* CommunicationLogMenu = nullptr;
    QMenu* LanguagesMenu = nullptr;
    QMenu* SettingsMenu = nullptr;
    QAction* SettingsMenuCheckCountryCode = nullptr;
    QAction* SettingsMenuVerifyAfterWrite = nullptr;
    QMenu* HelpMenu = nullptr;
    // HelpEng, HelpSwe, TroubleshootingEng, TroubleshootingSwe.
    std::array<QAction*, 4> HelpItems{};
    QAction* AboutMenu = nullptr;

    // --- Operations of the window ------------------------------------------------------------

    // Write, Reset Unit and Clear SIM together; they work only on an open port.
    void EnableUnitButtons(bool enabled);
    // Disables the main window while the progress window is up, and back.
    void ShowProgressForm();
    void HideProgressForm();

    // --- What the sequencer asks of the window -----------------------------------------------
    void ShowProgress() override { ShowProgressForm(); }
    void HideProgress() override { HideProgressForm(); }
    void ShowProgressInfo(const std::string& controllerName,
                          const CProgressInfo& progressInfo) override;
    void ShowRunStep(int32_t step, int32_t steps) override;
    void RequestCode(EPinKind type, int32_t triesLeft, std::string& pin, std::string& puk,
                     bool& disableCodeCheck, bool previousCodeIncorrect,
                     bool& userAborted) override;
    // The signal check's report, on this thread after every poll.
    void ReportSignal(int32_t signalStrength, int32_t loggedOnToNet) override;
    void ShowError(const std::string& text) override;
    // The refused values listed, the first selected and scrolled into view.
    void ShowInvalidValues(const std::string& text,
                           const std::vector<CInvalidValue>& values) override;
    void ShowInformation(const std::string& text) override;
    void ShowMessage(const std::string& text) override;
    void ShowPlugDialog() override;
    void ClearCurrentControls() override;
    void ClearSignalDisplay() override;
    void RepaintGrids() override;
    void ConnectionChanged(bool open) override;
    // Shows the unit's identity and appends the run to the records.
    void RunEnded(ERunOutcome outcome) override;

    // Selects a language as the Languages menu does.
    void SwitchLanguage(const std::string& name);

    // Counts what Write would send again and marks the new values that differ from the
    // unit's; everything that changes a value calls it.
    void RefreshChanges() override;
    TChangeDisplay& Changes() { return *changeDisplay; }
    // The spreadsheet keys of a grid of GridList().
    TGridKeyboard* KeyboardOf(const TVTList* grid) const;
    // The Help menu's document for the current language (F1).
    QAction* ManualItem() const;
    // The Qt translation catalogue in use, empty for Qt's English.
    QString QtTranslationFile() const;
    // Tells the user a document could not be shown and where it is.
    void ShowDocumentNotOpened(const std::string& path, bool exists);

    // Hands what an open grid editor or a focused new-value control shows to the tables and
    // presenters, as leaving it would. Everything that reads or replaces the new values calls
    // this first, so no edit is lost to a shortcut, a menu or a button that keeps the focus
    // where it is.
    void CommitPendingEdits();
    // The profile whose values the new side holds, named in the window's title; an empty name
    // once the new side no longer is that profile.
    void ShowLoadedProfile(const std::string& fileName) override;
    const std::string& GetLoadedProfile() const { return loadedProfile; }

    bool GetCountryCodeCheck() const { return countryCodeCheck; }
    // The folder the profile dialogs start in.
    const std::string& GetProfileFolder() const override { return profileFolder; }

    QWidget& DialogOwner() override { return *this; }
    CConfigurationModel& Model() override { return *model; }
    CAppSettings& Settings() override { return *settings; }
    CAppLanguage& Language() override { return *language; }
    CComPortCommSource& CommSource() { return *commSource; }
    CProcessorHandler& Handler() { return *processorHandler; }
    CUnitSequencer& Sequencer() { return *sequencer; }
    TFormProgress& ProgressForm() { return *progressForm; }
    // Every byte over the port, this connection and the one before.
    const CTrafficLog& TrafficLog() const { return *trafficLog; }
    TCommunicationLogForm& CommunicationLogForm() { return *logForm; }
    // records.csv in the settings folder.
    const std::string& RecordsPath() const;
    // In the order active time, active relay, SMS acknowledge, access control, input
    // behaviour, delays 1 to 6; owned by the language object.
    const std::array<IGuiHelper*, 11>& Presenters() const override { return presenters; }
    // AlarmInputList1 to AlarmInputList7, then AccessNumberList.
    const std::array<TVTList*, 8>& GridList() const { return gridList; }

    // --- Handlers ----------------------------------------------------------------------------
    void FormShow();
    void ConnectButtonClick();
    void SaveProfileMenuClick();
    void LoadProfileMenuClick();
    void WriteButtonClick();
    void ResetButtonClick();
    void ClearSimButtonClick();
    // Also the progress window's Cancel.
    void Disconnect();
    void ClearFieldsButtonClick();
    void SettingsMenuCheckCountryCodeClick();
    void AboutMenuClick();
    void ExitMenuClick();
    void OpenRecordsFolderMenuClick();
    void CommunicationLogMenuClick();
    void PageControlDrawTab(QPainter& canvas, int tabIndex, const QRect& rect, bool active);
    // The grids' columns share the width they get.
    void FormResize();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    static constexpr const char* kApplicationTitle = "Sendibox Configuration Tool";

    void BuildForm();
    void BuildMenus();
    void CreatePresenters();
    void CreateLanguage();
    void BuildLanguagesMenu();
    void CreateTablesAndGrids();
    void CreateProcessorHandler();
    void CreateCommSource();
    void AttachLanguageControllers();
    void AttachMenuLanguage();
    // Everything that follows the language beyond the controls' captions: Qt's own texts,
    // the check mark in the Languages menu, the widths that fit the texts, F1's manual.
    void ApplyLanguageExtras();
    // The widths of the current-value edits and the grids' columns for the texts they show.
    void FitToTexts();
    void UpdateConnectCaption();
    // The identity of the last run's unit, in the language's words.
    void ShowUnitIdentity();
    // Appends `run` to the records; the first failure of a session says so in a message box
    // unless `quiet` (the window is closing).
    void Record(const CRunSummary& run, bool quiet = false);
    void FillComPortBox();
    // Runs a handler of a control; anything it throws ends in a message box, never in Qt's
    // event loop.
    void Guarded(const std::function<void()>& handler);
    // A Yes/No question with the language's text of `key`; true for Yes.
    bool Confirm(const std::string& key);
    // Clear SIM's question. When the configuration lives on the SIM it says that it goes too
    // and offers to save the unit's values to a profile first; true to go on.
    bool ConfirmClearSim();
    // Shows the cell or control of a value Write refuses and gives it the focus.
    void SelectInvalidValue(const CInvalidValue& value);
    // "Copy current values to new" of a grid.
    void CopyCurrentToNew(TVTList& grid);
    void WriteSettings() noexcept;
    void StopProcessor() noexcept;

    const TMainFormEnvironment environment;

    // The window's own state; the operations' state is the sequencer's.
    bool countryCodeCheck = false;
    std::unique_ptr<CAppSettings> settings;
    std::unique_ptr<CAppLanguage> language;
    std::string languageListPath;
    std::string profileFolder;
    std::array<TVTList*, 8> gridList{};
    std::unique_ptr<CConfigurationModel> model;
    std::array<IGuiHelper*, 11> presenters{};
    // Held only between their creation and their attachment to the language.
    std::array<CRefPtr<IGuiHelper>, 11> pendingPresenters;
    std::string loadedProfile;
    // Files the window could not use as they are, told to the user once it is shown.
    std::vector<std::string> startWarnings;
    // The stored language could not be had: it is left in the settings file at exit, unless
    // the user has chosen a language since.
    bool keepStoredLanguage = false;
    std::unique_ptr<CQtMainThreadPoster> poster;
    std::unique_ptr<CProcessorHandler> processorHandler;
    CRefPtr<CComPortCommSource> commSource;
    std::unique_ptr<TFormProgress> progressForm;
    std::shared_ptr<CTrafficLog> trafficLog;
    std::unique_ptr<TCommunicationLogForm> logForm;
    std::unique_ptr<CUnitRecords> records;
    std::unique_ptr<CUnitSequencer> sequencer;
    std::unique_ptr<CQtTranslations> qtTranslations;
    QActionGroup* languageGroup = nullptr;
    std::array<TGridKeyboard*, 8> gridKeyboards{};
    TChangeDisplay* changeDisplay = nullptr;
    // The user asked to switch the SIM's PIN lock off during the connect now running.
    bool pinLockOffAsked = false;
    // A notice of a Reset Unit or Clear SIM run, shown with its closing confirmation.
    std::string heldInformation;
    // The identity labels may show the last run's unit: no connect has been started since.
    bool identityKnown = false;
    bool shown = false;
};
