#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "operations/unitprobe.h"
#include "persistence/appsettings.h"
#include "support/ptypair.h"
#include "ui/alarmmessagessheet.h"
#include "ui/comportbox.h"
#include "ui/formprogress.h"
#include "ui/rightcolumn.h"
#include "ui/settingssheet.h"
#include "ui/signalmeter.h"
#include "ui/unitfinder.h"
#include "vtlist.h"
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

// The LED hint cancelled opens nothing; a port that cannot be opened shows the port's own
// words and leaves the tool as it was, ready to connect to the right port.
// Find Unit asks every listed port at once, marks the one where the unit answers, selects it,
// and gives every port back, so Connect opens the one it found.
TEST_F(Connecting, FindUnitMarksAndSelectsThePortWhereTheUnitAnswers) {
    PtyPair silent;
    TMainForm& form = Start("unit-me.json");
    listedPorts = {silent.SlavePath(), unit->PortPath()};
    form.RightColumn->FindUnitButton->probe = [](const std::vector<std::string>& ports) {
        CProbeSettings quick;
        quick.replyTimeoutMs = 1000;
        quick.writePause = Ms(0);
        return ProbeForUnits(ports, quick);
    };
    form.RightColumn->FindUnitButton->click();
    // Connect waits for the search, which holds the ports.
    EXPECT_FALSE(form.RightColumn->FindUnitButton->isEnabled());
    EXPECT_FALSE(form.RightColumn->ConnectButton->isEnabled());
    ASSERT_TRUE(
        PumpUntil([&] { return !form.RightColumn->FindUnitButton->IsSearching(); }, Ms(10000)));
    EXPECT_TRUE(form.RightColumn->FindUnitButton->isEnabled());
    EXPECT_TRUE(form.RightColumn->ConnectButton->isEnabled());

    const auto* box = static_cast<TComPortBox*>(form.RightColumn->ComPortBox);
    ASSERT_EQ(box->count(), 2);
    EXPECT_EQ(box->currentText().toStdString(), unit->PortPath());
    EXPECT_EQ(box->ShownText(0).toStdString(), silent.SlavePath());
    EXPECT_EQ(box->ShownText(1), QString::fromStdString(unit->PortPath()) +
                                     QStringLiteral("  \u2013  unit found: SIEMENS MC35i"));
    EXPECT_EQ(UnitCommands(*unit), Strings{"ATI"});

    ASSERT_TRUE(Connect());
    // Connected, the port is the window's: no search while it is open.
    EXPECT_FALSE(form.RightColumn->FindUnitButton->isEnabled());
}

TEST_F(Connecting, NothingOpensWhenTheHintIsCancelledOrThePortIsMissing) {
    TMainForm& w = Start("unit-me.json");
    dialogs.Then(DialogScript::Press("CancelButton"));
    ASSERT_TRUE(Click(w.RightColumn->ConnectButton));
    EXPECT_EQ(dialogs.Seen().size(), 1u);
    EXPECT_TRUE(ShowsDisconnected());
    EXPECT_TRUE(unit->CommandLog().empty());

    const QString missing = folder.filePath(QStringLiteral("ttyGone"));
    w.RightColumn->ComPortBox->setEditText(missing);
    dialogs.Then(DialogScript::Press("OkButton"));
    ASSERT_TRUE(Click(w.RightColumn->ConnectButton));
    ASSERT_EQ(dialogs.Seen().size(), 3u);
    EXPECT_EQ(dialogs.Seen()[2],
              "critical: Could not open com port. Com port might be already in use.\n"
              "No such device: " +
                  missing.toStdString());
    EXPECT_TRUE(ShowsDisconnected());

    w.RightColumn->ComPortBox->setEditText(QString::fromStdString(unit->PortPath()));
    EXPECT_TRUE(Connect());
}

