#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/inifile.h"
#include "engine/processorhandler.h"
#include "model/configurationmodel.h"
#include "model/guihelper.h"
#include "persistence/applanguage.h"
#include "seriallink/commsource.h"
#include "seriallink/comport.h"
#include "support/ptypair.h"
#include "ui/mainform.h"
#include "ui/pagecontrol.h"
#include "vtlist.h"

namespace {

// Two languages, with texts that differ from the form's English captions, so a test sees that
// the language file, not the form, gave a control its text.
constexpr const char* kLanguages =
    "[English]\n"
    "CONNECT_TO_UNIT=Connect to Unit\n"
    "DISCONNECT=Disconnect\n"
    "COMMANDS=\" Commands \"\n"
    "INPUT=Input\n"
    "HIGH=High\nLOW=Low\nOK=OK\nFAIL=Fail\n"
    "NET_LOGGED_IN_HOME_NETWORK=Home network\n"
    "NET_LOGGED_OUT_SEARCHING=Searching\n"
    "NET_REGISTRATION_DENIED=Denied\n"
    "NET_UNKNOWN=Unknown\n"
    "NET_LOGGED_IN_ROAMING=Roaming\n"
    "NET_LOGGED_OUT=Logged out\n"
    "[Svenska]\n"
    "CONNECT_TO_UNIT=Anslut till enhet\n"
    "COMMANDS=\" Kommandon \"\n"
    "INPUT=Ing\xE5ng\n"
    "WRITE_AND_READ=Skriv\n"
    "HIGH=H\xF6g\nLOW=L\xE5g\nOK=OK\nFAIL=Fel\n";

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        programFolder = folder.path().toStdString() + "/";
        std::ofstream(programFolder + "languages.txt", std::ios::binary) << kLanguages;
    }

    void WriteSettings(const std::string& text) {
        std::ofstream(programFolder + "settings.txt", std::ios::binary) << "[Settings]\n" << text;
    }

    std::string Setting(const std::string& key) {
        CIniFile ini(programFolder + "settings.txt");
        return ini.ReadString("Settings", key, "<missing>");
    }

    TMainFormEnvironment Environment() {
        TMainFormEnvironment environment;
        environment.dataFolders = {programFolder};
        environment.configFolder = programFolder;
        environment.listPorts = [this](std::vector<std::string>& list) {
            list.insert(list.end(), ports.begin(), ports.end());
        };
        environment.canOpen = [this](const std::string& name) { return name == openable; };
        return environment;
    }

    TMainForm& Create() {
        form = std::make_unique<TMainForm>(Environment());
        return *form;
    }

    TMainForm& Show() {
        Create();
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        return *form;
    }

    template <typename T>
    T* Find(const char* name) {
        return form->findChild<T*>(QString::fromLatin1(name));
    }

    QTemporaryDir folder;
    std::string programFolder;
    std::vector<std::string> ports = {"ttyS0", "ttyUSB0", "ttyUSB1"};
    std::string openable;
    std::unique_ptr<TMainForm> form;
};

QPoint CellCenter(TVTList* grid, int row, int col) {
    grid->scrollTo(grid->model()->index(row, col));
    QRect rect;
    grid->getColumnRect(row, col, rect);
    return rect.center();
}

void ClickCell(TVTList* grid, int row, int col) {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CellCenter(grid, row, col));
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

// --- Construction ---------------------------------------------------------------------------

