#include <QProgressBar>
#include <algorithm>

#include <gmock/gmock.h>

#include "operations/unitsequencer.h"
#include "ui/changedisplay.h"
#include "windowfixture.h"

namespace {

class Writing : public WindowOnUnit {};

// Values that cannot be sent as they are: refused with the error box, which names every
// refused value, before anything is stopped or sent; the first value is selected, and the unit
// stays connected and polled. (A store too small for the settings is refused the same way:
// model.ConfigurationModelValidationTest.)
TEST_F(Writing, RefusedValuesSendNothingAndKeepTheConnection) {
    TMainForm& w = Start("unit-me.json");
    ASSERT_TRUE(Connect());
    w.PageControl->setCurrentWidget(w.InputMessagesSheet);
    TVTList* input2 = w.InputMessagesSheet->AlarmInputLists[1];
    EditCell(input2, 0, 4, QStringLiteral("Tilde ~ here"));
    EditCell(input2, 1, 5, QStringLiteral("0701"));
    w.PageControl->setCurrentWidget(w.SettingsSheet);
    unit->ClearCommandLog();
    ASSERT_TRUE(Click(w.RightColumn->WriteButton));
    EXPECT_EQ(dialogs.Seen().back(),
              "critical: " + Text("INVALID_DATA") +
                  "\nInput 2, Row 1, New Text: has a character the unit cannot store"
                  "\nInput 2, Row 2, New Number: has no country code (it must start with +)");
    EXPECT_EQ(w.PageControl->currentWidget(), w.InputMessagesSheet);
    EXPECT_EQ(input2->currentRow(), 0);
    EXPECT_EQ(input2->currentColumn(), 4);
    EXPECT_TRUE(ShowsConnected());
    EXPECT_TRUE(PollRunning());
    EXPECT_EQ(Sent("AT+CMG"), 0);
    EXPECT_EQ(Sent("AT+CPBW"), 0);
    EXPECT_EQ(input2->cellText(0, 4), "Tilde ~ here");
}

// The adapter pulled out while the messages are rewritten: the run ends with the error box that
// names the step and gives the port's words, and the tool goes on to connect another unit.
TEST_F(Writing, AnAdapterPulledOutEndsTheRunAndTheToolConnectsAgain) {
    TMainForm& w = Start("unit-me.json");
    ASSERT_TRUE(Connect());
    w.PageControl->setCurrentWidget(w.InputMessagesSheet);
    EditCell(w.InputMessagesSheet->AlarmInputLists[0], 0, 4, QStringLiteral("Changed"));
    unit->SetStoreIndexFault(1);
    unit->SetHangUpAfter(40);
    ASSERT_TRUE(Click(w.RightColumn->WriteButton, Ms(15000)));
    // The port fails as soon as the unit closes its end, which may be just before the unit
    // notes that it hung up.
    ASSERT_TRUE(PumpUntil([&] { return unit->IsHungUp(); }));
    ASSERT_EQ(dialogs.Seen().size(), 2u) << ::testing::PrintToString(dialogs.Seen());
    // The line drops while the messages are stored again: the step in words, the port's own
    // words, and that the unit now holds part of the new configuration.
    const std::string failed = "critical: " + Text("OPERATION_FAILED_MESSAGE") + "\n" +
                               Text("CONTROLLER_WRITE_SMS_DESCRIPTION") + "\n";
    const std::string partly = "\n" + Text("UNIT_PARTLY_WRITTEN");
    EXPECT_THAT(
        dialogs.Seen()[1],
        ::testing::AnyOf(failed + "An error occured when reading data from com port!" + partly,
                         failed + "Could not write data to com port!" + partly));
    EXPECT_TRUE(ShowsDisconnected());

    auto second = StartUnit(DataState("unit-demo.json"));
    w.RightColumn->ComPortBox->setEditText(QString::fromStdString(second->PortPath()));
    EXPECT_TRUE(Connect());
    EXPECT_EQ(w.SettingsSheet->AccessNumberList->cellText(9, 1), "+46311234567");
    form.reset();
}

// Alarm texts and numbers typed into their grids, a message deleted, one more input calling,
// access numbers and settings changed: what the line above Write counts before the write is
// what the write then sends, and the new values that differ from the unit's are marked until
// then. The write ends with the plug hint, disconnected; the unit holds the new values and
// unchanged ones are not sent. The progress bar moves through the connect's steps.
TEST_F(Writing, TheCountBeforeWriteIsWhatWriteSendsToTheUnit) {
    TMainForm& w = Start("unit-me.json");
    ASSERT_TRUE(Connect());
    EXPECT_GE(w.ProgressForm().ProgressBar->value(), TFormProgress::kRunScale * 8 / 10);
    EXPECT_TRUE(w.Changes().IsUnitKnown());
    EXPECT_EQ(w.Changes().Pending(), CPendingChanges{});

    w.PageControl->setCurrentWidget(w.InputMessagesSheet);
    EditCell(w.InputMessagesSheet->AlarmInputLists[0], 2, 4, QStringLiteral("Door open"));
    EditCell(w.InputMessagesSheet->AlarmInputLists[1], 0, 5, QStringLiteral("+46701110000"));
    ClickCell(w.InputMessagesSheet->AlarmInputLists[2], 3, 7);  // delete a message
    ClickCell(w.InputMessagesSheet->AlarmInputLists[0], 0,
              6);  // input 1 now calls too: the call flags change
    w.PageControl->setCurrentWidget(w.SettingsSheet);
    EditCell(w.SettingsSheet->AccessNumberList, 7, 2, QStringLiteral("+46709998877"));
    EditCell(w.SettingsSheet->AccessNumberList, 9, 2, QStringLiteral("+46709998866"));
    w.Presenters()[0]->SetNewValue(std::string("30"));
    w.Presenters()[7]->SetNewValue(std::string("9"));
    w.RefreshChanges();
    const CPendingChanges expected{3, 2, 3};  // two settings and the call flags
    EXPECT_EQ(w.Changes().Pending(), expected);
    EXPECT_EQ(w.RightColumn->ChangeCountLabel->text().toStdString(),
              Text("CHANGES_TO_WRITE") + "\n" + Text("CHANGES_SETTINGS") + ": 3\n" +
                  Text("CHANGES_ACCESS_NUMBERS") + ": 2\n" + Text("CHANGES_MESSAGES") + ": 3");
    // The changed values are marked; what is as on the unit is not.
    EXPECT_TRUE(w.Changes().IsChangedSmsCell(2, 4));
    EXPECT_FALSE(w.Changes().IsChangedSmsCell(3, 4));
    EXPECT_TRUE(w.Changes().IsChangedSmsCell(11, 7));
    EXPECT_TRUE(w.Changes().IsChangedSetting(0));
    EXPECT_FALSE(w.Changes().IsChangedSetting(1));
    EXPECT_TRUE(w.SettingsSheet->ActiveTimeNewCombo->property("changed").toBool());
    EXPECT_TRUE(w.Changes().IsChangedAccessCell(7, 2));
    TVTList::TCellStyle style = w.SettingsSheet->AccessNumberList->cellStyle(7, 2);
    EXPECT_EQ(style.background, TChangeDisplay::ChangedColour());

    unit->ClearCommandLog();
    dialogs.Then(DialogScript::Press("OkButton"));
    ASSERT_TRUE(Click(w.RightColumn->WriteButton, Ms(30000)));
    EXPECT_EQ(dialogs.Seen().back(),
              "PlugInfoForm: " + Text("VERIFIED") + "\n\n" + Text("RECONNECT_PLUGS"));
    EXPECT_EQ(dialogs.Seen().size(), 2u) << ::testing::PrintToString(dialogs.Seen());
    EXPECT_TRUE(ShowsDisconnected());
    const CRunSummary& run = w.Sequencer().LastRun();
    EXPECT_EQ(run.messagesWritten + run.messagesErased, expected.messages);
    EXPECT_EQ(run.accessNumbersWritten, expected.accessNumbers);
    EXPECT_EQ(run.settingsWritten, expected.settings);
    EXPECT_EQ(Sent("AT+CPBW="), expected.accessNumbers + expected.settings);
    EXPECT_GE(w.ProgressForm().ProgressBar->value(), TFormProgress::kRunScale * 7 / 10);
    // Disconnected, there is no unit to differ from.
    EXPECT_FALSE(w.Changes().IsUnitKnown());
    EXPECT_FALSE(w.SettingsSheet->ActiveTimeNewCombo->property("changed").toBool());

    const CUnitState state = unit->State();
    // The deleted message keeps its place, emptied: the unit always holds its 28.
    EXPECT_EQ(state.messages.size(), 28u);
    EXPECT_EQ(state.messages.at(12).text, "");
    EXPECT_EQ(state.messages.at(3).text, "Door open");
    EXPECT_EQ(state.messages.at(1).text, "Input 1 high");
    EXPECT_EQ(Numbers("ME")[8], "+46709998877");
    EXPECT_EQ(Numbers("ME")[69], "30");
    EXPECT_EQ(Numbers("ME")[65], "65");
    EXPECT_EQ(Numbers("ME")[68], "3");
    // The new values stay in the window for the next unit, and reconnecting shows them as the
    // unit's own.
    EXPECT_EQ(w.InputMessagesSheet->AlarmInputLists[0]->cellText(2, 4), "Door open");
    ASSERT_TRUE(Connect());
    EXPECT_EQ(w.InputMessagesSheet->AlarmInputLists[0]->cellText(2, 1), "Door open");
    EXPECT_EQ(w.SettingsSheet->AccessNumberList->cellText(7, 1), "+46709998877");
    EXPECT_EQ(w.SettingsSheet->ActiveTimeCurrentEdit->text(), QStringLiteral("30"));
    EXPECT_EQ(w.InputMessagesSheet->AlarmInputLists[0]->cellText(3, 3), "X");
}

}  // namespace
