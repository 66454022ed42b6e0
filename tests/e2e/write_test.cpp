#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>

#include <gmock/gmock.h>

#include "model/guihelper.h"
#include "operations/unitsequencer.h"
#include "ui/alarmmessagessheet.h"
#include "ui/changedisplay.h"
#include "ui/formprogress.h"
#include "ui/rightcolumn.h"
#include "ui/settingssheet.h"
#include "vtlist.h"
#include "windowfixture.h"

namespace {

class Writing : public WindowOnUnit {
protected:
    // The unit's number at `position` of its module store, "" when the position is empty.
    std::string Stored(int position) const {
        const CPhonebook store = unit->State().phonebooks.at("ME");
        const auto entry = store.entries.find(position);
        return entry == store.entries.end() ? std::string() : entry->second.number;
    }
};

// One alarm text typed into its grid, one more input calling, one access number and one setting
// changed: the text is rewritten where it was (or, when the module stores it elsewhere, all 28
// are rewritten in order), the marked number, the changed setting and the call mask are
// written, unchanged settings are not, and the window disconnects after the plug hint.
TEST_F(Writing, TypedChangesReachTheUnitAndThePlugHintEndsTheRun) {
    const struct {
        int storeIndexFault;
        int messagesDeleted;
        int messagesStored;
    } cases[] = {{0, 1, 1}, {1, 1 + 28 + 1, 1 + 28}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.storeIndexFault);
        TMainForm& w = Start("unit-me.json");
        ASSERT_TRUE(Connect());
        w.PageControl->setCurrentWidget(w.InputMessagesSheet);
        EditCell(w.InputMessagesSheet->AlarmInputLists[0], 2, 4, QStringLiteral("Door open"));
        ClickCell(w.InputMessagesSheet->AlarmInputLists[0], 0, 6);  // input 1 now calls too
        w.PageControl->setCurrentWidget(w.SettingsSheet);
        EditCell(w.SettingsSheet->AccessNumberList, 7, 2, QStringLiteral("+46709998877"));
        w.Presenters()[0]->SetNewValue(std::string("30"));
        unit->SetStoreIndexFault(c.storeIndexFault);
        unit->ClearCommandLog();

        dialogs.Then(DialogScript::Press("OkButton"));
        ASSERT_TRUE(Click(w.RightColumn->WriteButton, Ms(30000)));
        EXPECT_EQ(dialogs.Seen().back(),
                  "PlugInfoForm: " + Text("VERIFIED") + "\n\n" + Text("RECONNECT_PLUGS"));
        EXPECT_EQ(dialogs.Seen().size(), 2u) << ::testing::PrintToString(dialogs.Seen());
        EXPECT_TRUE(ShowsDisconnected());

        EXPECT_EQ(Sent("AT+CMGD="), c.messagesDeleted);
        EXPECT_EQ(Sent("AT+CMGW="), c.messagesStored);
        const CUnitState state = unit->State();
        for (int index = 1; index <= 28; ++index) {
            ASSERT_TRUE(state.messages.count(index)) << index;
        }
        // The message the module misplaced beyond the unit's 28 is deleted again.
        EXPECT_EQ(state.messages.size(), 28u);
        EXPECT_EQ(state.messages.at(3).text, "Door open");
        EXPECT_EQ(state.messages.at(1).text, "Input 1 high");
        EXPECT_EQ(Sent("AT+CPBW="), 3);
        EXPECT_EQ(Stored(8), "+46709998877");
        EXPECT_EQ(Stored(69), "30");
        EXPECT_EQ(Stored(65), "65");
        EXPECT_EQ(Stored(68), "3");
        // The new values stay in the window for the next unit, and reconnecting shows them
        // as the unit's own.
        EXPECT_EQ(w.InputMessagesSheet->AlarmInputLists[0]->cellText(2, 4), "Door open");
        ASSERT_TRUE(Connect());
        EXPECT_EQ(w.InputMessagesSheet->AlarmInputLists[0]->cellText(2, 1), "Door open");
        EXPECT_EQ(w.SettingsSheet->AccessNumberList->cellText(7, 1), "+46709998877");
        EXPECT_EQ(w.SettingsSheet->ActiveTimeCurrentEdit->text(), QStringLiteral("30"));
        EXPECT_EQ(w.InputMessagesSheet->AlarmInputLists[0]->cellText(3, 3), "X");
        Close();
    }
}