TEST_F(MainFormTest, BuildsEveryNamedControlAtItsClientSize) {
    TMainForm& window = Show();
    const char* names[] = {"PageControl",
                           "SettingsSheet",
                           "InputMessagesSheet",
                           "CallActivatedRelaysGroup",
                           "ActiveTimeCurrentEdit",
                           "ActiveTimeNewCombo",
                           "ActiveRelayCurrentEdit",
                           "ActiveRelayNewCombo",
                           "SmsAckCurrentEdit",
                           "SmsAckNewCombo",
                           "AccessControlGroup",
                           "AccessControlCurrentEdit",
                           "AccessControlNewCombo",
                           "InputBehaviourGroup",
                           "InputBehaviourCurrentEdit",
                           "InputBehaviourNewCombo",
                           "InputDelayGroup",
                           "InputDelay1CurrentEdit",
                           "InputDelay6CurrentEdit",
                           "InputDelay1NewEdit",
                           "InputDelay6NewEdit",
                           "AccessNumbersGroup",
                           "AccessNumberList",
                           "AlarmInputList1",
                           "AlarmInputList7",
                           "Input1Label",
                           "Input6Label",
                           "ExternalPowerLabel",
                           "GsmSignalBox",
                           "SignalBarImage",
                           "SignalIndicatorImage",
                           "SignalIndicatorLabel",
                           "NetStatusLabel",
                           "NetLogStatusLabel",
                           "CommandsBox",
                           "WriteButton",
                           "ResetButton",
                           "ClearSimButton",
                           "ClearFieldsButton",
                           "ComPortBox",
                           "ConnectButton",
                           "ActiveTimeLabel",
                           "CallActivatedCurrentLabel",
                           "InputDelayNewTimeLabel",
                           "MainMenu1"};
    for (const char* name : names) {
        EXPECT_NE(form->findChild<QObject*>(QString::fromLatin1(name)), nullptr) << name;
    }
    for (const char* name :
         {"FileMenu", "SaveProfileMenu", "LoadProfileMenu", "ExitMenu", "LanguagesMenu",
          "SettingsMenu", "SettingsMenuCheckCountryCode", "HelpMenu", "HelpEng", "HelpSwe",
          "TroubleshootingEng", "TroubleshootingSwe", "AboutMenu"}) {
        EXPECT_NE(form->findChild<QObject*>(QString::fromLatin1(name)), nullptr) << name;
    }
    EXPECT_EQ(window.centralWidget()->width(), TMainForm::kClientWidth);
    EXPECT_EQ(window.centralWidget()->height(), TMainForm::kClientHeight);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Sendibox Configuration Tool"));
    EXPECT_EQ(window.InputDelayNewEdits[0]->maxLength(), 3);
    EXPECT_EQ(window.InputDelayNewEdits[5]->maxLength(), 20);
    EXPECT_TRUE(window.ComPortBox->isEditable());
    EXPECT_EQ(window.AlarmInputScrollBox->width(), TMainForm::kAlarmScrollBoxWidth);
}

TEST_F(MainFormTest, WiresTheEightGridsToTheTwoTables) {
    TMainForm& window = Create();
    ASSERT_EQ(window.GridList()[7], window.AccessNumberList);
    CConfigurationModel& model = window.Model();
    for (int t = 0; t < 7; ++t) {
        TVTList* grid = window.GridList()[t];
        EXPECT_EQ(grid->objectName(), QStringLiteral("AlarmInputList%1").arg(t + 1));
        EXPECT_EQ(grid->Tag, t);
        EXPECT_EQ(grid->itemCount(), 4);
        EXPECT_EQ(grid->ColumnProperties, &model.AlarmColumnProperties());
        // Row 3 of input t + 1 is message 4 t + 4.
        model.SmsTable().setData(4 * t + 3, 1, "text " + std::to_string(t));
        EXPECT_EQ(grid->cellText(3, 1), "text " + std::to_string(t));
    }
    EXPECT_EQ(window.GridList()[0]->cellText(2, 0), "1 Low");
    EXPECT_EQ(window.GridList()[6]->cellText(3, 0), "2 Fail");

    TVTList* access = window.AccessNumberList;
    EXPECT_EQ(access->ColumnProperties, &model.AccessColumnProperties());
    EXPECT_EQ(access->itemCount(), 238);
    EXPECT_EQ(access->RowsToHighLight, 40);
    // Access numbers 57 and 58 sit on either side of the setting positions 58 to 69.
    model.PhoneBookTable().setData(56, 1, "+4657");
    model.PhoneBookTable().setData(69, 1, "+4670");
    EXPECT_EQ(access->cellText(56, 0), "57");
    EXPECT_EQ(access->cellText(56, 1), "+4657");
    EXPECT_EQ(access->cellText(57, 0), "58");
    EXPECT_EQ(access->cellText(57, 1), "+4670");
}

