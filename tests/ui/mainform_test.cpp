#include <QAction>
#include <QDir>
#include <QMenu>
#include <atomic>
#include <filesystem>
#include <fstream>

#include "model/settingtable.h"
#include "persistence/appsettings.h"
#include "support/ptypair.h"
#include "support/sequencerfixture.h"
#include "ui/gridkeyboard.h"
#include "ui/layoutfit.h"
#include "ui/profilemenu.h"
#include "ui/signalmeter.h"
#include "uitesting.h"

namespace {

namespace fs = std::filesystem;
using L = CUnitLayout;

// Two languages, with texts that differ from the form's English captions, so a test sees that
// the language file, not the form, gave a control its text.
constexpr const char* kLanguages =
    "[English]\n"
    "CONNECT_TO_UNIT=Connect to Unit\nDISCONNECT=Disconnect\nHIGH=High\n"
    "NET_LOGGED_IN_HOME_NETWORK=Home network\nNET_LOGGED_OUT_SEARCHING=Searching\n"
    "NET_REGISTRATION_DENIED=Denied\nNET_UNKNOWN=Unknown\nNET_LOGGED_IN_ROAMING=Roaming\n"
    "NET_LOGGED_OUT=Logged out\n"
    "[Svenska]\n"
    "CONNECT_TO_UNIT=Anslut till enhet\nHIGH=H\xF6g\n";

class MainFormTest : public UiTest {
protected:
    MainFormTest() : UiTest(kLanguages) {}
};

// The stored language and country code check are shown and checked in the menus, and what the
// user chooses is stored at exit; the settings start at their start values, and the records
// are kept in the settings folder. (A key without text showing as the key, a stored language
// being read, and the check being on without a setting, are seen below.)
TEST_F(MainFormTest, StartsWithTheStoredLanguageAndCheckAndStoresTheChosenOnes) {
    WriteSettings("LANGUAGE=Svenska\nVALIDATE_SMS_GSM=0\n");
    TMainForm& window = Show();
    for (std::size_t i = 0; i < kSettingTable.size(); ++i) {
        EXPECT_EQ(window.Presenters()[i]->GetValue(ValueKind::New), kSettingTable[i].startValue)
            << i;
    }
    EXPECT_EQ(window.SettingsSheet->InputDelayNewEdits[0]->text(), QStringLiteral("2"));
    // File > Open Records Folder shows the folder the records are written to.
    EXPECT_EQ(window.RecordsPath(), programFolder + "records.csv");
    window.OpenRecordsFolderMenu->trigger();
    EXPECT_EQ(openedFolders, std::vector<std::string>{programFolder});

    QList<QAction*> items = window.LanguagesMenu->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_TRUE(items[1]->isChecked());
    EXPECT_EQ(window.RightColumn->ConnectButton->text(), QStringLiteral("Anslut till enhet"));
    EXPECT_EQ(window.GridList()[0]->cellText(0, 0), "1 H\xF6g");
    EXPECT_FALSE(window.SettingsMenuCheckCountryCode->isChecked());
    EXPECT_FALSE(window.GetCountryCodeCheck());
    items[0]->trigger();
    window.SettingsMenuCheckCountryCode->trigger();
    EXPECT_TRUE(items[0]->isChecked());
    EXPECT_FALSE(items[1]->isChecked());
    EXPECT_EQ(window.GridList()[0]->cellText(0, 0), "1 High");
    EXPECT_TRUE(window.GetCountryCodeCheck());
    form.reset();
    EXPECT_EQ(Setting("LANGUAGE"), "English");
    EXPECT_EQ(Setting("VALIDATE_SMS_GSM"), "1");
}

// A settings or language file the window cannot use is told in one box once the window is
// shown, in English, and English is shown; what the user stored is kept for a repaired file.
TEST_F(MainFormTest, FilesItCannotUseAreToldInOneBoxAndEnglishIsShown) {
    const std::string binaryLanguages("[Svenska]\nCONNECT_TO_UNIT=Anslut\0\n", 34);
    const std::string binarySettings("[Settings]\nLANGUAGE=Svenska\0\n", 29);
    const std::string badLanguages =
        "languages.txt cannot be used: it is not a text file. English is shown instead.";
    const std::string badSettings =
        "settings.txt is not a text file. The default settings are used, and the file is left "
        "as it is.";
    const struct {
        const char* name;
        std::string languages, settings;
        std::vector<std::string> told;  // each after the folder's path
        QString reset;                  // ResetButton's caption
    } cases[] = {
        {"a language the file lacks",
         kLanguages,
         "[Settings]\nLANGUAGE=Klingon\n",
         {"languages.txt has no language \"Klingon\". English is shown instead."},
         "RESET_UNIT"},
        {"both files", binaryLanguages, binarySettings, {badSettings, badLanguages}, "Reset Unit"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::ofstream(programFolder + "languages.txt", std::ios::binary) << c.languages;
        std::ofstream(programFolder + "settings.txt", std::ios::binary) << c.settings;
        QString expected;
        for (const std::string& told : c.told) {
            expected +=
                (expected.isEmpty() ? "" : "\n\n") + QString::fromStdString(programFolder + told);
        }
        dialogs.Reset();
        dialogs.Then(DialogScript::Box([&expected](QMessageBox& box) {
            EXPECT_EQ(box.text(), expected);
            EXPECT_EQ(box.icon(), QMessageBox::Warning);
        }));
        TMainForm& window = Show();
        EXPECT_TRUE(QTest::qWaitFor([this] {
            return dialogs.Unanswered() == 0 && QApplication::activeModalWidget() == nullptr;
        }));
        EXPECT_EQ(dialogs.Seen().size(), 1u);
        // The shipped English marks the keys of its captions; a file's own texts need not.
        EXPECT_EQ(WithoutMnemonic(window.RightColumn->ConnectButton->text()),
                  QStringLiteral("Connect to Unit"));
        EXPECT_EQ(WithoutMnemonic(window.RightColumn->ResetButton->text()), c.reset);
        EXPECT_EQ(window.Language().GetLanguage(), "English");
        form.reset();
        if (c.settings == binarySettings) {
            EXPECT_EQ(Contents(programFolder + "settings.txt"), binarySettings);
        } else {
            EXPECT_EQ(Setting("LANGUAGE"), c.settings.substr(20, c.settings.size() - 21));
            EXPECT_EQ(Setting("VALIDATE_SMS_GSM"), "1");
        }
    }
}

// With the port open a language switch keeps the Disconnect caption; a settings file that
// cannot be written at exit must not stop the rest of the shutdown: the port is still
// released.
TEST_F(MainFormTest, OpenPortKeepsDisconnectCaptionAndIsReleasedEvenIfSettingsCannotBeWritten) {
    PtyPair pty;
    TMainForm& window = Create();
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(programFolder + "settings.txt")));
    window.CommSource().GetPort()->SetPortName(pty.SlavePath());
    window.CommSource().Open();
    ASSERT_FALSE(CComPort::CanOpen(pty.SlavePath()));
    EXPECT_TRUE(window.RightColumn->WriteButton->isEnabled());
    window.SwitchLanguage("English");
    EXPECT_EQ(window.RightColumn->ConnectButton->text(), QStringLiteral("Disconnect"));
    form.reset();
    EXPECT_TRUE(CComPort::CanOpen(pty.SlavePath()));
}

