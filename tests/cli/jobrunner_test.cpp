#include "cli/jobrunner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <stdexcept>

#include "cli/clifixture.h"
#include "cli/clioutput.h"
#include "cli/commandline.h"
#include "cli/offlinecommands.h"
#include "cli/profilecheck.h"
#include "core/inifile.h"
#include "operations/unitprobe.h"
#include "persistence/profilefile.h"
#include "seriallink/comport.h"
#include "support/ptypair.h"

// Each job is compared with the same operation driven as the window's buttons drive the
// sequencer: the command line must send the same commands and leave the same unit.
namespace {

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
        EXPECT_EQ(ini.ReadString(CProfileFile::kSmsTextSection, "0", "-"), "");
        EXPECT_NE(ini.ReadString(CProfileFile::kPhoneBookNumberSection, "62", ""), "");
        ini.WriteString(CProfileFile::kSmsTextSection, "2", "Door open");
        ini.WriteString(CProfileFile::kSmsNumberSection, "2", "+46700000002");
        ini.WriteString(CProfileFile::kPhoneBookNumberSection, "7", "+46709998877");
        ini.WriteString(CProfileFile::kPhoneBookWriteSection, "7", "X");
        ini.WriteString(CProfileFile::kPhoneBookNumberSection, "68", "30");
        return file;
    }
};

TEST_F(CliJobTest, WriteSendsWhatTheWindowSendsAndLeavesTheSameUnit) {
    const std::string profile = EditedProfile();
    auto cliUnit = StartUnit(DataState("unit-me.json"));
    SequencerFixture window(DataState("unit-me.json"));

    ASSERT_EQ(RunCli({"write", "--port", cliUnit->PortPath(), "--profile", profile}), 0)
        << Results();
    ASSERT_TRUE(window.Connect());
    CProfileFile(profile).Load(window.Model(), CProfileCheck::Presenters(window.Presenters()));
    ASSERT_TRUE(window.Write());
    EXPECT_EQ(UnitCommands(*cliUnit), window.Commands());
    EXPECT_EQ(cliUnit->State(), window.Unit().State());

    // The edits reached the unit; the report below counts what was written.
    EXPECT_EQ(cliUnit->State().messages.at(3).text, "Door open");
    EXPECT_EQ(cliUnit->State().messages.at(3).address, "+46700000002");
    ASSERT_EQ(Reports().size(), 1u);
    EXPECT_EQ(Reports()[0].text,
              "OK wrote 1 alarm message and 3 phonebook entries. Verified: the unit holds the "
              "new configuration. The new configuration has been written. Remove the "
              "programming cable and reconnect the plugs of the unit so that it takes up the new "
              "configuration.");
}

// A diff reads the unit as a connect does and names every value the write above changes, in
// the write's order, without sending a single write.
TEST_F(CliJobTest, DiffListsWhatAWriteWouldChangeAndWritesNothing) {
    const std::string profile = EditedProfile();
    auto unit = StartUnit(DataState("unit-me.json"));
    const CUnitState before = unit->State();

    ASSERT_EQ(RunCli({"diff", "--port", unit->PortPath(), "--profile", profile}), 0) << Results();
    const std::string port = unit->PortPath() + ": ";
    EXPECT_EQ(Results(), port + "Message 3, Receiver: \"+46701234567\" -> \"+46700000002\"\n" +
                             port + "Message 3, Text: \"Input 1 low\" -> \"Door open\"\n" + port +
                             "Position 8: \"\" -> \"+46709998877\"\n" + port +
                             "Position 69: \"0\" -> \"30\"\n" + port +
                             "OK a write would change 4 values\n");
    for (const char* write : {"AT+CPBW=", "AT+CMGW=", "AT+CMGD="}) {
        EXPECT_EQ(CountPrefix(UnitCommands(*unit), write), 0) << write;
    }
    EXPECT_EQ(unit->State().phonebooks, before.phonebooks);
    EXPECT_EQ(unit->State().messages.at(3).text, "Input 1 low");
    // The same changes for scripts.
    ASSERT_EQ(RunCli({"diff", "--json", "--port", unit->PortPath(), "--profile", profile}), 0);
    EXPECT_NE(Results().find("\"wouldChange\":[\"Message 3, Receiver: \\\"+46701234567\\\" -> "
                             "\\\"+46700000002\\\"\",\"Message 3, Text: "),
              std::string::npos)
        << Results();

    // What the unit holds, saved as new values, is what it holds: nothing to change.
    const std::string same = PathOf("same.pof");
    ASSERT_EQ(RunCli({"read", "--values", "new", "--port", unit->PortPath(), "--profile", same}),
              0);
    ASSERT_EQ(RunCli({"diff", "--port", unit->PortPath(), "--profile", same}), 0);
    EXPECT_EQ(Results(), port + "OK the unit holds what the profile holds\n");
}