TEST_F(MainFormTest, TakesItsTextsFromTheStoredLanguageAndListsTheLanguages) {
    WriteSettings("LANGUAGE=Svenska\n");
    TMainForm& window = Create();
    QList<QAction*> items = window.LanguagesMenu->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->text(), QStringLiteral("English"));
    EXPECT_EQ(items[1]->text(), QStringLiteral("Svenska"));
    EXPECT_FALSE(items[0]->isChecked());
    EXPECT_EQ(window.CommandsBox->title(), QStringLiteral(" Kommandon "));
    EXPECT_EQ(window.InputLabels[0]->text(), QString::fromUtf8("Ingång"));
    EXPECT_EQ(window.WriteButton->text(), QStringLiteral("Skriv"));
    EXPECT_EQ(window.ConnectButton->text(), QStringLiteral("Anslut till enhet"));
    // A key without text in the language shows the key.
    EXPECT_EQ(window.ResetButton->text(), QStringLiteral("RESET_UNIT"));
    EXPECT_EQ(window.GridList()[0]->cellText(0, 0), "1 H\xF6g");

    items[0]->trigger();
    EXPECT_EQ(window.Language().GetLanguage(), "English");
    EXPECT_EQ(window.CommandsBox->title(), QStringLiteral(" Commands "));
    EXPECT_EQ(window.ConnectButton->text(), QStringLiteral("Connect to Unit"));
    EXPECT_EQ(window.GridList()[0]->cellText(0, 0), "1 High");
}

TEST_F(MainFormTest, LanguageSwitchWhileConnectedKeepsTheDisconnectCaption) {
    PtyPair pty;
    TMainForm& window = Create();
    window.CommSource().GetPort()->SetPortName(pty.SlavePath());
    window.CommSource().Open();
    ASSERT_TRUE(window.CommSource().IsOpen());
    window.SwitchLanguage("English");
    EXPECT_EQ(window.ConnectButton->text(), QStringLiteral("Disconnect"));
}

TEST_F(MainFormTest, UnitButtonsFollowTheOpenPort) {
    PtyPair pty;
    TMainForm& window = Create();
    for (QPushButton* button : {window.WriteButton, window.ResetButton, window.ClearSimButton}) {
        EXPECT_FALSE(button->isEnabled()) << button->objectName().toStdString();
    }
    EXPECT_TRUE(window.ConnectButton->isEnabled());
    EXPECT_TRUE(window.ClearFieldsButton->isEnabled());
    window.CommSource().GetPort()->SetPortName(pty.SlavePath());
    window.CommSource().Open();
    EXPECT_TRUE(window.WriteButton->isEnabled());
    EXPECT_TRUE(window.ClearSimButton->isEnabled());
    window.CommSource().Close();
    EXPECT_FALSE(window.ResetButton->isEnabled());
}

TEST_F(MainFormTest, CountryCodeCheckStartsFromTheSettings) {
    const struct {
        const char* settings;
        bool checked;
    } cases[] = {{"", true},
                 {"VALIDATE_SMS_GSM=0\n", false},
                 {"VALIDATE_SMS_GSM=abc\n", true},
                 {"VALIDATE_SMS_GSM=1\n", true}};
    for (const auto& c : cases) {
        WriteSettings(c.settings);
        TMainForm& window = Create();
        EXPECT_EQ(window.SettingsMenuCheckCountryCode->isChecked(), c.checked) << c.settings;
        EXPECT_EQ(window.GetCountryCodeCheck(), c.checked) << c.settings;
        window.SettingsMenuCheckCountryCode->trigger();
        EXPECT_EQ(window.GetCountryCodeCheck(), !c.checked) << c.settings;
        EXPECT_EQ(window.SettingsMenuCheckCountryCode->isChecked(), !c.checked);
        form.reset();
        EXPECT_EQ(Setting("VALIDATE_SMS_GSM"), c.checked ? "0" : "1") << c.settings;
    }
}

