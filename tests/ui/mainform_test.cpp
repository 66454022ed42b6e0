#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/inifile.h"
#include "dialogtesting.h"
#include "model/configurationmodel.h"
#include "model/guihelper.h"
#include "model/settingtable.h"
#include "operations/unitsequencer.h"
#include "persistence/applanguage.h"
#include "seriallink/commsource.h"
#include "seriallink/comport.h"
#include "support/ptypair.h"
#include "support/sequencerfixture.h"
#include "ui/alarmmessagessheet.h"
#include "ui/changedisplay.h"
#include "ui/formprogress.h"
#include "ui/gridkeyboard.h"
#include "ui/layoutfit.h"
#include "ui/mainform.h"
#include "ui/pagecontrol.h"
#include "ui/rightcolumn.h"
#include "ui/settingssheet.h"
#include "ui/signalmeter.h"
#include "vtlist.h"
#include "windowtesting.h"

namespace {

// Two languages, with texts that differ from the form's English captions, so a test sees that
// the language file, not the form, gave a control its text.
constexpr const char* kLanguages =
    "[English]\n"
    "CONNECT_TO_UNIT=Connect to Unit\nDISCONNECT=Disconnect\nCOMMANDS=\" Commands \"\n"
    "INPUT=Input\nHIGH=High\nLOW=Low\nOK=OK\nFAIL=Fail\n"
    "NET_LOGGED_IN_HOME_NETWORK=Home network\nNET_LOGGED_OUT_SEARCHING=Searching\n"
    "NET_REGISTRATION_DENIED=Denied\nNET_UNKNOWN=Unknown\nNET_LOGGED_IN_ROAMING=Roaming\n"
    "NET_LOGGED_OUT=Logged out\n"
    "[Svenska]\n"
    "CONNECT_TO_UNIT=Anslut till enhet\nCOMMANDS=\" Kommandon \"\nINPUT=Ing\xE5ng\n"
    "WRITE_AND_READ=Skriv\nHIGH=H\xF6g\nLOW=L\xE5g\nOK=OK\nFAIL=Fel\nRECEIVER=Mottagare\n"
    "INPUT_MESSAGES=Ing\xE5ngsmeddelanden\nFILE=Arkiv\nEXIT=Avsluta\n";

class MainFormTest : public WindowTest {
protected:
    MainFormTest() : WindowTest(kLanguages) {}

    void WriteSettings(const std::string& text) {
        std::ofstream(programFolder + "settings.txt", std::ios::binary) << "[Settings]\n" << text;
    }

    std::string Setting(const std::string& key) {
        return CIniFile(programFolder + "settings.txt").ReadString("Settings", key, "<missing>");
    }
};

void ClickCell(TVTList* grid, int row, int col) {
    grid->scrollTo(grid->model()->index(row, col));
    QRect rect;
    grid->getColumnRect(row, col, rect);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rect.center());
}

// Opens the edit box on a cell, types `typed` into it and leaves it with Enter.
void EditCell(TVTList* grid, int row, int col, const QString& typed) {
    ClickCell(grid, row, col);
    grid->beginEditing();
    ASSERT_TRUE(grid->isEditing());
    QTest::keyClicks(grid->editor(), typed);
    QTest::keyClick(grid->editor(), Qt::Key_Return);
    ASSERT_FALSE(grid->isEditing());
}

// --- Construction and settings ---------------------------------------------------------------

