#include "cli/jobrunner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "cli/clifixture.h"
#include "core/inifile.h"
#include "persistence/profilefile.h"
#include "seriallink/comport.h"
#include "support/waituntil.h"

namespace {

using Clock = std::chrono::steady_clock;

class CliJobTest : public CliTest {
protected:
    // The new side of unit-me as a connect leaves it (the unit's settings, no texts, no marks)
    // with a few new values: one alarm text and its receiver, one access number marked for
    // writing, the active time.
    std::string EditedProfile() {
        const std::string file = PathOf("edited.pof");
        auto unit = StartUnit(DataState("unit-me.json"));
        EXPECT_EQ(
            RunCli({"read", "--values", "new", "--port", unit->PortPath(), "--profile", file}), 0)
            << Results();
        CIniFile ini(file);
        ini.WriteString(CProfileFile::kSmsTextSection, "2", "Door open");
        ini.WriteString(CProfileFile::kSmsNumberSection, "2", "+46700000002");
        ini.WriteString(CProfileFile::kPhoneBookNumberSection, "7", "+46709998877");
        ini.WriteString(CProfileFile::kPhoneBookWriteSection, "7", "X");
        ini.WriteString(CProfileFile::kPhoneBookNumberSection, "68", "30");
        return file;
    }
};

// --- read ------------------------------------------------------------------------------------

TEST_F(CliJobTest, ReadSavesWhatTheWindowSavesAfterTheSameCommands) {
    auto cliUnit = StartUnit(DataState("unit-demo.json"));
    auto windowUnit = StartUnit(DataState("unit-demo.json"));
    const std::string cliFile = PathOf("cli.pof");
    const std::string windowFile = PathOf("window.pof");

    ASSERT_EQ(RunCli({"read", "--port", cliUnit->PortPath(), "--profile", cliFile}), 0)
        << Results();
    EXPECT_EQ(Results(), cliUnit->PortPath() + ": OK current values saved to " + cliFile + "\n");
    {
        WindowRun window(*windowUnit);
        ASSERT_TRUE(window.Connect());
        window.Save(windowFile, CProfileFile::kSaveCurrentValues);
        window.Disconnect();
    }
    EXPECT_EQ(Contents(cliFile), Contents(windowFile));
    EXPECT_EQ(UnitCommands(*cliUnit), UnitCommands(*windowUnit));
    EXPECT_EQ(CountPrefix(UnitCommands(*cliUnit), "AT+CPBW"), 0);

    CIniFile saved(cliFile);
    EXPECT_EQ(saved.ReadString(CProfileFile::kSmsTextSection, "0", ""), "Alarm: front door open");
    EXPECT_EQ(saved.ReadString(CProfileFile::kPhoneBookNumberSection, "0", ""), "+46701234567");
    EXPECT_EQ(saved.ReadString(CProfileFile::kPhoneBookWriteSection, "0", ""), "X");

    // One progress line per step, never the same step twice in a row.
    const std::string progress = Progress();
    EXPECT_NE(progress.find(cliUnit->PortPath() + ": Checking the connection to the unit...\n"),
              std::string::npos)
        << progress;
    EXPECT_EQ(progress.find("Reading alarm messages...\n" + cliUnit->PortPath() +
                            ": Reading alarm messages...\n"),
              std::string::npos);
}

TEST_F(CliJobTest, ReadOfSeveralUnitsGivesAFileEachAndTheNewSideOnRequest) {
    auto first = StartUnit(DataState("unit-me.json"));
    auto second = StartUnit(DataState("unit-demo.json"));
    const std::string pattern = PathOf("unit-%p.pof");
    ASSERT_EQ(RunCli({"read", "--values", "new", "--port", first->PortPath(), "--port",
                      second->PortPath(), "--profile", pattern}),
              0)
        << Results();
    ASSERT_EQ(Reports().size(), 2u);
    for (const CUnitReport& report : Reports()) {
        EXPECT_TRUE(report.ok) << report.text;
        const std::string file = ProfileForPort(pattern, report.port);
        EXPECT_EQ(report.text, "OK new values saved to " + file);
        // The new side after a connect holds no texts; the settings are the unit's.
        CIniFile saved(file);
        EXPECT_EQ(saved.ReadString(CProfileFile::kSmsTextSection, "0", "-"), "");
        EXPECT_NE(saved.ReadString(CProfileFile::kPhoneBookNumberSection, "62", ""), "");
    }
}

// --- write -----------------------------------------------------------------------------------

TEST_F(CliJobTest, WriteSendsWhatTheWindowSendsAndLeavesTheSameUnit) {
    const std::string profile = EditedProfile();
    auto cliUnit = StartUnit(DataState("unit-me.json"));
    auto windowUnit = StartUnit(DataState("unit-me.json"));

    ASSERT_EQ(RunCli({"write", "--port", cliUnit->PortPath(), "--profile", profile}), 0)
        << Results();
    {
        WindowRun window(*windowUnit);
        ASSERT_TRUE(window.Connect());
        ASSERT_TRUE(window.LoadAndWrite(profile, true));
    }
    const Strings commands = UnitCommands(*cliUnit);
    EXPECT_EQ(commands, UnitCommands(*windowUnit));
    EXPECT_EQ(cliUnit->State(), windowUnit->State());

    // Message 3 rewritten in place; the marked access number, the changed active time and the
    // call mask written, the unchanged settings left alone.
    EXPECT_EQ(CountPrefix(commands, "AT+CMGD="), 1);
    EXPECT_EQ(CountPrefix(commands, "AT+CMGW="), 1);
    EXPECT_EQ(CountPrefix(commands, "AT+CPBW=8,\"+46709998877\""), 1);
    EXPECT_EQ(CountPrefix(commands, "AT+CPBW=69,\"30\""), 1);
    EXPECT_EQ(CountPrefix(commands, "AT+CPBW=65,"), 1);
    EXPECT_EQ(CountPrefix(commands, "AT+CPBW="), 3);
    const CUnitState unit = cliUnit->State();
    EXPECT_EQ(unit.messages.at(3).text, "Door open");
    EXPECT_EQ(unit.messages.at(3).address, "+46700000002");
    EXPECT_EQ(unit.phonebooks.at("ME").entries.at(8).number, "+46709998877");

    ASSERT_EQ(Reports().size(), 1u);
    EXPECT_EQ(Reports()[0].text,
              "OK wrote 1 alarm message and 3 phonebook entries. The new configuration has been "
              "written. Remove the programming cable and reconnect the plugs of the unit so that "
              "it takes up the new configuration.");
}

TEST_F(CliJobTest, WriteToThreeUnitsAtOnceTakesAboutAsLongAsOne) {
    const std::string profile = EditedProfile();
    // Paced replies make a unit's run long enough to measure, and the same for every unit.
    constexpr unsigned kLatencyMs = 2;
    const auto timeWrite = [&](int count) {
        std::vector<std::unique_ptr<CUnitSimulator>> units;
        Strings args = {"write", "--profile", profile};
        for (int i = 0; i < count; ++i) {
            units.push_back(StartUnit(DataState("unit-me.json"), kLatencyMs));
            args.insert(args.end(), {"--port", units.back()->PortPath()});
        }
        const Clock::time_point start = Clock::now();
        EXPECT_EQ(RunCli(args), 0) << Results();
        const Clock::duration taken = Clock::now() - start;
        for (const auto& unit : units) {
            EXPECT_EQ(unit->State().messages.at(3).text, "Door open");
        }
        return taken;
    };
    const Clock::duration one = timeWrite(1);
    const Clock::duration three = timeWrite(3);
    EXPECT_LT(three, 2 * one)
        << "one unit " << std::chrono::duration_cast<std::chrono::milliseconds>(one).count()
        << " ms, three units "
        << std::chrono::duration_cast<std::chrono::milliseconds>(three).count() << " ms";
    // One result line per unit.
    const std::string results = Results();
    EXPECT_EQ(std::count(results.begin(), results.end(), '\n'), 3);
}

TEST_F(CliJobTest, AnInvalidProfileReachesNoUnitAtAll) {
    const std::string profile = EditedProfile();
    CIniFile(profile).WriteString(CProfileFile::kSmsTextSection, "4", "Tilde ~ here");
    auto first = StartUnit(DataState("unit-me.json"));
    auto second = StartUnit(DataState("unit-me.json"));

    EXPECT_EQ(RunCli({"write", "--port", first->PortPath(), "--port", second->PortPath(),
                      "--profile", profile}),
              CJobRunner::kExitFailed);
    EXPECT_EQ(first->CommandCount(), 0u);
    EXPECT_EQ(second->CommandCount(), 0u);
    ASSERT_EQ(Reports().size(), 2u);
    for (const CUnitReport& report : Reports()) {
        EXPECT_EQ(report.text.rfind("FAILED Some of the new values are not valid.", 0), 0u)
            << report.text;
        EXPECT_NE(report.text.find("[alarm message 5, new text: a character the unit cannot send]"),
                  std::string::npos)
            << report.text;
    }
}

TEST_F(CliJobTest, AMissingOrForeignProfileReachesNoUnit) {
    auto unit = StartUnit(DataState("unit-me.json"));
    const std::string notAProfile = Put("notes.txt", "just some notes\n");
    for (const std::string& file : {PathOf("missing.pof"), notAProfile}) {
        EXPECT_EQ(RunCli({"write", "--port", unit->PortPath(), "--profile", file}),
                  CJobRunner::kExitFailed);
        ASSERT_EQ(Reports().size(), 1u);
        EXPECT_NE(Reports()[0].text.find(file), std::string::npos) << Reports()[0].text;
    }
    EXPECT_EQ(unit->CommandCount(), 0u);
}

TEST_F(CliJobTest, TheCountryCodeCheckFollowsTheStoredSetting) {
    const std::string profile = EditedProfile();
    CIniFile(profile).WriteString(CProfileFile::kSmsNumberSection, "2", "0700000002");
    auto unit = StartUnit(DataState("unit-me.json"));
    checkCountryCode = true;
    EXPECT_EQ(RunCli({"write", "--port", unit->PortPath(), "--profile", profile}),
              CJobRunner::kExitFailed);
    EXPECT_EQ(unit->CommandCount(), 0u);
    checkCountryCode = false;
    EXPECT_EQ(RunCli({"write", "--port", unit->PortPath(), "--profile", profile}), 0) << Results();
    EXPECT_EQ(unit->State().messages.at(3).address, "0700000002");
}

// --- reset and clear-sim ---------------------------------------------------------------------

TEST_F(CliJobTest, ResetAndClearSimSendWhatTheWindowSends) {
    // Both erase position by position; small stores keep the runs short. (The SIM wait reads
    // position 45.)
    CUnitState start = DataState("unit-me.json");
    start.phonebooks.at("ME").capacity = 70;
    CPhonebook& sim = start.phonebooks.at("SM");
    sim.capacity = 50;
    std::erase_if(sim.entries, [](const auto& entry) { return entry.first > 50; });
    ASSERT_FALSE(sim.entries.empty());
    struct Case {
        const char* command;
        bool (WindowRun::*operation)();
        const char* result;
        std::function<void(const CUnitState&)> check;
    };
    const Case cases[] = {
        {"reset", &WindowRun::Reset,
         "OK unit reset: access numbers and alarm messages erased, default settings written",
         [](const CUnitState& unit) {
             EXPECT_TRUE(unit.messages.empty());
             EXPECT_EQ(unit.phonebooks.at("ME").entries.size(), 12u);
             EXPECT_EQ(unit.phonebooks.at("ME").entries.at(69).number, "2");
         }},
        {"clear-sim", &WindowRun::ClearSim, "OK SIM phonebook cleared",
         [&](const CUnitState& unit) {
             EXPECT_TRUE(unit.phonebooks.at("SM").entries.empty());
             EXPECT_EQ(unit.phonebooks.at("ME"), start.phonebooks.at("ME"));
             EXPECT_EQ(unit.messages, start.messages);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        auto cliUnit = StartUnit(start);
        auto windowUnit = StartUnit(start);
        ASSERT_EQ(RunCli({c.command, "--yes", "--port", cliUnit->PortPath()}), 0) << Results();
        EXPECT_EQ(Results(), cliUnit->PortPath() + ": " + c.result + "\n");
        {
            WindowRun window(*windowUnit);
            ASSERT_TRUE(window.Connect());
            ASSERT_TRUE((window.*c.operation)());
        }
        EXPECT_EQ(UnitCommands(*cliUnit), UnitCommands(*windowUnit));
        EXPECT_EQ(cliUnit->State(), windowUnit->State());
        c.check(cliUnit->State());
    }
}

// --- the SIM's codes -------------------------------------------------------------------------

TEST_F(CliJobTest, ALockedSimIsOpenedOnlyWithTheCodeGivenAndOnlyOnce) {
    struct Case {
        const char* name;
        int pinTries;  // 0: the SIM asks for its PUK
        Strings codes;
        int status;
        const char* resultStart;
        int codesSent;
        const char* newPin;
    };
    const Case cases[] = {
        {"no code",
         3,
         {},
         1,
         "FAILED The SIM card is locked. Enter its PIN code. Tries left: 3 (give it with --pin)",
         0,
         "1234"},
        {"right PIN", 3, {"--pin", "1234"}, 0, "OK", 1, "1234"},
        {"wrong PIN", 3, {"--pin", "1111"}, 1, "FAILED The operation failed.", 1, "1234"},
        {"PUK asked, PIN given",
         0,
         {"--pin", "1234"},
         1,
         "FAILED The SIM card is blocked. Enter its PUK code and a new PIN code. Tries left: 10 "
         "(give it with --puk, and a new PIN with --pin)",
         0,
         "1234"},
        {"PUK and new PIN", 0, {"--puk", "12345678", "--pin", "4321"}, 0, "OK", 1, "4321"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CUnitState state = DataState("unit-pinlocked.json");
        state.sim.pinTries = c.pinTries;
        state.sim.busyMs = 0;
        auto unit = StartUnit(state);
        Strings args = {"read", "--port", unit->PortPath(), "--profile", PathOf("pin.pof")};
        args.insert(args.end(), c.codes.begin(), c.codes.end());
        // A wrong code shows as a time-out; keep it short.
        replyTimeoutMs = 300;
        EXPECT_EQ(RunCli(args), c.status) << Results();
        ASSERT_EQ(Reports().size(), 1u);
        EXPECT_EQ(Reports()[0].text.rfind(c.resultStart, 0), 0u) << Reports()[0].text;
        EXPECT_EQ(CountPrefix(UnitCommands(*unit), "AT+CPIN="), c.codesSent);
        EXPECT_EQ(unit->State().sim.pin, c.newPin);
    }
}

TEST_F(CliJobTest, MessagesAreTheStoredLanguagesTextsInUtf8) {
    auto unit = StartUnit(DataState("unit-pinlocked.json"));
    languageName = "Svenska";
    EXPECT_EQ(RunCli({"read", "--port", unit->PortPath(), "--profile", PathOf("x.pof")}), 1);
    ASSERT_EQ(Reports().size(), 1u);
    EXPECT_EQ(Reports()[0].text.rfind("FAILED SIM-kortet \xC3\xA4r l\xC3\xA5st. Ange PIN-koden. "
                                      "F\xC3\xB6rs\xC3\xB6k kvar: 3",
                                      0),
              0u)
        << Reports()[0].text;
}

// --- failures and exit status ----------------------------------------------------------------

TEST_F(CliJobTest, EveryUnitGetsItsLineAndOneFailureFailsTheRun) {
    auto good = StartUnit(DataState("unit-me.json"));
    auto failing = StartUnit(DataState("unit-me.json"));
    failing->AddFault({"AT+CMGL", 1, true, CCommandFault::Action::Error, ""});
    const std::string missing = PathOf("no-such-port");
    replyTimeoutMs = 300;

    EXPECT_EQ(RunCli({"reset", "--yes", "--port", good->PortPath(), "--port", failing->PortPath(),
                      "--port", missing}),
              CJobRunner::kExitFailed);
    ASSERT_EQ(Reports().size(), 3u);
    EXPECT_TRUE(Reports()[0].ok) << Reports()[0].text;
    EXPECT_EQ(Reports()[1].text,
              "FAILED The operation failed. Check the connection to the unit and try again. "
              "(CControllerReadSms)");
    EXPECT_EQ(Reports()[2].port, missing);
    EXPECT_EQ(Reports()[2].text.rfind("FAILED ", 0), 0u);
    // Nothing of the reset reached the unit whose connect failed.
    EXPECT_EQ(CountPrefix(UnitCommands(*failing), "AT+CMGD"), 0);
    // The result lines keep the order of the ports.
    const std::string results = Results();
    EXPECT_LT(results.find(good->PortPath() + ": OK"), results.find(failing->PortPath() + ":"));
    EXPECT_LT(results.find(failing->PortPath() + ":"), results.find(missing + ":"));
}

TEST_F(CliJobTest, AnUnconfiguredUnitFailsWithTheRestartNotice) {
    auto unit = StartUnit(DataState("unit-unconfigured.json"));
    EXPECT_EQ(RunCli({"clear-sim", "--yes", "--port", unit->PortPath()}), 1);
    ASSERT_EQ(Reports().size(), 1u);
    EXPECT_EQ(Reports()[0].text,
              "FAILED No configuration was found on the unit. Restart the "
              "unit and connect again.");
    EXPECT_EQ(CountPrefix(UnitCommands(*unit), "AT+CPBW"), 0);
}

TEST_F(CliJobTest, CancellingDisconnectsEveryUnitAndGivesThePortBack) {
    CUnitState state = DataState("unit-me.json");
    auto unit = StartUnit(state, 20);
    const std::string profile = PathOf("cancel.pof");
    EXPECT_EQ(RunCli({"read", "--port", unit->PortPath(), "--profile", profile},
                     [&](CJobRunner& runner) {
                         ASSERT_TRUE(WaitUntil([&] { return unit->CommandCount() >= 2; }));
                         runner.Cancel();
                     }),
              CJobRunner::kExitFailed);
    ASSERT_EQ(Reports().size(), 1u);
    EXPECT_EQ(Reports()[0].text, "FAILED cancelled");
    EXPECT_FALSE(std::filesystem::exists(profile));
    // The port was closed, so it can be opened again.
    EXPECT_TRUE(WaitUntil([&] { return CComPort::CanOpen(unit->PortPath()); }));
}

}  // namespace