TEST_F(MainFormTest, PortBoxOffersTheOpenablePortsAndSelectsTheStoredOne) {
    const struct {
        const char* stored;
        std::vector<std::string> listed;
        std::string openable, startPort;
        QStringList items;
        QString selected;
    } cases[] = {
        {"PORT=ttyUSB1\n", {"ttyS0", "ttyUSB1"}, "", "", {"ttyS0", "ttyUSB1"}, "ttyUSB1"},
        // A port that is gone: the first one offered.
        {"PORT=ttyUSB7\n", {"ttyS0", "ttyUSB0"}, "", "", {"ttyS0", "ttyUSB0"}, "ttyS0"},
        // No setting: "COM1", which no Linux port is called.
        {"", {"ttyACM0"}, "", "", {"ttyACM0"}, "ttyACM0"},
        // A typed path that still opens comes back selected.
        {"PORT=/tmp/sim\n", {"ttyS0"}, "/tmp/sim", "", {"ttyS0", "/tmp/sim"}, "/tmp/sim"},
        {"PORT=/tmp/sim\n", {"ttyS0"}, "", "", {"ttyS0"}, "ttyS0"},
        {"PORT=ttyUSB0\n", {}, "", "", {}, ""},
        // A port named at start wins over the stored one.
        {"PORT=ttyUSB0\n", {"ttyUSB0"}, "", "/tmp/demo", {"ttyUSB0", "/tmp/demo"}, "/tmp/demo"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored + c.startPort);
        WriteSettings(c.stored);
        ports = c.listed;
        openable = c.openable;
        TMainForm& window = Show(c.startPort);
        QStringList items;
        for (int i = 0; i < window.RightColumn->ComPortBox->count(); ++i) {
            items << window.RightColumn->ComPortBox->itemText(i);
        }
        EXPECT_EQ(items, c.items);
        EXPECT_EQ(window.RightColumn->ComPortBox->currentText(), c.selected);
        form.reset();
        EXPECT_EQ(QString::fromStdString(Setting("PORT")), c.selected);
    }
    // The drop-down lists the ports again; a typed port is stored.
    TMainForm& window = Show();
    ports = {"ttyUSB0", "ttyUSB2"};
    window.RightColumn->ComPortBox->showPopup();
    window.RightColumn->ComPortBox->hidePopup();
    EXPECT_EQ(window.RightColumn->ComPortBox->count(), 2);
    window.RightColumn->ComPortBox->setEditText(QStringLiteral("ttyUSB9"));
    form.reset();
    EXPECT_EQ(Setting("PORT"), "ttyUSB9");
}