TEST_F(MainFormTest, BuildsEveryNamedControlAtItsClientSizeWithTheStartValues) {
    TMainForm& window = Show();
    const QStringList names =
        QStringLiteral(
            "PageControl SettingsSheet InputMessagesSheet CallActivatedRelaysGroup "
            "ActiveTimeCurrentEdit ActiveTimeNewCombo ActiveRelayCurrentEdit ActiveRelayNewCombo "
            "SmsAckCurrentEdit SmsAckNewCombo AccessControlGroup AccessControlCurrentEdit "
            "AccessControlNewCombo InputBehaviourGroup InputBehaviourCurrentEdit "
            "InputBehaviourNewCombo InputDelayGroup InputDelay1CurrentEdit InputDelay6CurrentEdit "
            "InputDelay1NewEdit InputDelay6NewEdit AccessNumbersGroup AccessNumberList "
            "AlarmInputList1 AlarmInputList7 Input1Label Input6Label ExternalPowerLabel "
            "GsmSignalBox SignalBarImage SignalIndicatorImage SignalIndicatorLabel NetStatusLabel "
            "NetLogStatusLabel CommandsBox WriteButton ResetButton ClearSimButton "
            "ClearFieldsButton ComPortBox ConnectButton ActiveTimeLabel CallActivatedCurrentLabel "
            "InputDelayNewTimeLabel MainMenu1 FileMenu SaveProfileMenu LoadProfileMenu ExitMenu "
            "LanguagesMenu SettingsMenu SettingsMenuCheckCountryCode HelpMenu HelpEng HelpSwe "
            "TroubleshootingEng TroubleshootingSwe AboutMenu UnitIdentityLabel UnitImeiLabel "
            "OpenRecordsFolderMenu ViewMenu CommunicationLogMenu")
            .split(QLatin1Char(' '));
    for (const QString& name : names) {
        EXPECT_NE(form->findChild<QObject*>(name), nullptr) << name.toStdString();
    }
    EXPECT_EQ(window.SettingsSheet->InputDelayNewEdits[0]->maxLength(), 3);
    EXPECT_EQ(window.SettingsSheet->InputDelayNewEdits[5]->maxLength(), 20);
    EXPECT_TRUE(window.RightColumn->ComPortBox->isEditable());
    // The records live in the settings folder, which File > Open Records Folder shows.
    EXPECT_EQ(window.RecordsPath(), programFolder + "records.csv");
    window.OpenRecordsFolderMenu->trigger();
    EXPECT_EQ(openedFolders, std::vector<std::string>{programFolder});
    for (QPushButton* button : {window.RightColumn->WriteButton, window.RightColumn->ResetButton,
                                window.RightColumn->ClearSimButton}) {
        EXPECT_FALSE(button->isEnabled()) << button->objectName().toStdString();
    }
    for (std::size_t i = 0; i < kSettingTable.size(); ++i) {
        EXPECT_EQ(window.Presenters()[i]->GetValue(ValueKind::New), kSettingTable[i].startValue)
            << i;
    }
    EXPECT_EQ(window.SettingsSheet->InputDelayNewEdits[0]->text(), QStringLiteral("2"));
}

