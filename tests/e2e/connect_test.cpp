#include <QCheckBox>
#include <filesystem>

#include "operations/unitprobe.h"
#include "persistence/appsettings.h"
#include "support/csvrows.h"
#include "support/ptypair.h"
#include "ui/comportbox.h"
#include "ui/signalmeter.h"
#include "ui/unitfinder.h"
#include "windowfixture.h"

namespace {

class Connecting : public WindowOnUnit {};

// The current side of the window after a connect: settings, alarm texts and numbers, call
// marks, access numbers; and the signal poll behind it.
TEST_F(Connecting, ShowsTheUnitsValuesAndLeavesTheSignalPollRunning) {
    const struct {
        const char* file;
        int storeSwitches;  // "AT+CPBS=SM" on the way to the configuration
        int accessNumbers;
        const char* activeTime;  // what the current controls show
        const char* delay1;
        int alarmGrid;  // the first message of this input and its current text
        const char* text;
        std::vector<int> calledInputs;  // tags whose rows carry the current call mark
    } cases[] = {
        {"unit-me.json", 0, 88, "Toggle", "2", 0, "Input 1 high", {6}},
        // Windows-1252 letters come through the module's alphabet into the grid.
        {"unit-demo.json", 1, 238, "5", "3", 1, "Brandlarm i k\xE4llaren!", {0, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        TMainForm& w = Start(c.file);
        ASSERT_TRUE(Connect());
        EXPECT_EQ(dialogs.Seen(), Strings{"LedInfoForm: " + Text("GREEN_LED_LIT")});
        EXPECT_EQ(Sent("AT+CPBS=SM"), c.storeSwitches);
        EXPECT_EQ(Sent("AT+CPBR=64"), 1 + c.storeSwitches);

        for (const QLineEdit* edit : CurrentControls()) {
            EXPECT_FALSE(edit->text().isEmpty()) << edit->objectName().toStdString();
        }
        EXPECT_EQ(w.SettingsSheet->ActiveTimeCurrentEdit->text().toStdString(), c.activeTime);
        EXPECT_EQ(w.SettingsSheet->InputDelayCurrentEdits[0]->text().toStdString(), c.delay1);
        TVTList* grid = w.InputMessagesSheet->AlarmInputLists[c.alarmGrid];
        EXPECT_EQ(grid->cellText(0, 1), c.text);
        EXPECT_EQ(grid->cellText(0, 2), "+46701234567");
        for (int tag = 0; tag < 7; ++tag) {
            const bool called = std::find(c.calledInputs.begin(), c.calledInputs.end(), tag) !=
                                c.calledInputs.end();
            EXPECT_EQ(w.InputMessagesSheet->AlarmInputLists[tag]->cellText(3, 3), called ? "X" : "")
                << tag;
        }
        EXPECT_EQ(w.SettingsSheet->AccessNumberList->itemCount(), c.accessNumbers);
        EXPECT_EQ(w.SettingsSheet->AccessNumberList->cellText(0, 1), "+46701234567");

        // The registration is asked for every third poll.
        EXPECT_TRUE(PumpUntil([&] {
            return w.RightColumn->NetLogStatusLabel->text().toStdString() ==
                   Text("NET_LOGGED_IN_HOME_NETWORK");
        }));
        EXPECT_TRUE(PollRunning());
        EXPECT_EQ(w.RightColumn->SignalMeter->IndicatorLabel->text(), QStringLiteral("18"));
        Close();
    }
}

// Find Unit asks every listed port at once, marks the one where the unit answers, selects it,
// and gives every port back, so Connect opens the one it found.
TEST_F(Connecting, FindUnitMarksAndSelectsThePortWhereTheUnitAnswers) {
    PtyPair silent;
    TMainForm& w = Start("unit-me.json");
    ports = {silent.SlavePath(), unit->PortPath()};
    w.RightColumn->FindUnitButton->probe = [](const std::vector<std::string>& listed) {
        CProbeSettings quick;
        quick.replyTimeoutMs = 1000;
        quick.writePause = Ms(0);
        return ProbeForUnits(listed, quick);
    };
    w.RightColumn->FindUnitButton->click();
    // Connect waits for the search, which holds the ports.
    EXPECT_FALSE(w.RightColumn->FindUnitButton->isEnabled());
    EXPECT_FALSE(w.RightColumn->ConnectButton->isEnabled());
    ASSERT_TRUE(
        PumpUntil([&] { return !w.RightColumn->FindUnitButton->IsSearching(); }, Ms(10000)));
    EXPECT_TRUE(w.RightColumn->FindUnitButton->isEnabled());
    EXPECT_TRUE(w.RightColumn->ConnectButton->isEnabled());

    const auto* box = static_cast<TComPortBox*>(w.RightColumn->ComPortBox);
    ASSERT_EQ(box->count(), 2);
    EXPECT_EQ(box->currentText().toStdString(), unit->PortPath());
    EXPECT_EQ(box->ShownText(0).toStdString(), silent.SlavePath());
    EXPECT_EQ(box->ShownText(1), QString::fromStdString(unit->PortPath()) +
                                     QStringLiteral("  \u2013  unit found: SIEMENS MC35i"));
    EXPECT_EQ(UnitCommands(*unit), Strings{"ATI"});

    ASSERT_TRUE(Connect());
    // Connected, the port is the window's: no search while it is open.
    EXPECT_FALSE(w.RightColumn->FindUnitButton->isEnabled());
}

// The LED hint cancelled opens nothing; a port that cannot be opened shows the port's own
// words and leaves the tool as it was, ready to connect to the right port. A connect starts
// from an unknown unit: the unit read before leaves the identity panel as soon as the next
// connect starts, and stays gone when that one ends without a unit.
TEST_F(Connecting, NothingOpensWhenTheHintIsCancelledOrThePortIsMissing) {
    TMainForm& w = Start("unit-me.json");
    dialogs.Then(DialogScript::Press("CancelButton"));
    ASSERT_TRUE(Click(w.RightColumn->ConnectButton));
    EXPECT_EQ(dialogs.Seen().size(), 1u);
    EXPECT_TRUE(ShowsDisconnected());
    EXPECT_TRUE(unit->CommandLog().empty());

    ASSERT_TRUE(Connect());
    ASSERT_TRUE(Click(w.RightColumn->ConnectButton));  // disconnects; the unit read stays shown
    const QLabel* identity = w.RightColumn->UnitIdentityLabel;
    EXPECT_FALSE(identity->isHidden());
    const QString missing = QString::fromStdString(PathOf("ttyGone"));
    w.RightColumn->ComPortBox->setEditText(missing);
    dialogs.Then(DialogScript::Press("OkButton"));
    dialogs.Then(
        DialogScript::Box([identity](QMessageBox&) { EXPECT_TRUE(identity->isHidden()); }));
    ASSERT_TRUE(Click(w.RightColumn->ConnectButton));
    ASSERT_EQ(dialogs.Seen().size(), 4u);
    EXPECT_EQ(dialogs.Seen()[3],
              "critical: Could not open com port. Com port might be already in use.\n"
              "No such device: " +
                  missing.toStdString());
    EXPECT_TRUE(ShowsDisconnected());
    EXPECT_TRUE(identity->isHidden());

    w.RightColumn->ComPortBox->setEditText(QString::fromStdString(unit->PortPath()));
    EXPECT_TRUE(Connect());
}

// The SIM stays busy after its PIN, so the connect waits for it; closing the window then stops
// the worker before anything the waiting step reads (the PIN-asked flag) is taken down, and the
// connect is on record as cancelled.
TEST_F(Connecting, ClosingTheWindowWhileWaitingForTheSimStopsTheWorkerFirst) {
    CUnitState state = DataState("unit-pinlocked.json");
    state.sim.busyMs = 60000;
    TMainForm& w = Start(state);
    dialogs.Then(DialogScript::Press("OkButton"));
    dialogs.Then(DialogScript::TypeCodes(QStringLiteral("1234")));
    w.RightColumn->ConnectButton->click();
    ASSERT_TRUE(PumpUntil([&] { return Sent("AT+CPBR=45") >= 2; }));
    form.reset();
    EXPECT_TRUE(PumpUntil([&] { return CComPort::CanOpen(unit->PortPath()); }, Ms(2000)));
    const CsvFile records = ReadCsv(PathOf("records.csv"));
    ASSERT_EQ(records.rows.size(), 1u);
    EXPECT_EQ(records.rows[0].at("Operation") + " " + records.rows[0].at("Result"),
              "Connect CANCELLED");
}

// The adapter pulled out while the tool sits connected: the poll's failure shows like any
// other, and the window is disconnected instead of polling a dead line.
TEST_F(Connecting, AnAdapterPulledOutWhileIdleDisconnectsWithThePortsMessage) {
    TMainForm& w = Start("unit-me.json");
    ASSERT_TRUE(Connect());
    unit->HangUp();
    ASSERT_TRUE(PumpUntil([&] { return dialogs.Seen().size() == 2 && !w.Sequencer().IsOpen(); }));
    const std::string failed = "critical: " + Text("OPERATION_FAILED_MESSAGE") + "\n" +
                               Text("CONTROLLER_SIGNAL_CHECK_DESCRIPTION") + "\n";
    EXPECT_EQ(dialogs.Seen()[1].rfind(failed, 0), 0u) << dialogs.Seen()[1];
    EXPECT_GT(dialogs.Seen()[1].size(), failed.size());
    EXPECT_TRUE(ShowsDisconnected());
}

// Connect while connected disconnects without the hint; the current side goes, the new side
// and the write marks stay for the next unit. "Don't show this again" ticked once, the next
// connects go ahead without the hint; the choice is kept in the settings file. A records file
// that cannot be written costs the connects nothing, and the user hears of it once a session.
TEST_F(Connecting, ConnectWhileConnectedDisconnectsAtOnceAndAHintTurnedOffStaysOff) {
    const std::string records = PathOf("records.csv");
    ASSERT_TRUE(std::filesystem::create_directory(records));
    TMainForm& w = Start("unit-me.json");
    dialogs.Then(DialogScript::Press("OkButton"));
    ASSERT_TRUE(Click(w.RightColumn->ConnectButton));
    ASSERT_TRUE(ShowsConnected());
    EditCell(w.SettingsSheet->AccessNumberList, 9, 2, QStringLiteral("+4670555"));
    w.PageControl->setCurrentWidget(w.InputMessagesSheet);
    EditCell(w.InputMessagesSheet->AlarmInputLists[0], 1, 4, QStringLiteral("Kept"));
    ASSERT_TRUE(Click(w.RightColumn->ConnectButton));
    EXPECT_EQ(dialogs.Seen().size(), 2u);
    EXPECT_TRUE(ShowsDisconnected());
    EXPECT_TRUE(w.RightColumn->SignalMeter->IndicatorLabel->text().isEmpty());
    EXPECT_TRUE(w.RightColumn->NetLogStatusLabel->text().isEmpty());
    EXPECT_EQ(w.InputMessagesSheet->AlarmInputLists[0]->cellText(0, 1), "");
    EXPECT_EQ(w.InputMessagesSheet->AlarmInputLists[0]->cellText(1, 4), "Kept");
    EXPECT_EQ(w.SettingsSheet->AccessNumberList->cellText(0, 1), "");
    EXPECT_EQ(w.SettingsSheet->AccessNumberList->cellText(9, 2), "+4670555");
    EXPECT_EQ(w.SettingsSheet->AccessNumberList->cellText(9, 3), "X");

    dialogs.Then([](QDialog& dialog) {
        dialog.findChild<QCheckBox*>(QStringLiteral("DontShowAgainCheck"))->setChecked(true);
        DialogScript::Press("OkButton")(dialog);
    });
    ASSERT_TRUE(Click(w.RightColumn->ConnectButton));
    EXPECT_TRUE(ShowsConnected());
    EXPECT_EQ(w.Settings().ReadValue(kSettingsSection, kSettingLedHint, "1"), "0");
    ASSERT_TRUE(Click(w.RightColumn->ConnectButton));  // disconnects
    ASSERT_TRUE(Click(w.RightColumn->ConnectButton));
    EXPECT_TRUE(ShowsConnected());
    ASSERT_EQ(dialogs.Seen().size(), 3u) << ::testing::PrintToString(dialogs.Seen());
    EXPECT_EQ(dialogs.Seen()[1].rfind(
                  "warning: " + Text("RECORD_NOT_WRITTEN") + "\n\n" + records + ": ", 0),
              0u)
        << dialogs.Seen()[1];
    EXPECT_EQ(dialogs.Seen()[2].rfind("LedInfoForm: ", 0), 0u);
}

}  // namespace