// Passes a controller's port calls on to the window's port and counts those under way.
class PortInUse : public ICommSource {
public:
    explicit PortInUse(ICommSource& port) : port(port) {}
    void Write(const char* buffer, uint32_t count) override {
        const Inside call(inside);
        port.Write(buffer, count);
    }
    void Read(char* buffer, uint32_t count, uint32_t& received) override {
        const Inside call(inside);
        port.Read(buffer, count, received);
    }
    void WaitForData(uint32_t timeoutMs) override {
        const Inside call(inside);
        port.WaitForData(timeoutMs);
    }
    bool IsOpen() override { return port.IsOpen(); }
    void Open() override { port.Open(); }
    void Close() override { port.Close(); }
    void Interrupt() override { port.Interrupt(); }

    std::atomic<int> inside{0};

private:
    struct Inside {
        explicit Inside(std::atomic<int>& count) : count(count) { ++count; }
        ~Inside() { --count; }
        std::atomic<int>& count;
    };
    ICommSource& port;
};

// Closing the window while a connect waits on a silent port: the worker has left the port
// before the operations it serves are taken down, so nothing it still runs can use them.
TEST_F(MainFormTest, ClosingDuringARunWaitsForTheWorkerBeforeTheOperationsGo) {
    WriteSettings("LED_HINT=0\n");
    PtyPair silent;
    TMainForm& window = Show();
    PortInUse port(window.CommSource());
    // Told the port calls under way when the operations go: the sequencer holds the last
    // reference to this probe in its queue hook.
    struct GoneProbe {
        PortInUse* port;
        int* callsWhenGone;
        ~GoneProbe() { *callsWhenGone = port->inside; }
    };
    int callsWhenGone = -1;
    window.Sequencer().OnControllerQueued =
        [&port, probe = std::make_shared<GoneProbe>(GoneProbe{&port, &callsWhenGone})](
            IController& controller) {
            MakeQuick(controller);
            controller.SetCommSource(&port);
        };
    window.RightColumn->ComPortBox->setEditText(QString::fromStdString(silent.SlavePath()));
    window.RightColumn->ConnectButton->click();
    ASSERT_TRUE(QTest::qWaitFor(
        [&silent] { return !silent.ReadFromPort(1, std::chrono::milliseconds(5)).empty(); },
        10000));
    form.reset();
    EXPECT_EQ(callsWhenGone, 0);
}