TEST_F(MainFormTest, TakesItsTextsFromTheStoredLanguageAndStoresTheChosenOne) {
    WriteSettings("LANGUAGE=Svenska\n");
    TMainForm& window = Create();
    QList<QAction*> items = window.LanguagesMenu->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->text(), QStringLiteral("English"));
    EXPECT_EQ(items[1]->text(), QStringLiteral("Svenska"));
    // The language shown carries the check mark.
    EXPECT_FALSE(items[0]->isChecked());
    EXPECT_TRUE(items[1]->isChecked());
    EXPECT_EQ(window.RightColumn->CommandsBox->title(), QStringLiteral(" Kommandon "));
    EXPECT_EQ(window.InputMessagesSheet->InputLabels[0]->text(), QString::fromUtf8("Ingång"));
    EXPECT_EQ(window.RightColumn->WriteButton->text(), QStringLiteral("Skriv"));
    EXPECT_EQ(window.RightColumn->ConnectButton->text(), QStringLiteral("Anslut till enhet"));
    // A key without text in the language shows the key.
    EXPECT_EQ(window.RightColumn->ResetButton->text(), QStringLiteral("RESET_UNIT"));
    EXPECT_EQ(window.GridList()[0]->cellText(0, 0), "1 H\xF6g");
    EXPECT_EQ(window.GridList()[0]->model()->headerData(0, Qt::Horizontal).toString(),
              QStringLiteral("Mottagare"));
    EXPECT_EQ(window.PageControl->tabText(window.PageControl->indexOf(window.InputMessagesSheet)),
              QString::fromUtf8("Ingångsmeddelanden"));
    EXPECT_EQ(window.FileMenu->title(), QStringLiteral("Arkiv"));
    EXPECT_EQ(window.ExitMenu->text(), QStringLiteral("Avsluta"));

    items[0]->trigger();
    EXPECT_EQ(window.Language().GetLanguage(), "English");
    EXPECT_TRUE(items[0]->isChecked());
    EXPECT_FALSE(items[1]->isChecked());
    EXPECT_EQ(window.RightColumn->CommandsBox->title(), QStringLiteral(" Commands "));
    EXPECT_EQ(window.RightColumn->ConnectButton->text(), QStringLiteral("Connect to Unit"));
    EXPECT_EQ(window.GridList()[0]->cellText(0, 0), "1 High");
    form.reset();
    EXPECT_EQ(Setting("LANGUAGE"), "English");
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
        std::string languages;
        std::string settings;
        std::vector<std::string> told;  // each after the folder's path
        QString reset;                  // ResetButton's caption
    } cases[] = {
        {"no usable language file",
         binaryLanguages,
         "[Settings]\nLANGUAGE=Svenska\n",
         {badLanguages},
         "Reset Unit"},
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
        ModalSequence user({[&expected](QDialog& dialog) {
            auto* box = qobject_cast<QMessageBox*>(&dialog);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->text(), expected);
            EXPECT_EQ(box->icon(), QMessageBox::Warning);
            Later(box, [box] { box->button(QMessageBox::Ok)->click(); });
        }});
        TMainForm& window = Show();
        EXPECT_TRUE(QTest::qWaitFor(
            [&user] { return user.Done() && QApplication::activeModalWidget() == nullptr; }));
        // The shipped English marks the keys of its captions; a file's own texts need not.
        EXPECT_EQ(WithoutMnemonic(window.RightColumn->ConnectButton->text()),
                  QStringLiteral("Connect to Unit"));
        EXPECT_EQ(WithoutMnemonic(window.RightColumn->ResetButton->text()), c.reset);
        EXPECT_EQ(window.Language().GetLanguage(), "English");
        form.reset();
        std::ifstream in(programFolder + "settings.txt", std::ios::binary);
        const std::string settings(std::istreambuf_iterator<char>(in), {});
        if (c.settings == binarySettings) {
            EXPECT_EQ(settings, binarySettings);
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

TEST_F(MainFormTest, CountryCodeCheckStartsFromTheSettingsAndIsStoredAtExit) {
    const struct {
        const char* settings;
        bool checked;
    } cases[] = {{"", true}, {"VALIDATE_SMS_GSM=0\n", false}, {"VALIDATE_SMS_GSM=abc\n", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings);
        WriteSettings(c.settings);
        TMainForm& window = Create();
        EXPECT_EQ(window.SettingsMenuCheckCountryCode->isChecked(), c.checked);
        EXPECT_EQ(window.GetCountryCodeCheck(), c.checked);
        window.SettingsMenuCheckCountryCode->trigger();
        EXPECT_EQ(window.GetCountryCodeCheck(), !c.checked);
        form.reset();
        EXPECT_EQ(Setting("VALIDATE_SMS_GSM"), c.checked ? "0" : "1");
    }
}

TEST_F(MainFormTest, PortBoxOffersTheOpenablePortsAndSelectsTheStoredOne) {
    const struct {
        const char* stored;
        std::vector<std::string> listed;
        std::string openable;
        std::string startPort;
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
}

TEST_F(MainFormTest, DropDownListsThePortsAgainAndATypedPortIsStored) {
    WriteSettings("PORT=ttyUSB0\n");
    TMainForm& window = Show();
    ASSERT_EQ(window.RightColumn->ComPortBox->count(), 3);
    ports = {"ttyUSB0", "ttyUSB2"};
    window.RightColumn->ComPortBox->showPopup();
    window.RightColumn->ComPortBox->hidePopup();
    ASSERT_EQ(window.RightColumn->ComPortBox->count(), 2);
    EXPECT_EQ(window.RightColumn->ComPortBox->itemText(1), QStringLiteral("ttyUSB2"));
    window.RightColumn->ComPortBox->setEditText(QStringLiteral("ttyUSB9"));
    form.reset();
    EXPECT_EQ(Setting("PORT"), "ttyUSB9");
}

// A connect starts from an unknown unit: the identity of the unit read before leaves the column
// as soon as the next connect starts, and stays gone while that one runs and when it ends
// without a unit.
TEST_F(MainFormTest, AConnectForgetsTheUnitReadBefore) {
    WriteSettings("LED_HINT=0\n");
    const std::unique_ptr<CUnitSimulator> unit = StartUnit(DataState("unit-me.json"));
    PtyPair silent;
    TMainForm& window = Show();
    window.Sequencer().OnControllerQueued = [](IController& controller) { MakeQuick(controller); };
    window.CommSource().GetPort()->SetWritePause(std::chrono::milliseconds(0));
    // Every message the failing connect raises is answered, so the test never waits on one.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    });
    answer.start(20);
    const auto shown = [&window] { return !window.RightColumn->UnitIdentityLabel->isHidden(); };

    window.RightColumn->ComPortBox->setEditText(QString::fromStdString(unit->PortPath()));
    window.RightColumn->ConnectButton->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown() && !window.Sequencer().IsRunning(); }, 10000));
    const QString first = window.RightColumn->UnitIdentityLabel->text();
    EXPECT_FALSE(first.isEmpty());
    window.RightColumn->ConnectButton->click();  // disconnects; the unit read stays shown
    const auto idle = [&window] { return !window.Sequencer().IsRunning() && window.isEnabled(); };
    ASSERT_TRUE(QTest::qWaitFor([&] { return idle() && !window.Sequencer().IsOpen(); }, 10000));
    EXPECT_TRUE(shown());

    window.RightColumn->ComPortBox->setEditText(QString::fromStdString(silent.SlavePath()));
    window.RightColumn->ConnectButton->click();
    EXPECT_FALSE(shown());
    EXPECT_TRUE(window.RightColumn->UnitIdentityLabel->text().isEmpty());
    // The silent port answers nothing; the user gives up on it.
    ASSERT_TRUE(QTest::qWaitFor(
        [&silent] { return !silent.ReadFromPort(1, std::chrono::milliseconds(5)).empty(); },
        10000));
    window.ProgressForm().CancelButton->click();
    ASSERT_TRUE(QTest::qWaitFor(idle, 10000));
    EXPECT_FALSE(shown());
    EXPECT_NE(window.RightColumn->UnitIdentityLabel->text(), first);
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