TEST_F(MainFormTest, PortBoxOffersTheOpenablePortsAndSelectsTheStoredOne) {
    const struct {
        const char* stored;
        std::vector<std::string> listed;
        std::string openable;
        QStringList items;
        QString selected;
    } cases[] = {
        {"PORT=ttyUSB1\n",
         {"ttyS0", "ttyUSB0", "ttyUSB1"},
         "",
         {"ttyS0", "ttyUSB0", "ttyUSB1"},
         "ttyUSB1"},
        // A port that is gone: the first one offered.
        {"PORT=ttyUSB7\n", {"ttyS0", "ttyUSB0"}, "", {"ttyS0", "ttyUSB0"}, "ttyS0"},
        // No setting: "COM1", which no Linux port is called.
        {"", {"ttyACM0"}, "", {"ttyACM0"}, "ttyACM0"},
        // A typed path that still opens comes back selected.
        {"PORT=/tmp/unitsim-link\n",
         {"ttyS0"},
         "/tmp/unitsim-link",
         {"ttyS0", "/tmp/unitsim-link"},
         "/tmp/unitsim-link"},
        {"PORT=/tmp/unitsim-link\n", {"ttyS0"}, "", {"ttyS0"}, "ttyS0"},
        {"PORT=ttyUSB0\n", {}, "", {}, ""},
    };
    for (const auto& c : cases) {
        WriteSettings(c.stored);
        ports = c.listed;
        openable = c.openable;
        TMainForm& window = Show();
        QStringList items;
        for (int i = 0; i < window.ComPortBox->count(); ++i) {
            items << window.ComPortBox->itemText(i);
        }
        EXPECT_EQ(items, c.items) << c.stored;
        EXPECT_EQ(window.ComPortBox->currentText(), c.selected) << c.stored;
        form.reset();
        EXPECT_EQ(QString::fromStdString(Setting("PORT")), c.selected) << c.stored;
    }
}

TEST_F(MainFormTest, PortNamedAtStartIsSelectedAndStored) {
    WriteSettings("PORT=ttyUSB0\n");
    form = std::make_unique<TMainForm>([this] {
        TMainFormEnvironment environment = Environment();
        environment.startPort = "/tmp/demo-unit";
        return environment;
    }());
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    EXPECT_EQ(form->ComPortBox->currentText(), QStringLiteral("/tmp/demo-unit"));
    form.reset();
    EXPECT_EQ(Setting("PORT"), "/tmp/demo-unit");
}

TEST_F(MainFormTest, DropDownListsThePortsAgain) {
    WriteSettings("PORT=ttyUSB0\n");
    TMainForm& window = Show();
    ASSERT_EQ(window.ComPortBox->count(), 3);
    ports = {"ttyUSB0", "ttyUSB2"};
    window.ComPortBox->showPopup();
    window.ComPortBox->hidePopup();
    ASSERT_EQ(window.ComPortBox->count(), 2);
    EXPECT_EQ(window.ComPortBox->itemText(1), QStringLiteral("ttyUSB2"));
}

TEST_F(MainFormTest, WritesTheSettingsAtExit) {
    Show();
    form->LanguagesMenu->actions().at(1)->trigger();
    form->ComPortBox->setEditText(QStringLiteral("ttyUSB9"));
    form->SettingsMenuCheckCountryCode->trigger();
    form.reset();
    EXPECT_EQ(Setting("LANGUAGE"), "Svenska");
    EXPECT_EQ(Setting("PORT"), "ttyUSB9");
    EXPECT_EQ(Setting("VALIDATE_SMS_GSM"), "0");
}