// --- Editing rules --------------------------------------------------------------------------

// A click on Call toggles the whole input as the clicked row (here the third) shows it.
TEST_F(MainFormTest, CallTogglesTheWholeInputAsTheClickedRowShowsIt) {
    TMainForm& window = Show();
    window.PageControl->setCurrentWidget(window.InputMessagesSheet);
    TVTListData& sms = window.Model().SmsTable();
    sms.setData(6, 6, "X");
    for (const char* mark : {"", "X"}) {
        ClickCell(window.InputMessagesSheet->AlarmInputLists[1], 2, 6);
        for (int row = 3; row < 9; ++row) {
            EXPECT_EQ(sms.getData(row, 6), row >= 4 && row < 8 ? mark : "") << row;
        }
    }
    // Other columns take no clicks.
    ClickCell(window.InputMessagesSheet->AlarmInputLists[6], 1, 2);
    EXPECT_EQ(sms.getData(25, 2), "");
}

TEST_F(MainFormTest, LeavingANewNumberMarksItOnlyWhenChanged) {
    TMainForm& window = Show();
    TVTList* access = window.SettingsSheet->AccessNumberList;
    TVTListData& phoneBook = window.Model().PhoneBookTable();
    // Access number 60 is position 72: leaving its cell as it was marks nothing, empty or not.
    EditCell(access, 59, 2, QString());
    EXPECT_EQ(phoneBook.getData(71, 3), "");
    phoneBook.setData(71, 2, "+4699");
    ClickCell(access, 59, 2);
    access->beginEditing();
    access->endEditing();
    EXPECT_EQ(phoneBook.getData(71, 2), "+4699");
    EXPECT_EQ(phoneBook.getData(71, 3), "");
    phoneBook.setData(71, 2, "");
    EditCell(access, 59, 2, QStringLiteral("+4612345"));
    EXPECT_EQ(phoneBook.getData(71, 2), "+4612345");
    EXPECT_EQ(phoneBook.getData(71, 3), "X");
    // The mark can still be clicked away on purpose; emptying a number is a change too.
    ClickCell(access, 59, 3);
    EXPECT_EQ(phoneBook.getData(71, 3), "");
    ClickCell(access, 59, 2);
    access->beginEditing();
    access->editor()->clear();
    access->endEditing();
    EXPECT_EQ(phoneBook.getData(71, 2), "");
    EXPECT_EQ(phoneBook.getData(71, 3), "X");
    // Copying the unit's numbers to the new ones marks only those that change.
    phoneBook.setData(4, 1, "+4655");
    phoneBook.setData(5, 1, "+4666");
    phoneBook.setData(5, 2, "+4666");
    window.KeyboardOf(access)->OnCopyCurrentToNew(access);
    EXPECT_EQ(phoneBook.getData(4, 2), "+4655");
    EXPECT_EQ(phoneBook.getData(4, 3), "X");
    EXPECT_EQ(phoneBook.getData(5, 3), "");
}