// Find Unit on the command line: every port is asked at once, and each says what it found.
TEST_F(CliJobTest, PortsProbeMarksWhereASupportedModuleAnswers) {
    auto unit = StartUnit(DataState("unit-me.json"));
    CUnitState otherState = DataState("unit-me.json");
    otherState.maker = "ACME Modems";
    auto other = StartUnit(otherState);
    PtyPair silent;
    auto busy = StartUnit(DataState("unit-me.json"));
    CComPort holder;
    holder.SetPortName(busy->PortPath());
    holder.Open();

    std::vector<CPortInfo> ports = {{silent.SlavePath(), "", "", "", "", "", ""},
                                    {unit->PortPath(), "/dev/serial/by-id/usb-FTDI-if00-port0",
                                     "FTDI", "FT232R USB UART", "A10KXYZ", "", ""},
                                    {other->PortPath(), "", "", "", "", "", ""},
                                    {busy->PortPath(), "", "", "", "", "", ""}};
    CProbeSettings quick;
    quick.replyTimeoutMs = 1000;
    quick.writePause = std::chrono::milliseconds(0);
    std::ostringstream results;
    std::ostringstream progress;
    CCliOutput output(results, progress);
    CCliOptions options;
    options.command = ECliCommand::ports;
    options.probe = true;
    const auto list = [&] { return ports; };
    const auto probe = [&](const Strings& names) { return ProbeForUnits(names, quick); };

    EXPECT_EQ(COfflineCommands::Ports(options, output, list, probe), 0);
    EXPECT_EQ(results.str(),
              silent.SlavePath() + " - no answer\n" + unit->PortPath() +
                  ": FTDI FT232R USB UART, serial A10KXYZ (/dev/serial/by-id/usb-FTDI-if00-port0) "
                  "- unit found: SIEMENS MC35i\n" +
                  other->PortPath() +
                  " - another device answers: ACME Modems MC35i REVISION 02.00\n" +
                  busy->PortPath() + " - cannot be opened: " +
                  CCliOutput::OneLine(ProbeForUnit(busy->PortPath(), quick).text) + "\n");
    EXPECT_NE(results.str().find("already in use"), std::string::npos);
    // Only "ATI" (after the ESC that releases a module left in text entry) went out.
    EXPECT_EQ(UnitCommands(*unit), Strings{"ATI"});
    EXPECT_TRUE(CComPort::CanOpen(unit->PortPath()));

    // Without a unit anywhere the search fails, and without --probe nothing is opened.
    ports.erase(ports.begin() + 1);
    EXPECT_EQ(COfflineCommands::Ports(options, output, list, probe), CJobRunner::kExitFailed);
    options.probe = false;
    results.str("");
    EXPECT_EQ(COfflineCommands::Ports(options, output, list,
                                      [](const Strings&) -> std::vector<CProbeResult> {
                                          throw std::logic_error("asked");
                                      }),
              0);
    EXPECT_EQ(results.str(),
              silent.SlavePath() + "\n" + other->PortPath() + "\n" + busy->PortPath() + "\n");
}

