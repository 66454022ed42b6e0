#include <gtest/gtest.h>

#include <chrono>
#include <tuple>
#include <utility>
#include <vector>

#include "cli/clifixture.h"
#include "core/inifile.h"
#include "persistence/profilefile.h"
#include "seriallink/comport.h"
#include "support/childprocess.h"

namespace {

// The program as a user starts it, its output into files.
struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

class CliProgramTest : public CliTest {
protected:
    // The program's own time-outs end every run; the bound only keeps a hang from holding the
    // suite. `environment` ("NAME=value") is added to the test's own, `input` is a file for its
    // standard input (none: an empty one).
    ProgramRun Start(Strings args, const std::string& environment = "",
                     const std::string& input = "") {
        args.insert(args.begin(), SENDIBOX_CLI_PROGRAM);
        ChildProcess program(args, PathOf("stdout"), PathOf("stderr"),
                             environment.empty() ? Strings{} : Strings{environment},
                             input.empty() ? "/dev/null" : input);
        const int status = program.Stop(0, std::chrono::seconds(60));
        return {status, Contents(PathOf("stdout")), Contents(PathOf("stderr"))};
    }
};

// What each kind of run prints where, and the status it ends with. A row's expected output is
// the whole stream, or with a leading "~" a part of it. Every usage error takes the same way
// out; the texts of the others are the command line parser's table.
TEST_F(CliProgramTest, ExitStatusesAndStreamsFollowTheConventions) {
    const auto unit = StartUnit(DataState("unit-me.json"));
    CUnitState lockedState = DataState("unit-pinlocked.json");
    lockedState.sim.busyMs = 0;
    const auto locked = StartUnit(lockedState);

    const std::string port = unit->PortPath();
    const std::string tryHelp = "Try 'sendibox-cli --help' for more information.\n";
    const std::string notes = Put("notes.txt", "just some notes\n");
    const std::string streamed = PathOf("streamed.pof");
    const std::string invalid = PathOf("invalid.pof");
    const std::string record = "--record=" + PathOf("rec.csv");
    Put("pin", "1234\n");
    struct Case {
        const char* name;
        Strings args;
        int status;
        std::string out;
        std::string err;
        std::string environment = "";
        std::string input = "";
    };
    const Case cases[] = {
        {"version", {"--version"}, 0, "sendibox-cli " SENDIBOX_VERSION "\n", ""},
        {"usage error",
         {"read", "--bogus"},
         2,
         "",
         "sendibox-cli: unknown option --bogus\n" + tryHelp},
        {"read to standard output",
         {"read", "--port", port, "--profile", "-", record},
         0,
         "~[cmg text]",
         "~" + port + ": OK current values saved to standard output\n"},
        {"check from standard input",
         {"check", "--profile", "-"},
         0,
         "standard input: OK the profile can be written\n",
         "",
         "",
         streamed},
        {"check lists every problem",
         {"check", "--profile", invalid},
         1,
         invalid + ": Input 2, Row 1, New Text: has a character the unit cannot store\n" + invalid +
             ": Input 4, Row 1, New Text: has a character the unit cannot store\n",
         ""},
        {"nothing on standard input",
         {"check", "--profile", "-"},
         2,
         "",
         "~sendibox-cli: standard input is not a profile that can be read: it "},
        {"write of no profile",
         {"write", "--port", port, "--profile", notes, record},
         2,
         "",
         "~" + tryHelp},
        // Records that cannot be written (a file where their folder should be) cost the unit
        // nothing.
        {"records that cannot be written",
         {"read", "--port", port, "--profile", PathOf("u.pof"), "--record", notes + "/rec.csv"},
         0,
         port + ": OK current values saved to " + PathOf("u.pof") + "\n",
         "~sendibox-cli: the records cannot be written (" + notes + "/rec.csv: "},
        {"PIN from the environment",
         {"read", "--port", locked->PortPath(), "--profile", PathOf("l.pof"), record},
         0,
         "~: OK current values saved",
         "",
         "SENDIBOX_PIN=1234"},
        {"PIN from a file",
         {"read", "--port", locked->PortPath(), "--profile", PathOf("l.pof"), "--pin-file",
          PathOf("pin"), record},
         0,
         "~: OK current values saved",
         "",
         "SENDIBOX_PIN=1111"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t commandsBefore = unit->CommandCount();
        const ProgramRun run = Start(c.args, c.environment, c.input);
        EXPECT_EQ(run.status, c.status) << run.out << run.err;
        const bool anyProgress = c.status == 0 && c.err.empty();
        for (const auto& [stream, expected, anything] :
             {std::tuple{run.out, c.out, false}, std::tuple{run.err, c.err, anyProgress}}) {
            if (expected.starts_with("~")) {
                EXPECT_NE(stream.find(expected.substr(1)), std::string::npos) << stream;
            } else if (!anything) {
                // A unit's progress on standard error is not pinned down here.
                EXPECT_EQ(stream, expected);
            }
        }
        if (c.status == 2) {
            EXPECT_EQ(unit->CommandCount(), commandsBefore) << "a unit was contacted";
        }
        if (std::string(c.name) == "read to standard output") {
            // The profile made for the next rows: a file is what came out, and a copy of it
            // with texts the unit cannot store.
            Put("streamed.pof", run.out);
            Put("invalid.pof", run.out);
            CIniFile(invalid).WriteString(CProfileFile::kSmsTextSection, "4", "Tilde ~ here");
            CIniFile(invalid).WriteString(CProfileFile::kSmsTextSection, "12", "Caret ^");
            EXPECT_EQ(CIniFile(streamed).ReadString(CProfileFile::kSmsTextSection, "0", ""),
                      "Input 1 high");
        }
    }
}

// Ctrl-C lets the unit disconnect and ends with the status a shell gives an interrupted
// program.
TEST_F(CliProgramTest, CtrlCDisconnectsAndEndsWith130) {
    // A unit that never answers keeps the connect waiting until the signal comes.
    const auto unit = StartUnit(DataState("unit-me.json"));
    unit->AddFault({"ATI", 1, true, CCommandFault::Action::Ignore, ""});

    const std::string out = PathOf("stdout");
    const std::string err = PathOf("stderr");
    ChildProcess program({SENDIBOX_CLI_PROGRAM, "read", "--port", unit->PortPath(), "--profile",
                          PathOf("p.pof"), "--record", PathOf("rec.csv")},
                         out, err);
    ASSERT_TRUE(WaitUntil([&] { return unit->CommandCount() >= 1; }, std::chrono::seconds(20)));
    EXPECT_EQ(program.Stop(SIGINT, std::chrono::seconds(60)), 130) << Contents(err);
    EXPECT_EQ(Contents(out), unit->PortPath() + ": FAILED cancelled\n");
    EXPECT_TRUE(CComPort::CanOpen(unit->PortPath()));
}

}  // namespace