// A typed delay the unit cannot take is refused where it is typed: the field is marked, a line
// names it, the value before stays, and Write does not start until it is corrected.
TEST_F(MainFormTest, AnOutOfRangeDelayIsRefusedVisibly) {
    TMainForm& window = Show();
    QLineEdit* delay = window.SettingsSheet->InputDelayNewEdits[1];
    const auto type = [&window, delay](const QString& text) {
        QApplication::setActiveWindow(&window);
        delay->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([delay] { return delay->hasFocus(); }));
        delay->selectAll();
        QTest::keyClicks(delay, text);
        const bool refused = delay->property("refused").toBool();
        EXPECT_EQ(window.SettingsSheet->SettingMessageLabel->isVisibleTo(&window), refused);
        window.SettingsSheet->InputDelayNewEdits[2]->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([delay] { return !delay->hasFocus(); }));
    };
    type(QStringLiteral("300"));
    EXPECT_TRUE(delay->property("refused").toBool());
    EXPECT_TRUE(
        window.SettingsSheet->SettingMessageLabel->text().contains(QStringLiteral("\"300\"")));
    EXPECT_EQ(delay->text(), QStringLiteral("300"));
    EXPECT_EQ(window.Presenters()[6]->GetValue(ValueKind::New), "2");
    window.RightColumn->WriteButton->setEnabled(true);
    dialogs.Then(DialogScript::Box([](QMessageBox& box) {
        EXPECT_TRUE(box.text().contains(QStringLiteral("INVALID_BAD_SETTING_VALUE")));
    }));
    window.RightColumn->WriteButton->click();
    EXPECT_EQ(dialogs.Seen().size(), 1u);
    EXPECT_FALSE(window.Sequencer().IsRunning());
    type(QStringLiteral("25"));
    EXPECT_FALSE(delay->property("refused").toBool());
    EXPECT_EQ(window.Presenters()[6]->GetValue(ValueKind::New), "25");
}

// --- Status display -------------------------------------------------------------------------

// The indicator climbs four pixels a step from the bar's foot and never leaves the bar; a
// strength not known, or no reading, leaves it where it was while the network text follows.
TEST_F(MainFormTest, SignalStrengthMovesTheIndicatorAndRegistrationShowsItsTextAndColour) {
    TMainForm& window = Create();
    const QRect bar = window.RightColumn->SignalMeter->BarImage->geometry();
    const QLabel& status = *window.RightColumn->NetLogStatusLabel;
    const struct {
        int strength, state, up;
        const char* text;
        QRgb colour;
    } cases[] = {
        // clang-format off
        {0, 1, 0, "Home network", 0x008000},     {31, 1, 124, "Home network", 0x008000},
        {99, 2, 124, "Searching", 0x808000},     {-1, 2, 124, "Searching", 0x808000},
        {33, 2, 124, "Searching", 0x808000},     {32, 1, 128, "Home network", 0x008000},
        {10, 3, 40, "Denied", 0xFF0000},         {10, 4, 40, "Unknown", 0xFF0000},
        {10, 5, 40, "Roaming", 0x008000},        {10, 0, 40, "Logged out", 0xFF0000},
        {10, 6, 40, "Logged out", 0xFF0000},     {10, -2, 40, "Logged out", 0xFF0000},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.strength << ", " << c.state);
        window.ReportSignal(c.strength, c.state);
        EXPECT_EQ(window.RightColumn->SignalMeter->IndicatorImage->y(),
                  bar.top() + bar.height() - 6 - c.up);
        EXPECT_EQ(status.text(), QString::fromLatin1(c.text));
        EXPECT_EQ(status.palette().color(QPalette::WindowText).rgb() & 0xFFFFFF, c.colour);
    }
    // Until the registration has been asked (the first polls ask only the strength) the
    // status says it is being checked, not in red.
    window.ReportSignal(12, -1);
    EXPECT_EQ(status.text(), QStringLiteral("NET_CHECKING"));
    EXPECT_EQ(status.palette().color(QPalette::WindowText),
              window.palette().color(QPalette::WindowText));
}

// --- Profiles ------------------------------------------------------------------------------
// The file contents are the profile file's own tests; loading through the dialog, the window
// title it gives and saving the new values are the profile loop's.
class ProfileMenuTest : public UiTest {
protected:
    ProfileMenuTest()
        : UiTest("[English]\nPROFILE_FILTER=Profile (*.pof)\nALL_FILES_FILTER=All (*)\n") {}

    void SetUp() override {
        UiTest::SetUp();
        Show();
        profiles = form->GetProfileFolder() + "/";
    }