// A settings file that cannot be written must not stop the rest of the shutdown: the port is
// still closed and released.
TEST_F(MainFormTest, UnwritableSettingsAtExitStillReleaseThePort) {
    PtyPair pty;
    TMainForm& window = Create();
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(programFolder + "settings.txt")));
    window.CommSource().GetPort()->SetPortName(pty.SlavePath());
    window.CommSource().Open();
    ASSERT_FALSE(CComPort::CanOpen(pty.SlavePath()));
    form.reset();
    EXPECT_TRUE(CComPort::CanOpen(pty.SlavePath()));
}

// --- Editing rules --------------------------------------------------------------------------

TEST_F(MainFormTest, CallTogglesTheWholeInputAsTheClickedRowShowsIt) {
    TMainForm& window = Show();
    window.PageControl->setCurrentWidget(window.InputMessagesSheet);
    TVTList* input2 = window.AlarmInputLists[1];
    TVTListData& sms = window.Model().SmsTable();
    // The third row decides: here only it carries the mark, so the click clears the input.
    sms.setData(6, 6, "X");
    ClickCell(input2, 2, 6);
    for (int row = 4; row < 8; ++row) {
        EXPECT_EQ(sms.getData(row, 6), "") << row;
    }
    ClickCell(input2, 2, 6);
    for (int row = 4; row < 8; ++row) {
        EXPECT_EQ(sms.getData(row, 6), "X") << row;
    }
    EXPECT_EQ(sms.getData(3, 6), "");
    EXPECT_EQ(sms.getData(8, 6), "");
    EXPECT_EQ(input2->cellText(0, 6), "X");
}

TEST_F(MainFormTest, DeleteMarksOneRow) {
    TMainForm& window = Show();
    window.PageControl->setCurrentWidget(window.InputMessagesSheet);
    TVTListData& sms = window.Model().SmsTable();
    ClickCell(window.AlarmInputLists[6], 1, 7);
    for (int row = 0; row < 28; ++row) {
        EXPECT_EQ(sms.getData(row, 7), row == 25 ? "X" : "") << row;
    }
    ClickCell(window.AlarmInputLists[6], 1, 7);
    EXPECT_EQ(sms.getData(25, 7), "");
    // Other columns take no clicks.
    ClickCell(window.AlarmInputLists[6], 1, 2);
    EXPECT_EQ(sms.getData(25, 2), "");
}

TEST_F(MainFormTest, TypedAlarmTextsLandInTheirMessageRow) {
    TMainForm& window = Show();
    window.PageControl->setCurrentWidget(window.InputMessagesSheet);
    EditCell(window.AlarmInputLists[2], 3, 4, QStringLiteral("Door open"));
    EditCell(window.AlarmInputLists[2], 3, 5, QStringLiteral("+46701234"));
    EXPECT_EQ(window.Model().SmsTable().getData(11, 4), "Door open");
    EXPECT_EQ(window.Model().SmsTable().getData(11, 5), "+46701234");
}

TEST_F(MainFormTest, LeavingANewNumberMarksItOnlyWhenChanged) {
    TMainForm& window = Show();
    TVTList* access = window.AccessNumberList;
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
    // The mark can still be clicked away and back on purpose.
    ClickCell(access, 59, 3);
    EXPECT_EQ(phoneBook.getData(71, 3), "");
    ClickCell(access, 59, 3);
    EXPECT_EQ(phoneBook.getData(71, 3), "X");
    // Emptying a number is a change too.
    ClickCell(access, 59, 3);
    access->beginEditing();
    QTest::keyClick(access->editor(), Qt::Key_Left);
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
    QLineEdit* delay = window.InputDelayNewEdits[1];
    delay->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([delay] { return delay->hasFocus(); }));
    delay->setText(QStringLiteral("$0C"));
    window.InputDelayNewEdits[2]->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([delay] { return !delay->hasFocus(); }));
    EXPECT_EQ(window.Presenters()[6]->GetValue(ValueKind::New), "12");
    EXPECT_EQ(delay->text(), QStringLiteral("12"));

    QComboBox* time = window.ActiveTimeNewCombo;
    time->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([time] { return time->hasFocus(); }));
    time->setEditText(QStringLiteral("45"));
    delay->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([time] { return !time->hasFocus(); }));
    EXPECT_EQ(window.Presenters()[0]->GetValue(ValueKind::New), "45");
}