TEST_F(MainFormTest, CallTogglesTheWholeInputAsTheClickedRowShowsItAndDeleteMarksOneRow) {
    TMainForm& window = Show();
    window.PageControl->setCurrentWidget(window.InputMessagesSheet);
    TVTList* input2 = window.InputMessagesSheet->AlarmInputLists[1];
    TVTListData& sms = window.Model().SmsTable();
    // The third row decides: here only it carries the mark, so the click clears the input.
    sms.setData(6, 6, "X");
    for (const char* mark : {"", "X"}) {
        ClickCell(input2, 2, 6);
        for (int row = 3; row < 9; ++row) {
            EXPECT_EQ(sms.getData(row, 6), row >= 4 && row < 8 ? mark : "") << row;
        }
    }
    EXPECT_EQ(input2->cellText(0, 6), "X");

    ClickCell(window.InputMessagesSheet->AlarmInputLists[6], 1, 7);
    for (int row = 0; row < 28; ++row) {
        EXPECT_EQ(sms.getData(row, 7), row == 25 ? "X" : "") << row;
    }
    ClickCell(window.InputMessagesSheet->AlarmInputLists[6], 1, 7);
    EXPECT_EQ(sms.getData(25, 7), "");
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
}

TEST_F(MainFormTest, SettingControlsHandTheirTextToThePresentersWhenLeft) {
    TMainForm& window = Show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const auto moveFocus = [](QWidget* from, QWidget* to) {
        from->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([from] { return from->hasFocus(); }));
        if (auto* edit = qobject_cast<QLineEdit*>(from)) {
            edit->setText(QStringLiteral("$0C"));
        } else {
            qobject_cast<QComboBox*>(from)->setEditText(QStringLiteral("45"));
        }
        to->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([from] { return !from->hasFocus(); }));
    };
    QLineEdit* delay = window.SettingsSheet->InputDelayNewEdits[1];
    moveFocus(delay, window.SettingsSheet->InputDelayNewEdits[2]);
    EXPECT_EQ(window.Presenters()[6]->GetValue(ValueKind::New), "12");
    EXPECT_EQ(delay->text(), QStringLiteral("12"));
    moveFocus(window.SettingsSheet->ActiveTimeNewCombo, delay);
    EXPECT_EQ(window.Presenters()[0]->GetValue(ValueKind::New), "45");
}

