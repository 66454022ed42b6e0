#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/waituntil.h"
#include "unitline.h"

extern char** environ;

namespace {

using UnitSimProgram = TempFolderTest;

const std::filesystem::path kDataFolder =
    std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "data";

std::filesystem::path ProgramPath() {
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    return self.parent_path().parent_path() / "tools" / "unitsim" / "sendibox-unitsim";
}

// The program as a child process whose standard output the test reads.
class Program {
public:
    explicit Program(std::vector<std::string> args) {
        int pipeFds[2] = {-1, -1};
        EXPECT_EQ(::pipe2(pipeFds, O_CLOEXEC), 0);  // dup2 gives the child its own copy
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
        args.insert(args.begin(), ProgramPath().string());
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
            pid = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(pipeFds[1]);
        output = pipeFds[0];
    }
    ~Program() {
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        ::close(output);
    }

    std::string FirstLine() {
        std::string text;
        char c = 0;
        pollfd p{output, POLLIN, 0};
        while (text.find('\n') == std::string::npos && ::poll(&p, 1, 5000) > 0 &&
               ::read(output, &c, 1) == 1) {
            text += c;
        }
        return text.substr(0, text.find('\n'));
    }

    // Sends the signal (0: none) and waits, with a bound, for the exit; the exit status or -1.
    int Stop(int signal) {
        ::kill(pid, signal);
        int status = 0;
        if (!WaitUntil([&] { return ::waitpid(pid, &status, WNOHANG) == pid; })) {
            return -1;
        }
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid = -1;
    int output = -1;
};

}  // namespace

TEST_F(UnitSimProgram, PublishesItsLinkAnswersAndRemovesTheLinkOnSigterm) {
    if (!std::filesystem::exists(ProgramPath())) {
        GTEST_SKIP() << "sendibox-unitsim is not built";
    }
    EXPECT_EQ(Program({"--no-such-option"}).Stop(0), 2);
    std::filesystem::copy_file(kDataFolder / "unit-demo.json", folder / "unit.json");
    Program program({"--link", folder / "port", "--state", folder / "unit.json", "--maker",
                     "Cinterion", "--error-on", "AT+CSQ#2", "--urc-inside", "AT+CPBR", "RING",
                     "--log", folder / "log"});
    ASSERT_EQ(program.FirstLine(), folder / "port");
    {
        UnitLine line(folder / "port");
        EXPECT_EQ(line.Exchange("ATI\r"), "ATI\r" + Info("Cinterion\r\nMC35i\r\nREVISION 02.00"));
        EXPECT_EQ(line.Exchange("ATE0\r"), "ATE0\r" + kOk);
        EXPECT_EQ(line.Exchange("AT+CSQ\r"), Info("+CSQ: 18,99"));
        EXPECT_EQ(line.Exchange("AT+CSQ\r"), kError);
        EXPECT_EQ(line.Exchange("AT+CPBR=64\r"), Info("+CPBR: 64,\"1\",129,\"\"\r\n\r\nRING"));
        EXPECT_EQ(line.Exchange("AT+CPBW=10\r"), kOk);
    }
    EXPECT_EQ(program.Stop(SIGTERM), 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(folder / "port")));
    // The change reached the file, the run's maker did not.
    const CUnitState saved = CUnitState::Load(folder / "unit.json");
    EXPECT_EQ(saved.maker, "SIEMENS");
    EXPECT_EQ(saved.phonebooks.at("SM").entries.count(10), 0u);
    EXPECT_EQ(Contents(folder / "log"), "ATI\nATE0\nAT+CSQ\nAT+CSQ\nAT+CPBR=64\nAT+CPBW=10\n");
}

// A state that is not a regular file is refused at once, naming the file and why: a FIFO
// would otherwise hold the open until a writer came, with the program deaf to its stop
// signals, and a folder would read as an empty text.
TEST_F(UnitSimProgram, RefusesAStateThatIsNotARegularFileAtOnce) {
    const std::string fifo = folder / "fifo.json";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string huge = folder / "huge.json";
    std::ofstream{huge} << "{}";
    std::filesystem::resize_file(huge, CUnitState::kMaxFileBytes + 1);  // sparse: costs no disk
    const std::pair<std::string, std::string> cases[] = {
        {fifo, "a FIFO"},
        {folder.string(), "a folder"},
        {"/dev/null", "a device"},
        {huge, "larger than"},
        {folder / "missing.json", "No such file"},
    };
    for (const auto& [path, why] : cases) {
        SCOPED_TRACE(path);
        try {
            CUnitState::Load(path);
            ADD_FAILURE() << "loaded";
        } catch (const std::runtime_error& e) {
            const std::string text = e.what();
            EXPECT_NE(text.find(path), std::string::npos) << text;
            EXPECT_NE(text.find(why), std::string::npos) << text;
        }
    }
    if (!std::filesystem::exists(ProgramPath())) {
        GTEST_SKIP() << "sendibox-unitsim is not built";
    }
    Program program({"--link", folder / "port", "--state", fifo});
    EXPECT_EQ(program.FirstLine(), "");
    EXPECT_EQ(program.Stop(0), 1);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(folder / "port")));
}