// The PIN form is answered like a user would: the right PIN opens the SIM, the PUK form
// takes the PUK and a new PIN.
TEST_F(Connecting, ALockedSimIsOpenedWithTheTypedCode) {
    const struct {
        int pinTries;
        const char* pin;
        const char* puk;
        const char* instructions;
        const char* form;  // the tries left and whether the PUK field takes input
    } cases[] = {
        {3, "1234", "", "CONTROLLER_PIN_ENTER_PIN", " 3"},
        {0, "4321", "12345678", "CONTROLLER_PIN_ENTER_PUK", " 10 PUK"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pinTries);
        CUnitState state = DataState("unit-pinlocked.json");
        state.sim.pinTries = c.pinTries;
        Start(state);
        dialogs.Then(DialogScript::Press("OkButton"));
        dialogs.Then(
            DialogScript::TypeCodes(QString::fromLatin1(c.pin), QString::fromLatin1(c.puk)));
        ASSERT_TRUE(Click(window->RightColumn->ConnectButton));
        EXPECT_TRUE(ShowsConnected());
        ASSERT_EQ(dialogs.Seen().size(), 3u);
        EXPECT_EQ(dialogs.Seen()[1], "PinPukForm: " + Text(c.instructions) + " " +
                                         Text("CONTROLLER_PIN_TRIES_LEFT") + c.form);
        // The form offers to switch the lock off, ticked; the connect then says it did.
        EXPECT_EQ(dialogs.Seen()[2], "information: " + Text("PIN_LOCK_OFF"));
        EXPECT_FALSE(unit->State().sim.lock);
        EXPECT_EQ(unit->State().sim.pin, c.pin);
        // The configuration store was found behind the lock.
        EXPECT_EQ(window->SettingsSheet->AccessNumberList->cellText(0, 1), "+46701234567");
        Close();
    }
}

TEST_F(Connecting, AWrongPinNamesThePinStepAndTheNextPromptCountsTheTryUsed) {
    TMainForm& w = Start("unit-pinlocked.json");
    dialogs.Then(DialogScript::Press("OkButton"));
    dialogs.Then(DialogScript::TypeCodes(QStringLiteral("1111")));
    ASSERT_TRUE(Click(w.RightColumn->ConnectButton));
    ASSERT_EQ(dialogs.Seen().size(), 3u) << ::testing::PrintToString(dialogs.Seen());
    EXPECT_EQ(dialogs.Seen()[2], "critical: " + Text("OPERATION_FAILED_MESSAGE") + "\n" +
                                     Text("CONTROLLER_PIN_DESCRIPTION"));
    EXPECT_TRUE(ShowsDisconnected());

    dialogs.Then(DialogScript::Press("OkButton"));
    dialogs.Then(DialogScript::Press("CancelButton"));
    ASSERT_TRUE(Click(w.RightColumn->ConnectButton));
    ASSERT_EQ(dialogs.Seen().size(), 6u) << ::testing::PrintToString(dialogs.Seen());
    EXPECT_EQ(dialogs.Seen()[4], "PinPukForm: " + Text("CONTROLLER_PIN_ENTER_PIN") + " " +
                                     Text("CONTROLLER_PIN_TRIES_LEFT") + " 2");
    // Cancelled: no code was sent, so the SIM still has its two tries.
    EXPECT_EQ(dialogs.Seen()[5], dialogs.Seen()[2]);
    EXPECT_EQ(unit->State().sim.pinTries, 2);
    EXPECT_TRUE(ShowsDisconnected());
}