// A profile that cannot be written is refused before any unit is contacted; the receiver
// check follows the stored setting.
TEST_F(CliJobTest, AProfileThatCannotBeWrittenReachesNoUnit) {
    const std::string invalid = EditedProfile();
    const std::string local = Put("local.pof", Contents(invalid));
    CIniFile(invalid).WriteString(CProfileFile::kSmsTextSection, "4", "Tilde ~ here");
    CIniFile(local).WriteString(CProfileFile::kSmsNumberSection, "2", "0700000002");
    const struct {
        const char* command;
        std::string file;
        const char* says;  // in every unit's report; nothing for a file that is no profile
    } cases[] = {
        {"write", invalid, "[Input 2, Row 1, New Text: has a character the unit cannot store]"},
        {"diff", invalid, "[Input 2, Row 1, New Text: has a character the unit cannot store]"},
        {"write", local, "Input 1, Row 3, New Number: has no country code"},
        {"write", PathOf("missing.pof"), nullptr},
        {"diff", Put("notes.txt", "just some notes\n"), nullptr},
    };
    auto first = StartUnit(DataState("unit-me.json"));
    auto second = StartUnit(DataState("unit-me.json"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(RunCli({c.command, "--port", first->PortPath(), "--port", second->PortPath(),
                          "--profile", c.file}),
                  c.says != nullptr ? CJobRunner::kExitFailed : CJobRunner::kExitUsage);
        if (c.says == nullptr) {
            // A file that cannot be read is the command line's mistake: no unit has a result.
            EXPECT_EQ(Results(), "");
            continue;
        }
        ASSERT_EQ(Reports().size(), 2u);
        for (const CUnitReport& report : Reports()) {
            EXPECT_EQ(report.text.rfind("FAILED ", 0), 0u) << report.text;
            EXPECT_NE(report.text.find(c.says), std::string::npos) << report.text;
        }
    }
    EXPECT_EQ(first->CommandCount() + second->CommandCount(), 0u);

    checkCountryCode = false;
    EXPECT_EQ(RunCli({"write", "--port", first->PortPath(), "--profile", local}), 0) << Results();
    EXPECT_EQ(first->State().messages.at(3).address, "0700000002");
}

TEST_F(CliJobTest, ALockedSimIsOpenedOnlyWithTheCodeGivenAndOnlyOnce) {
    const struct {
        const char* name;
        int pinTries;  // 0: the SIM asks for its PUK
        Strings codes;
        const char* result;  // how the unit's report starts
        int codesSent;
        const char* pinAfter;
    } cases[] = {
        {"no code", 3, {}, "FAILED The SIM card is locked.", 0, "1234"},
        {"right PIN", 3, {"--pin", "1234"}, "OK", 1, "1234"},
        {"wrong PIN", 3, {"--pin", "1111"}, "FAILED The operation failed.", 1, "1234"},
        {"PUK and new PIN", 0, {"--puk", "12345678", "--pin", "4321"}, "OK", 1, "4321"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CUnitState state = DataState("unit-pinlocked.json");
        state.sim.pinTries = c.pinTries;
        state.sim.busyMs = 0;
        auto unit = StartUnit(state);
        Strings args = {"read", "--port", unit->PortPath(), "--profile", PathOf("pin.pof")};
        args.insert(args.end(), c.codes.begin(), c.codes.end());
        EXPECT_EQ(RunCli(args), c.result == std::string("OK") ? 0 : CJobRunner::kExitFailed)
            << Results();
        ASSERT_EQ(Reports().size(), 1u);
        EXPECT_EQ(Reports()[0].text.rfind(c.result, 0), 0u) << Reports()[0].text;
        EXPECT_EQ(CountPrefix(UnitCommands(*unit), "AT+CPIN="), c.codesSent);
        EXPECT_EQ(unit->State().sim.pin, c.pinAfter);
    }
}

}  // namespace