// Without a unit read, the settings have nothing to follow yet: their new values stay, and
// the new call marks take the (empty) current ones.
TEST_F(MainFormTest, ClearTextFieldsEmptiesTheNewSideButKeepsThePresenters) {
    TMainForm& window = Create();
    TVTListData& sms = window.Model().SmsTable();
    TVTListData& phoneBook = window.Model().PhoneBookTable();
    for (int col = 1; col < 8; ++col) {
        sms.setData(27, col, "v");
    }
    for (int col = 1; col < 4; ++col) {
        phoneBook.setData(249, col, "v");
        phoneBook.setData(0, col, "v");
    }
    window.Presenters()[6]->SetNewValue(std::string("17"));
    window.RightColumn->ClearFieldsButton->click();
    for (int col = 1; col < 8; ++col) {
        EXPECT_EQ(sms.getData(27, col), col < 4 || col == 6 ? "v" : "") << col;
    }
    for (int row : {0, 249}) {
        for (int col = 1; col < 4; ++col) {
            EXPECT_EQ(phoneBook.getData(row, col), col == 1 ? "v" : "") << row << " " << col;
        }
    }
    EXPECT_EQ(sms.getData(0, 0), "1 High");
    for (QLineEdit* edit : window.SettingsSheet->InputDelayNewEdits) {
        EXPECT_TRUE(edit->text().isEmpty());
    }
    EXPECT_EQ(window.Presenters()[6]->GetValue(ValueKind::New), "17");
    EXPECT_EQ(window.Presenters()[0]->GetValue(ValueKind::New), "2");
}

// A column of numbers pasted from a spreadsheet fills the New Number column and marks each
// changed number for writing, as typing them would; the count above Write follows.
TEST_F(MainFormTest, APastedColumnOfNumbersIsMarkedAsTypedOnesAre) {
    TMainForm& window = Show();
    TVTList* access = window.SettingsSheet->AccessNumberList;
    TVTListData& phoneBook = window.Model().PhoneBookTable();
    phoneBook.setData(1, 2, "+4622");
    ClickCell(access, 0, 2);
    window.KeyboardOf(access)->Paste(QStringLiteral("+4611\r\n+4622\r\n+4633\r\n"));
    EXPECT_EQ(phoneBook.getData(0, 2), "+4611");
    EXPECT_EQ(phoneBook.getData(2, 2), "+4633");
    // The second number was there already: no change, no mark.
    EXPECT_EQ(phoneBook.getData(0, 3), "X");
    EXPECT_EQ(phoneBook.getData(1, 3), "");
    EXPECT_EQ(phoneBook.getData(2, 3), "X");
    EXPECT_EQ(window.Changes().Pending().accessNumbers, 2);
    EXPECT_TRUE(window.RightColumn->ChangeCountLabel->text().contains(QStringLiteral(": 2")));
    // Delete empties them again; an emptied number is a change that is written too.
    window.KeyboardOf(access)->ClearSelection();
    EXPECT_EQ(phoneBook.getData(0, 2), "");
    EXPECT_EQ(phoneBook.getData(0, 3), "X");
    // Copying the unit's numbers to the new ones marks those that change.
    phoneBook.setData(4, 1, "+4655");
    window.KeyboardOf(access)->OnCopyCurrentToNew(access);
    EXPECT_EQ(phoneBook.getData(4, 2), "+4655");
    EXPECT_EQ(phoneBook.getData(4, 3), "X");
}

