#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <sstream>

#include "cli/clifixture.h"
#include "core/inifile.h"
#include "persistence/profilefile.h"
#include "support/waituntil.h"

extern char** environ;

namespace {

// The program as a user starts it, its output into files.
struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

class CliProgramTest : public CliTest {
protected:
    ProgramRun Start(Strings args) {
        ProgramRun run;
        const std::string outPath = PathOf("stdout");
        const std::string errPath = PathOf("stderr");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        args.insert(args.begin(), SENDIBOX_CLI_PROGRAM);
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        pid_t pid = -1;
        EXPECT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        int status = 0;
        // The program's own time-outs end every run; the bound only keeps a hang from
        // holding the suite.
        const bool ended = WaitUntil([&] { return ::waitpid(pid, &status, WNOHANG) == pid; },
                                     std::chrono::seconds(60));
        if (!ended) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
        }
        EXPECT_TRUE(ended);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = Contents(outPath);
        run.err = Contents(errPath);
        return run;
    }
};

TEST_F(CliProgramTest, ReadsASimulatedUnitThroughItsLinkAndRefusesABadLine) {
    CUnitSimulatorOptions options;
    options.initialState = DataState("unit-me.json");
    options.linkPath = PathOf("unit");
    CUnitSimulator unit(std::move(options));
    unit.Start();
    const std::string profile = PathOf("unit.pof");

    const ProgramRun read = Start({"read", "--port", PathOf("unit"), "--profile", profile});
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

    const ProgramRun refused = Start({"reset", "--port", PathOf("unit")});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_NE(refused.err.find("add --yes to confirm"), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("usage: sendibox-cli"), std::string::npos);
}

}  // namespace
