#include <QPlainTextEdit>
#include <fstream>
#include <iterator>

#include "support/csvrows.h"
#include "ui/communicationlogform.h"
#include "windowfixture.h"

namespace {

class Recording : public WindowOnUnit {
protected:
    CsvFile Records() const { return ReadCsv(PathOf("records.csv")); }

    // Operation, result, IMEI, store and profile of a row, and whether it names the unit's
    // module, the version and, for a failure only, the failure.
    static std::string Summary(const std::map<std::string, std::string>& row) {
        const bool failed = row.at("Result") != "OK";
        EXPECT_EQ(row.at("#fields"), "18");
        EXPECT_EQ(row.at("Tool version"), SENDIBOX_VERSION);
        EXPECT_EQ(row.at("Failure").empty(), !failed || row.at("Result") == "CANCELLED");
        EXPECT_EQ(row.at("Time").size(), 25u) << row.at("Time");
        return row.at("Operation") + " " + row.at("Result") + " " + row.at("Maker") + " " +
               row.at("Model") + " " + row.at("IMEI") + " " + row.at("Store") + " " +
               row.at("Profile");
    }
};

// Each connect, write, reset and clear the window runs, on one unit after another, is a row
// of records.csv: what was done, to which unit, with which result; a failure and a cancel too.
// The identity panel names the connected unit.
TEST_F(Recording, EveryOperationIsARowWithTheUnitAndItsResult) {
    TMainForm& w = Start("unit-me.json");
    ASSERT_TRUE(Connect());
    EXPECT_EQ(w.RightColumn->UnitIdentityLabel->text(), QStringLiteral("SIEMENS MC35i"));
    EXPECT_EQ(w.RightColumn->UnitImeiLabel->text().toStdString(),
              Text("IMEI") + " 351234567890124");

    EditCell(w.SettingsSheet->AccessNumberList, 7, 2, QStringLiteral("+46709998877"));
    const std::string profile = PathOf("site.pof");
    w.ShowLoadedProfile(profile);
    dialogs.Then(DialogScript::Press("OkButton"));
    ASSERT_TRUE(Click(w.RightColumn->WriteButton));
    ASSERT_TRUE(Connect());
    dialogs.Then(DialogScript::Yes());
    ASSERT_TRUE(Click(w.RightColumn->ResetButton));
    dialogs.Then(DialogScript::Yes());
    ASSERT_TRUE(Click(w.RightColumn->ClearSimButton));
    ASSERT_TRUE(Click(w.RightColumn->ConnectButton));

    // Cancelled while the unit does not answer. With a reply time-out of a minute only the
    // cancel can end the read in time: it ends at once and disconnects without a message, and
    // no run is left to go on.
    w.Sequencer().OnControllerQueued = [](IController& controller) {
        MakeQuick(controller, 60000);
    };
    const int asked = Sent("AT+CPBR=64");
    unit->AddFault({"AT+CPBR=64", 1, true, CCommandFault::Action::Ignore, ""});
    dialogs.Then(DialogScript::Press("OkButton"));
    w.RightColumn->ConnectButton->click();
    ASSERT_TRUE(PumpUntil([&] { return Sent("AT+CPBR=64") > asked; }));
    EXPECT_TRUE(w.ProgressForm().isVisible());
    EXPECT_FALSE(w.isEnabled());
    EXPECT_EQ(w.RightColumn->ConnectButton->text().toStdString(), Text("DISCONNECT"));
    EXPECT_FALSE(w.ProgressForm().DescriptionLabel->text().isEmpty());
    const std::size_t seen = dialogs.Seen().size();
    w.ProgressForm().CancelButton->click();
    ASSERT_TRUE(ShowsDisconnected());
    const std::size_t sent = unit->CommandCount();
    EXPECT_FALSE(PumpUntil([&] { return dialogs.Seen().size() > seen; }, Ms(300)));
    EXPECT_EQ(unit->CommandCount(), sent);
    Close();

    // Another unit, which has not been given its configuration: the connect fails.
    CUnitState other = DataState("unit-unconfigured.json");
    other.imei = "351234567890132";
    Start(other);
    dialogs.Then(DialogScript::Press("OkButton"));
    ASSERT_TRUE(Click(form->RightColumn->ConnectButton));
    EXPECT_EQ(dialogs.Seen().back(), "information: " + Text("RESTART_UNIT"));

    const CsvFile records = Records();
    EXPECT_EQ(records.byteOrderMark, "\xEF\xBB\xBF");
    EXPECT_EQ(records.header.front(), "Time");
    std::vector<std::string> rows;
    for (const auto& row : records.rows) {
        rows.push_back(Summary(row));
    }
    const std::string me = "SIEMENS MC35i 351234567890124 ME ";
    EXPECT_EQ(rows,
              (std::vector<std::string>{
                  "Connect OK " + me, "Write OK " + me + profile, "Connect OK " + me + profile,
                  // Reset Unit leaves no profile behind.
                  "Reset Unit OK " + me, "Clear SIM OK " + me, "Connect CANCELLED " + me,
                  // No store holds a configuration.
                  "Connect FAILED SIEMENS MC35i 351234567890132  "}));
    ASSERT_EQ(records.rows.size(), 7u);
    const auto& write = records.rows[1];
    EXPECT_EQ(write.at("Access numbers written"), "1");
    EXPECT_EQ(write.at("Unit changed"), "yes");
    EXPECT_EQ(records.rows[0].at("Unit changed"), "no");
    EXPECT_EQ(records.rows[3].at("Messages erased"), "28");
    // Only the SIM's occupied positions were erased: its private contacts.
    EXPECT_EQ(records.rows[4].at("Entries erased"),
              std::to_string(DataState("unit-me.json").phonebooks.at("SM").entries.size()));
    EXPECT_EQ(records.rows[5].at("Messages written"), "");
    EXPECT_EQ(records.rows[6].at("Failure"), Text("RESTART_UNIT"));
}

// A cancelled PIN prompt sends no code, and a wrong PIN names the PIN step; each prompt counts
// the tries left. With none left the PIN form takes the PUK and a new PIN, and offers to switch
// the lock off, ticked; the connect then says it did. The codes are in the communication log
// only as stars; a module that will not give its serial number is still the unit's module, its
// number unknown.
TEST_F(Recording, ALockedSimTakesTheCodesTypedAndTheLogMasksThem) {
    CUnitState state = DataState("unit-pinlocked.json");
    state.sim.pinTries = 1;
    TMainForm& w = Start(state);
    unit->AddFault({"AT+CGSN", 3, false, CCommandFault::Action::Error, ""});
    for (const DialogScript::Answer& answer :
         {DialogScript::Press("CancelButton"), DialogScript::TypeCodes(QStringLiteral("1111")),
          DialogScript::TypeCodes(QStringLiteral("4321"), QStringLiteral("12345678"))}) {
        dialogs.Then(DialogScript::Press("OkButton"));
        dialogs.Then(answer);
        ASSERT_TRUE(Click(w.RightColumn->ConnectButton));
    }
    ASSERT_TRUE(ShowsConnected());
    const std::string led = "LedInfoForm: " + Text("GREEN_LED_LIT");
    const std::string pin = "PinPukForm: " + Text("CONTROLLER_PIN_ENTER_PIN") + " " +
                            Text("CONTROLLER_PIN_TRIES_LEFT") + " 1";
    const std::string failed =
        "critical: " + Text("OPERATION_FAILED_MESSAGE") + "\n" + Text("CONTROLLER_PIN_DESCRIPTION");
    EXPECT_EQ(dialogs.Seen(), (Strings{led, pin, failed, led, pin, failed, led,
                                       "PinPukForm: " + Text("CONTROLLER_PIN_ENTER_PUK") + " " +
                                           Text("CONTROLLER_PIN_TRIES_LEFT") + " 10 PUK",
                                       "information: " + Text("PIN_LOCK_OFF")}));
    EXPECT_FALSE(unit->State().sim.lock);
    EXPECT_EQ(unit->State().sim.pin, "4321");
    // The configuration store was found behind the lock.
    EXPECT_EQ(w.SettingsSheet->AccessNumberList->cellText(0, 1), "+46701234567");
    EXPECT_EQ(w.RightColumn->UnitIdentityLabel->text(), QStringLiteral("SIEMENS MC35i"));
    EXPECT_EQ(w.RightColumn->UnitImeiLabel->text().toStdString(),
              Text("IMEI") + " " + Text("UNKNOWN"));
    ASSERT_EQ(Records().rows.size(), 3u);
    EXPECT_EQ(Records().rows[2].at("IMEI"), "");

    w.CommunicationLogMenu->trigger();
    TCommunicationLogForm& log = w.CommunicationLogForm();
    ASSERT_TRUE(log.isVisible());
    const QString shown = log.LogText->toPlainText();
    for (const char* sent :
         {"-> AT+CPIN=****<CR>", "-> AT+CPIN=********,****<CR>", "-> AT+CLCK=\"SC\",0,****<CR>"}) {
        EXPECT_TRUE(shown.contains(QLatin1String(sent))) << sent << "\n" << shown.toStdString();
    }
    EXPECT_TRUE(shown.contains(QStringLiteral("ERROR<CR><LF>")));
    log.FindEdit->setText(QStringLiteral("CControllerUnitIdentity"));
    EXPECT_TRUE(log.FindNext());
    EXPECT_EQ(log.LogText->textCursor().selectedText(), QStringLiteral("CControllerUnitIdentity"));
    // The signal poll goes on, and the window follows it.
    EXPECT_TRUE(PumpUntil([&] {
        return log.LogText->toPlainText().count(QStringLiteral("AT+CSQ")) >
               shown.count(QStringLiteral("AT+CSQ")) + 1;
    }));
    const std::string saved = PathOf("log.txt");
    std::string error;
    ASSERT_TRUE(log.SaveTo(saved, error)) << error;
    std::ifstream in(saved, std::ios::binary);
    const std::string text(std::istreambuf_iterator<char>(in), {});
    EXPECT_NE(text.find("-> AT+CPIN=****<CR>\n"), std::string::npos);
}

}  // namespace