// A typed delay the unit cannot take is refused where it is typed: the field is marked, a line
// names it, the value before stays, and Write does not start until it is corrected.
TEST_F(MainFormTest, AnOutOfRangeDelayIsRefusedVisibly) {
    TMainForm& window = Show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QLineEdit* delay = window.SettingsSheet->InputDelayNewEdits[1];
    delay->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([delay] { return delay->hasFocus(); }));
    delay->selectAll();
    QTest::keyClicks(delay, QStringLiteral("300"));
    EXPECT_TRUE(delay->property("refused").toBool());
    EXPECT_TRUE(window.SettingsSheet->SettingMessageLabel->isVisibleTo(&window));
    EXPECT_TRUE(
        window.SettingsSheet->SettingMessageLabel->text().contains(QStringLiteral("\"300\"")));
    window.SettingsSheet->InputDelayNewEdits[2]->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([delay] { return !delay->hasFocus(); }));
    EXPECT_EQ(delay->text(), QStringLiteral("300"));
    EXPECT_EQ(window.Presenters()[6]->GetValue(ValueKind::New), "2");

    // Write says what is wrong and points at the field.
    window.RightColumn->WriteButton->setEnabled(true);
    ModalSequence user({[](QDialog& dialog) {
        auto* box = qobject_cast<QMessageBox*>(&dialog);
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->text().contains(QStringLiteral("INVALID_BAD_SETTING_VALUE")));
        Later(box, [box] { box->button(QMessageBox::Ok)->click(); });
    }});
    window.RightColumn->WriteButton->click();
    EXPECT_TRUE(user.Done());
    EXPECT_FALSE(window.Sequencer().IsRunning());

    // Corrected, the mark and the line go and the value is taken.
    QApplication::setActiveWindow(&window);
    delay->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([delay] { return delay->hasFocus(); }));
    delay->selectAll();
    QTest::keyClicks(delay, QStringLiteral("25"));
    EXPECT_FALSE(delay->property("refused").toBool());
    EXPECT_FALSE(window.SettingsSheet->SettingMessageLabel->isVisibleTo(&window));
    window.SettingsSheet->InputDelayNewEdits[2]->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([delay] { return !delay->hasFocus(); }));
    EXPECT_EQ(window.Presenters()[6]->GetValue(ValueKind::New), "25");
}