TEST_F(MainFormTest, StartValuesOfThePresenters) {
    TMainForm& window = Create();
    const char* expected[] = {"2", "1", "0", "0", "0", "2", "2", "2", "2", "2", "2"};
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(window.Presenters()[i]->GetValue(ValueKind::New), expected[i]) << i;
    }
    EXPECT_EQ(window.InputDelayNewEdits[0]->text(), QStringLiteral("2"));
}

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
    window.ClearFieldsButton->click();
    for (int col = 1; col < 8; ++col) {
        EXPECT_EQ(sms.getData(27, col), col < 4 ? "v" : "") << col;
    }
    for (int row : {0, 249}) {
        EXPECT_EQ(phoneBook.getData(row, 1), "v");
        EXPECT_EQ(phoneBook.getData(row, 2), "");
        EXPECT_EQ(phoneBook.getData(row, 3), "");
    }
    EXPECT_EQ(sms.getData(0, 0), "1 High");
    for (QLineEdit* edit : window.InputDelayNewEdits) {
        EXPECT_TRUE(edit->text().isEmpty());
    }
    EXPECT_EQ(window.Presenters()[6]->GetValue(ValueKind::New), "17");
    EXPECT_EQ(window.Presenters()[0]->GetValue(ValueKind::New), "2");
}

// --- Status display -------------------------------------------------------------------------

TEST_F(MainFormTest, SignalStrengthMovesTheIndicatorFourPixelsPerStep) {
    TMainForm& window = Create();
    window.ReportSignal(0, 1);
    const int top0 = window.SignalIndicatorImage->y();
    const QRect bar = window.SignalBarImage->geometry();
    EXPECT_EQ(top0, bar.top() + bar.height() - 6);
    EXPECT_EQ(window.SignalIndicatorLabel->y(), top0 - 1);
    window.ReportSignal(31, 1);
    EXPECT_EQ(window.SignalIndicatorImage->y(), top0 - 124);
    EXPECT_EQ(window.SignalIndicatorLabel->y(), top0 - 125);
    EXPECT_EQ(window.SignalIndicatorLabel->text(), QStringLiteral("31"));
    // Not known, and no reading: the indicator stays, the network text still changes.
    for (int unknown : {99, -1, 33}) {
        window.ReportSignal(unknown, 2);
        EXPECT_EQ(window.SignalIndicatorImage->y(), top0 - 124) << unknown;
        EXPECT_EQ(window.SignalIndicatorLabel->text(), QStringLiteral("31"));
        EXPECT_EQ(window.NetLogStatusLabel->text(), QStringLiteral("Searching"));
    }
    window.ReportSignal(32, 1);
    EXPECT_EQ(window.SignalIndicatorImage->y(), top0 - 128);
    // The indicator never leaves the bar's extent.
    EXPECT_GE(window.SignalIndicatorImage->y(), bar.top());
}

TEST_F(MainFormTest, RegistrationStateShowsItsTextInItsColour) {
    TMainForm& window = Create();
    const struct {
        int state;
        const char* text;
        QRgb colour;
    } cases[] = {{1, "Home network", 0x008000}, {2, "Searching", 0x808000},
                 {3, "Denied", 0xFF0000},       {4, "Unknown", 0xFF0000},
                 {5, "Roaming", 0x008000},      {0, "Logged out", 0xFF0000},
                 {6, "Logged out", 0xFF0000},   {-1, "Logged out", 0xFF0000}};
    for (const auto& c : cases) {
        window.ReportSignal(10, c.state);
        EXPECT_EQ(window.NetLogStatusLabel->text(), QString::fromLatin1(c.text)) << c.state;
        EXPECT_EQ(window.NetLogStatusLabel->palette().color(QPalette::WindowText).rgb() & 0xFFFFFF,
                  c.colour)
            << c.state;
    }
    EXPECT_TRUE(window.NetLogStatusLabel->font().bold());
}