    // Runs one menu entry against the user's steps; every step must be taken.
    void Run(QAction* entry, std::vector<DialogScript::Answer> steps) {
        const std::size_t count = steps.size();
        for (DialogScript::Answer& step : steps) {
            dialogs.Then(std::move(step));
        }
        dialogs.Reset();
        entry->trigger();
        EXPECT_EQ(dialogs.Seen().size(), count) << ::testing::PrintToString(dialogs.Seen());
        EXPECT_EQ(dialogs.Unanswered(), 0u);
    }
    std::string Choice() const {
        return form->Settings().ReadValue(kSettingsSection, kSettingSaveProfileChoice, "");
    }
    TVTListData& Sms() { return form->Model().SmsTable(); }

    std::string profiles;
};

// The default suffix, the stored choice, the overwrite question, and a file nobody can write
// (a link into a missing folder, root included).
TEST_F(ProfileMenuTest, SavingAsksBeforeOverwritingAndRemembersTheChoice) {
    Sms().setData(0, L::kSmsCurrentTextColumn, "unit text");
    Sms().setData(0, L::kSmsNewTextColumn, "Door");
    // The profile folder is made on the first save; the default suffix completes the name.
    Run(form->SaveProfileMenu, {ChooseValues(false), PickFile("first", QFileDialog::AcceptSave)});
    const std::string path = profiles + "first.pof";
    EXPECT_EQ(CIniFile(path).ReadString("cmg text", "0", ""), "Door");
    EXPECT_EQ(Choice(), "1");
    Run(form->SaveProfileMenu,
        {ChooseValues(true), PickFile("first.pof", QFileDialog::AcceptSave),
         DialogScript::Box([](QMessageBox& box) { EXPECT_TRUE(box.text().contains("first.pof")); },
                           QMessageBox::Yes)});
    EXPECT_EQ(Choice(), "2");
    EXPECT_EQ(CIniFile(path).ReadString("cmg text", "0", ""), "unit text");

    fs::create_symlink(programFolder + "missing/x.pof", profiles + "broken.pof");
    Run(form->SaveProfileMenu,
        {ChooseValues(false), PickFile("broken.pof", QFileDialog::AcceptSave),
         DialogScript::Box([this](QMessageBox& box) {
             EXPECT_EQ(box.text().toStdString(), "Unable to write to " + profiles + "broken.pof");
             EXPECT_EQ(box.icon(), QMessageBox::Critical);
         })});
    EXPECT_TRUE(form->isEnabled());
}

// A cancelled step writes and loads nothing; a file that is no profile is named below the
// fixed message, changes nothing, and leaves the tool usable.
TEST_F(ProfileMenuTest, ACancelledStepOrAJunkFileWritesAndLoadsNothing) {
    Run(form->SaveProfileMenu, {ChooseValues(false, true)});
    Run(form->SaveProfileMenu, {ChooseValues(true), PickFile("", QFileDialog::AcceptSave)});
    EXPECT_TRUE(fs::is_empty(profiles));
    // The choice made before Cancel is still remembered.
    EXPECT_EQ(Choice(), "2");

    Sms().setData(0, L::kSmsNewTextColumn, "mine");
    form->Presenters()[1]->SetNewValue(std::string("3"));
    Run(form->LoadProfileMenu, {PickFile("", QFileDialog::AcceptOpen)});
    std::ofstream(profiles + "junk.pof", std::ios::binary) << std::string("\x7F\x45LF\0\x01", 6);
    Run(form->LoadProfileMenu,
        {PickFile(profiles + "junk.pof", QFileDialog::AcceptOpen),
         DialogScript::Box([this](QMessageBox& box) {
             EXPECT_EQ(box.text(), LanguageText(form->Language(), "INVALID_PROFILE"));
             EXPECT_TRUE(
                 box.informativeText().startsWith(QString::fromStdString(profiles + "junk.pof")));
         })});
    EXPECT_EQ(Sms().getData(0, L::kSmsNewTextColumn), "mine");
    EXPECT_EQ(form->Presenters()[1]->GetValue(ValueKind::New), "3");
    EXPECT_TRUE(form->isEnabled());
}

}  // namespace