TEST_F(MainFormTest, MenusAndButtonsHaveTheirKeys) {
    TMainForm& window = Create();
    EXPECT_EQ(window.LoadProfileMenu->shortcuts(),
              (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_O),
                                   QKeySequence(Qt::CTRL | Qt::Key_L)}));
    EXPECT_EQ(window.SaveProfileMenu->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_EQ(window.ExitMenu->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    // F1 opens the manual of the language shown.
    EXPECT_EQ(window.ManualItem()->objectName(), QStringLiteral("HelpEng"));
    EXPECT_EQ(window.ManualItem()->shortcut(), QKeySequence(Qt::Key_F1));
    window.SwitchLanguage("Svenska");
    EXPECT_EQ(window.ManualItem()->objectName(), QStringLiteral("HelpSwe"));
    EXPECT_EQ(window.ManualItem()->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_TRUE(window.HelpItems[0]->shortcut().isEmpty());
}

// --- Status display -------------------------------------------------------------------------

TEST_F(MainFormTest, SignalStrengthMovesTheIndicatorAndRegistrationShowsItsTextAndColour) {
    TMainForm& window = Create();
    window.ReportSignal(0, 1);
    const int top0 = window.RightColumn->SignalMeter->IndicatorImage->y();
    const QRect bar = window.RightColumn->SignalMeter->BarImage->geometry();
    EXPECT_EQ(top0, bar.top() + bar.height() - 6);
    EXPECT_EQ(window.RightColumn->SignalMeter->IndicatorLabel->y(), top0 - 1);
    window.ReportSignal(31, 1);
    EXPECT_EQ(window.RightColumn->SignalMeter->IndicatorImage->y(), top0 - 124);
    EXPECT_EQ(window.RightColumn->SignalMeter->IndicatorLabel->y(), top0 - 125);
    EXPECT_EQ(window.RightColumn->SignalMeter->IndicatorLabel->text(), QStringLiteral("31"));
    // Not known, and no reading: the indicator stays, the network text still changes.
    for (int unknown : {99, -1, 33}) {
        window.ReportSignal(unknown, 2);
        EXPECT_EQ(window.RightColumn->SignalMeter->IndicatorImage->y(), top0 - 124) << unknown;
        EXPECT_EQ(window.RightColumn->SignalMeter->IndicatorLabel->text(), QStringLiteral("31"));
        EXPECT_EQ(window.RightColumn->NetLogStatusLabel->text(), QStringLiteral("Searching"));
    }
    window.ReportSignal(32, 1);
    EXPECT_EQ(window.RightColumn->SignalMeter->IndicatorImage->y(), top0 - 128);
    // The indicator never leaves the bar's extent.
    EXPECT_GE(window.RightColumn->SignalMeter->IndicatorImage->y(), bar.top());

    // Each registration state shows its text in its colour.
    const struct {
        int state;
        const char* text;
        QRgb colour;
    } cases[] = {{1, "Home network", 0x008000}, {2, "Searching", 0x808000},
                 {3, "Denied", 0xFF0000},       {4, "Unknown", 0xFF0000},
                 {5, "Roaming", 0x008000},      {0, "Logged out", 0xFF0000},
                 {6, "Logged out", 0xFF0000},   {-2, "Logged out", 0xFF0000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        window.ReportSignal(10, c.state);
        EXPECT_EQ(window.RightColumn->NetLogStatusLabel->text(), QString::fromLatin1(c.text));
        EXPECT_EQ(
            window.RightColumn->NetLogStatusLabel->palette().color(QPalette::WindowText).rgb() &
                0xFFFFFF,
            c.colour);
    }
    EXPECT_TRUE(window.RightColumn->NetLogStatusLabel->font().bold());

    // Until the registration has been asked (the first polls ask only the strength) the
    // status says it is being checked, not in red; a disconnect clears the whole display.
    window.ReportSignal(12, -1);
    EXPECT_EQ(window.RightColumn->NetLogStatusLabel->text(), QStringLiteral("NET_CHECKING"));
    EXPECT_EQ(window.RightColumn->NetLogStatusLabel->palette().color(QPalette::WindowText),
              window.palette().color(QPalette::WindowText));
    window.ClearSignalDisplay();
    EXPECT_TRUE(window.RightColumn->NetLogStatusLabel->text().isEmpty());
    EXPECT_TRUE(window.RightColumn->SignalMeter->IndicatorLabel->text().isEmpty());
    EXPECT_TRUE(window.RightColumn->SignalMeter->IndicatorImage->isHidden());
    window.ReportSignal(12, 1);
    EXPECT_FALSE(window.RightColumn->SignalMeter->IndicatorImage->isHidden());
}

TEST_F(MainFormTest, ResizeGivesTheFreeWidthToTheTextColumns) {
    TMainForm& window = Show();
    std::map<const TVTList*, int> widths;
    for (int width : {1045, 1400}) {
        SCOPED_TRACE(width);
        window.resize(width, 700);
        for (TVTList* grid : window.GridList()) {
            // A grid is laid out when its page shows.
            window.PageControl->setCurrentWidget(grid == window.SettingsSheet->AccessNumberList
                                                     ? static_cast<QWidget*>(window.SettingsSheet)
                                                     : window.InputMessagesSheet);
            QApplication::processEvents();
            int sum = 0;
            for (int col = 0; col < grid->columnCount(); ++col) {
                sum += grid->columnWidth(col);
            }
            EXPECT_EQ(grid->columnWidth(1),
                      grid->columnWidth(grid == window.SettingsSheet->AccessNumberList ? 2 : 4));
            // The columns fill the grid without running past it.
            EXPECT_LE(sum, grid->viewport()->width());
            EXPECT_GE(sum, grid->viewport()->width() - 6);
            // Every column shows its caption whole.
            for (int col = 0; col < grid->columnCount(); ++col) {
                const QString caption = grid->model()->headerData(col, Qt::Horizontal).toString();
                EXPECT_LE(grid->horizontalHeader()->fontMetrics().horizontalAdvance(caption),
                          grid->columnWidth(col))
                    << caption.toStdString();
            }
            if (width == 1400) {
                // Every grid grows with the window.
                EXPECT_GT(grid->width(), widths[grid]);
            }
            widths[grid] = grid->width();
        }
    }
    // The tabs are drawn by the window: the inactive tab's face is white away from its caption.
    const QImage tabs = window.PageControl->OwnerDrawnTabBar()->grab().toImage();
    const QRect tab = window.PageControl->OwnerDrawnTabBar()->tabRect(1);
    EXPECT_EQ(tabs.pixelColor(tab.right() - 3, tab.bottom() - 3).rgb() & 0xFFFFFF, 0xFFFFFFu);
}

}  // namespace
