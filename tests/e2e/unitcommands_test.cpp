#include <map>

#include "windowfixture.h"

namespace {

class ResetAndClearSim : public WindowOnUnit {};

// Reset Unit asks first: No leaves the unit alone. Yes erases the messages and the
// configuration store, writes the default settings and shows them read back, connected; the
// reset is checked and ends with one confirmation that says both.
TEST_F(ResetAndClearSim, ResetUnitErasesTheUnitOnlyWhenConfirmed) {
    TMainForm& w = Start("unit-me.json");
    ASSERT_TRUE(Connect());
    const CUnitState before = unit->State();
    unit->ClearCommandLog();
    dialogs.Then(DialogScript::No());
    ASSERT_TRUE(Click(w.RightColumn->ResetButton));
    EXPECT_EQ(unit->State(), before);
    EXPECT_EQ(UnitCommands(*unit), Strings{});
    EXPECT_EQ(w.InputMessagesSheet->AlarmInputLists[0]->cellText(0, 1), "Input 1 high");
    EXPECT_TRUE(ShowsConnected());

    dialogs.Then(DialogScript::Yes());
    ASSERT_TRUE(Click(w.RightColumn->ResetButton, Ms(30000)));
    const std::string question = "question: " + Text("CONFIRM_FULL_ERASE");
    EXPECT_EQ(dialogs.Seen(),
              (Strings{"LedInfoForm: " + Text("GREEN_LED_LIT"), question, question,
                       "information: " + Text("RESET_DONE") + "\n\n" + Text("VERIFIED")}));
    EXPECT_TRUE(ShowsConnected());
    EXPECT_TRUE(PollRunning());
    EXPECT_TRUE(unit->State().messages.empty());
    const std::map<int, std::string> defaults = {{58, "2"}, {59, "2"}, {60, "2"}, {61, "2"},
                                                 {62, "2"}, {63, "2"}, {64, "0"}, {65, "0"},
                                                 {66, "0"}, {67, "0"}, {68, "1"}, {69, "2"}};
    EXPECT_EQ(Numbers("ME"), defaults);
    EXPECT_EQ(unit->State().phonebooks.at("SM"), before.phonebooks.at("SM"));
    EXPECT_EQ(w.SettingsSheet->ActiveTimeCurrentEdit->text().toStdString(), "2");
    EXPECT_EQ(w.SettingsSheet->InputDelayCurrentEdits[0]->text().toStdString(), "2");
    EXPECT_EQ(w.InputMessagesSheet->AlarmInputLists[0]->cellText(0, 1), "");
    EXPECT_EQ(w.InputMessagesSheet->AlarmInputLists[6]->cellText(0, 3), "");
    EXPECT_EQ(w.SettingsSheet->AccessNumberList->cellText(0, 1), "");
}

// Clear SIM empties the SIM's phonebook whichever store holds the configuration and reads the
// configuration store back: a module-configured unit keeps everything, a SIM-configured one
// loses its configuration and, being an unconfigured unit then, asks for a restart at the
// next connect.
TEST_F(ResetAndClearSim, ClearSimEmptiesTheSimsPhonebook) {
    const struct {
        const char* file;
        const char* activeTime;  // shown after the read-back
        const char* firstAccessNumber;
        bool configurationKept;
    } cases[] = {
        {"unit-me.json", "Toggle", "+46701234567", true},
        {"unit-demo.json", "", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        TMainForm& w = Start(c.file);
        ASSERT_TRUE(Connect());
        const CUnitState before = unit->State();
        ASSERT_FALSE(before.phonebooks.at("SM").entries.empty());
        dialogs.Then(DialogScript::Yes());
        ASSERT_TRUE(Click(w.RightColumn->ClearSimButton, Ms(30000)));
        // A unit configured on the SIM loses its configuration, and the question says so; the
        // run ends with a confirmation.
        ASSERT_GE(dialogs.Seen().size(), 2u);
        EXPECT_EQ(dialogs.Seen().back(), "information: " + Text("CLEAR_SIM_DONE"));
        EXPECT_EQ(dialogs.Seen()[dialogs.Seen().size() - 2],
                  c.configurationKept ? "question: " + Text("CLEAR_SIM_CONFIRM")
                                      : "warning: " + Text("CLEAR_SIM_CONFIRM") + "\n\n" +
                                            Text("CLEAR_SIM_ERASES_CONFIGURATION"));
        EXPECT_TRUE(ShowsConnected());
        const CUnitState after = unit->State();
        EXPECT_TRUE(after.phonebooks.at("SM").entries.empty());
        EXPECT_EQ(after.phonebooks.at("ME"), before.phonebooks.at("ME"));
        EXPECT_EQ(after.messages, before.messages);
        EXPECT_EQ(w.SettingsSheet->ActiveTimeCurrentEdit->text().toStdString(), c.activeTime);
        EXPECT_EQ(w.SettingsSheet->AccessNumberList->cellText(0, 1), c.firstAccessNumber);
        EXPECT_TRUE(PollRunning());

        ASSERT_TRUE(Click(w.RightColumn->ConnectButton));
        dialogs.Then(DialogScript::Press("OkButton"));
        ASSERT_TRUE(Click(w.RightColumn->ConnectButton));
        if (c.configurationKept) {
            EXPECT_TRUE(ShowsConnected());
        } else {
            EXPECT_EQ(dialogs.Seen().back(), "information: " + Text("RESTART_UNIT"));
            EXPECT_TRUE(ShowsDisconnected());
        }
        Close();
    }
}

}  // namespace