// Values that cannot be sent as they are, or a store too small for the settings: refused with
// the error box, which names every refused value, before anything is stopped or sent; the first
// value is selected, and the unit stays connected and polled.
TEST_F(Writing, RefusedValuesSendNothingAndKeepTheConnection) {
    CUnitState small = DataState("unit-me.json");
    small.phonebooks.at("ME").capacity = 64;
    std::erase_if(small.phonebooks.at("ME").entries, [](const auto& e) { return e.first > 64; });
    const struct {
        CUnitState state;
        const char* text;    // typed as the new text of message 5
        const char* number;  // typed as the new receiver number of message 6
        std::vector<const char*> says;
    } cases[] = {
        {DataState("unit-me.json"),
         "Tilde ~ here",
         "0701",
         {"Input 2, Row 1, New Text: has a character the unit cannot store",
          "Input 2, Row 2, New Number: has no country code (it must start with +)"}},
        {small, "Plain", "", {"The phonebook of the unit has no room for the settings."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        TMainForm& w = Start(c.state);
        ASSERT_TRUE(Connect());
        w.PageControl->setCurrentWidget(w.InputMessagesSheet);
        EditCell(w.InputMessagesSheet->AlarmInputLists[1], 0, 4, QString::fromLatin1(c.text));
        if (*c.number != '\0') {
            EditCell(w.InputMessagesSheet->AlarmInputLists[1], 1, 5, QString::fromLatin1(c.number));
        }
        w.PageControl->setCurrentWidget(w.SettingsSheet);
        unit->ClearCommandLog();
        ASSERT_TRUE(Click(w.RightColumn->WriteButton));
        std::string says = "critical: " + Text("INVALID_DATA");
        for (const char* line : c.says) {
            says += std::string("\n") + line;
        }
        EXPECT_EQ(dialogs.Seen().back(), says);
        if (*c.number != '\0') {
            EXPECT_EQ(w.PageControl->currentWidget(), w.InputMessagesSheet);
            EXPECT_EQ(w.InputMessagesSheet->AlarmInputLists[1]->currentRow(), 0);
            EXPECT_EQ(w.InputMessagesSheet->AlarmInputLists[1]->currentColumn(), 4);
        }
        EXPECT_TRUE(ShowsConnected());
        EXPECT_TRUE(PollRunning());
        EXPECT_EQ(Sent("AT+CMG"), 0);
        EXPECT_EQ(Sent("AT+CPBW"), 0);
        EXPECT_EQ(w.InputMessagesSheet->AlarmInputLists[1]->cellText(0, 4), c.text);
        Close();
    }
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
    window.reset();
}

}  // namespace

namespace {

class ShowingChanges : public WindowOnUnit {};

// What the line above Write counts before the write is what the write then sends, and the new
// values that differ from the unit's are marked until then. The progress bar moves through the
// connect's steps.
TEST_F(ShowingChanges, TheCountBeforeWriteIsWhatWriteSends) {
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

    dialogs.Then(DialogScript::Press("OkButton"));
    ASSERT_TRUE(Click(w.RightColumn->WriteButton, Ms(30000)));
    const CRunSummary& run = w.Sequencer().LastRun();
    EXPECT_EQ(run.messagesWritten + run.messagesErased, expected.messages);
    EXPECT_EQ(run.accessNumbersWritten, expected.accessNumbers);
    EXPECT_EQ(run.settingsWritten, expected.settings);
    EXPECT_GE(w.ProgressForm().ProgressBar->value(), TFormProgress::kRunScale * 7 / 10);
    // Disconnected, there is no unit to differ from.
    EXPECT_FALSE(w.Changes().IsUnitKnown());
    EXPECT_FALSE(w.SettingsSheet->ActiveTimeNewCombo->property("changed").toBool());
}

}  // namespace
