#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "cli/clifixture.h"
#include "core/inifile.h"
#include "persistence/profilefile.h"
#include "support/csvrows.h"

namespace {

// The program as a user starts it, its output into files.
struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

class CliProgramTest : public CliTest {
protected:
    // The program's own time-outs end every run; `timeout` only keeps a hang from holding the
    // suite. The arguments are the test's own paths and words, without quotes.
    ProgramRun Start(const Strings& args) {
        std::string line = "timeout 60 '" SENDIBOX_CLI_PROGRAM "'";
        for (const std::string& arg : args) {
            line += " '" + arg + "'";
        }
        line += " >'" + PathOf("stdout") + "' 2>'" + PathOf("stderr") + "'";
        const int status = std::system(line.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Contents(PathOf("stdout")),
                Contents(PathOf("stderr"))};
    }
};

TEST_F(CliProgramTest, ReadsASimulatedUnitThroughItsLinkAndRefusesABadLine) {
    CUnitSimulatorOptions options;
    options.initialState = DataState("unit-me.json");
    options.linkPath = PathOf("unit");
    CUnitSimulator unit(std::move(options));
    unit.Start();
    const std::string profile = PathOf("unit.pof");

    const ProgramRun read = Start(
        {"read", "--port", PathOf("unit"), "--profile", profile, "--record", PathOf("rec.csv")});
    EXPECT_EQ(read.status, 0) << read.out << read.err;
    EXPECT_EQ(read.out, PathOf("unit") + ": OK current values saved to " + profile + "\n");
    // A progress line per step, in whatever language settings.txt beside the program names.
    std::istringstream progress(read.err);
    int steps = 0;
    for (std::string line; std::getline(progress, line);) {
        EXPECT_EQ(line.rfind(PathOf("unit") + ": ", 0), 0u) << line;
        ++steps;
    }
    EXPECT_GE(steps, 5);
    EXPECT_EQ(CIniFile(profile).ReadString(CProfileFile::kSmsTextSection, "0", ""), "Input 1 high");
    const CsvFile records = ReadCsv(PathOf("rec.csv"));
    ASSERT_EQ(records.rows.size(), 1u);
    EXPECT_EQ(records.rows[0].at("Operation") + " " + records.rows[0].at("Result") + " " +
                  records.rows[0].at("Port") + " " + records.rows[0].at("IMEI"),
              "Connect OK " + PathOf("unit") + " 351234567890124");

    // Records that cannot be written (a file where their folder should be) cost the unit
    // nothing; standard error says so once.
    const ProgramRun unrecorded = Start({"read", "--port", PathOf("unit"), "--profile", profile,
                                         "--record", PathOf("unit.pof") + "/records.csv"});
    EXPECT_EQ(unrecorded.status, 0) << unrecorded.err;
    EXPECT_EQ(unrecorded.out, read.out);
    const std::string complaint =
        "sendibox-cli: the records cannot be written (" + PathOf("unit.pof") + "/records.csv: ";
    EXPECT_NE(unrecorded.err.find(complaint), std::string::npos) << unrecorded.err;
    EXPECT_EQ(unrecorded.err.find(complaint), unrecorded.err.rfind(complaint));

    const ProgramRun refused = Start({"reset", "--port", PathOf("unit")});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_NE(refused.err.find("add --yes to confirm"), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("usage: sendibox-cli"), std::string::npos);
}

}  // namespace