// While the unit does not answer, Cancel in the progress window ends the read at once and
// disconnects without a message; closing the window mid-run stops the run and lets the port go.
TEST_F(Connecting, CancelOrClosingTheWindowMidRunStopsTheRunAtOnce) {
    TMainForm& w = Start("unit-me.json");
    // A reply time-out of a minute: only the cancel or the close can end the read in time.
    w.Sequencer().OnControllerQueued = [](IController& controller) {
        MakeQuick(controller, 60000);
    };
    unit->AddFault({"AT+CPBR=64", 1, true, CCommandFault::Action::Ignore, ""});
    dialogs.Then(DialogScript::Press("OkButton"));
    w.RightColumn->ConnectButton->click();
    ASSERT_TRUE(PumpUntil([&] { return Sent("AT+CPBR=64") == 1; }));
    EXPECT_TRUE(w.ProgressForm().isVisible());
    EXPECT_FALSE(w.isEnabled());
    EXPECT_EQ(w.RightColumn->ConnectButton->text().toStdString(), Text("DISCONNECT"));
    EXPECT_FALSE(w.ProgressForm().DescriptionLabel->text().isEmpty());
    w.ProgressForm().CancelButton->click();
    EXPECT_TRUE(ShowsDisconnected());
    // Nothing more arrives: no message, and no run left to go on.
    const std::size_t sent = unit->CommandCount();
    EXPECT_FALSE(PumpUntil([&] { return dialogs.Seen().size() > 1; }, Ms(300)));
    EXPECT_EQ(unit->CommandCount(), sent);

    dialogs.Then(DialogScript::Press("OkButton"));
    w.RightColumn->ConnectButton->click();
    ASSERT_TRUE(PumpUntil([&] { return Sent("AT+CPBR=64") == 2; }));
    const auto started = std::chrono::steady_clock::now();
    window.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
    EXPECT_TRUE(PumpUntil([&] { return CComPort::CanOpen(unit->PortPath()); }, Ms(2000)));
}

// The SIM stays busy after its PIN, so the connect waits for it; closing the window then stops
// the worker before anything the waiting step reads (the PIN-asked flag) is taken down.
TEST_F(Connecting, ClosingTheWindowWhileWaitingForTheSimStopsTheWorkerFirst) {
    CUnitState state = DataState("unit-pinlocked.json");
    state.sim.busyMs = 60000;
    TMainForm& w = Start(state);
    dialogs.Then(DialogScript::Press("OkButton"));
    dialogs.Then(DialogScript::TypeCodes(QStringLiteral("1234")));
    w.RightColumn->ConnectButton->click();
    ASSERT_TRUE(PumpUntil([&] { return Sent("AT+CPBR=45") >= 2; }));
    window.reset();
    EXPECT_TRUE(PumpUntil([&] { return CComPort::CanOpen(unit->PortPath()); }, Ms(2000)));
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
// and the write marks stay for the next unit.
TEST_F(Connecting, ConnectWhileConnectedDisconnectsAtOnce) {
    TMainForm& w = Start("unit-me.json");
    ASSERT_TRUE(Connect());
    EditCell(w.SettingsSheet->AccessNumberList, 9, 2, QStringLiteral("+4670555"));
    w.PageControl->setCurrentWidget(w.InputMessagesSheet);
    EditCell(w.InputMessagesSheet->AlarmInputLists[0], 1, 4, QStringLiteral("Kept"));
    ASSERT_TRUE(Click(w.RightColumn->ConnectButton));
    EXPECT_EQ(dialogs.Seen().size(), 1u);
    EXPECT_TRUE(ShowsDisconnected());
    EXPECT_TRUE(w.RightColumn->SignalMeter->IndicatorLabel->text().isEmpty());
    EXPECT_TRUE(w.RightColumn->NetLogStatusLabel->text().isEmpty());
    EXPECT_EQ(w.InputMessagesSheet->AlarmInputLists[0]->cellText(0, 1), "");
    EXPECT_EQ(w.InputMessagesSheet->AlarmInputLists[0]->cellText(1, 4), "Kept");
    EXPECT_EQ(w.SettingsSheet->AccessNumberList->cellText(0, 1), "");
    EXPECT_EQ(w.SettingsSheet->AccessNumberList->cellText(9, 2), "+4670555");
    EXPECT_EQ(w.SettingsSheet->AccessNumberList->cellText(9, 3), "X");
}

}  // namespace

namespace {

class LedHint : public WindowOnUnit {};

// "Don't show this again" ticked once, the next connects go ahead without the hint; the
// choice is kept in the settings file.
TEST_F(LedHint, TurnedOffItIsNotShownAgain) {
    TMainForm& w = Start("unit-me.json");
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
    EXPECT_EQ(dialogs.Seen().size(), 1u) << ::testing::PrintToString(dialogs.Seen());
}

}  // namespace