TEST_F(MainFormTest, ResizeGivesTheFreeWidthToTheTextColumns) {
    TMainForm& window = Show();
    const int reserve = window.style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 5;
    for (int width : {1045, 1400}) {
        window.resize(width, window.height());
        QApplication::processEvents();
        // A grid is laid out when its page shows.
        window.PageControl->setCurrentWidget(window.InputMessagesSheet);
        QApplication::processEvents();
        for (TVTList* grid : window.GridList()) {
            if (grid == window.AccessNumberList) {
                window.PageControl->setCurrentWidget(window.SettingsSheet);
                QApplication::processEvents();
            }
            int sum = 0;
            for (int col = 0; col < grid->columnCount(); ++col) {
                sum += grid->columnWidth(col);
            }
            const int first = 1;
            const int second = grid == window.AccessNumberList ? 2 : 4;
            EXPECT_EQ(grid->columnWidth(first), grid->columnWidth(second));
            EXPECT_LE(grid->width() - reserve - sum, 1) << width;
            EXPECT_GE(grid->width() - reserve - sum, 0) << width;
        }
    }
    // The alarm grids keep their box's fixed width; the access numbers grow with the window.
    EXPECT_EQ(window.AlarmInputScrollBox->width(), TMainForm::kAlarmScrollBoxWidth);
    const int wide = window.AccessNumberList->width();
    window.resize(1045, window.height());
    QApplication::processEvents();
    EXPECT_LT(window.AccessNumberList->width(), wide);
}

TEST_F(MainFormTest, TabsAreDrawnByTheWindow) {
    TMainForm& window = Show();
    QImage image = window.PageControl->OwnerDrawnTabBar()->grab().toImage();
    const QRect tab = window.PageControl->OwnerDrawnTabBar()->tabRect(1);
    // The inactive tab's face is white away from its caption.
    EXPECT_EQ(image.pixelColor(tab.right() - 3, tab.bottom() - 3).rgb() & 0xFFFFFF, 0xFFFFFFu);
}

// A picture of the window for a person to look at: saved where SENDIBOX_SCREENSHOT says.
// SENDIBOX_SCREENSHOT_LANGUAGES may name a language file to show real texts.
TEST_F(MainFormTest, Screenshot) {
    const QByteArray languages = qgetenv("SENDIBOX_SCREENSHOT_LANGUAGES");
    if (!languages.isEmpty()) {
        const QString target = QString::fromStdString(programFolder + "languages.txt");
        QFile::remove(target);
        ASSERT_TRUE(QFile::copy(QString::fromLocal8Bit(languages), target));
    }
    TMainForm& window = Show();
    window.ReportSignal(21, 1);
    const QPixmap picture = window.grab();
    EXPECT_GE(picture.width(), TMainForm::kClientWidth);
    const QByteArray path = qgetenv("SENDIBOX_SCREENSHOT");
    if (!path.isEmpty()) {
        ASSERT_TRUE(picture.save(QString::fromLocal8Bit(path)));
        window.PageControl->setCurrentWidget(window.InputMessagesSheet);
        ASSERT_TRUE(window.grab().save(QString::fromLocal8Bit(path).replace(
            QStringLiteral(".png"), QStringLiteral("-inputs.png"))));
        window.resize(1270, 880);
        QApplication::processEvents();
        ASSERT_TRUE(window.grab().save(QString::fromLocal8Bit(path).replace(
            QStringLiteral(".png"), QStringLiteral("-large.png"))));
    }
}

}  // namespace
