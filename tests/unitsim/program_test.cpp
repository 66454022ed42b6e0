#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "support/waituntil.h"
#include "unitline.h"

extern char** environ;

namespace {

const std::filesystem::path kDataFolder =
    std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "data";

std::filesystem::path ProgramPath() {
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    return self.parent_path().parent_path() / "tools" / "unitsim" / "sendibox-unitsim";
}

// The program as a child process whose standard output the test reads.
class Program {
public:
    explicit Program(const std::vector<std::string>& args) {
        int pipeFds[2];
        if (::pipe(pipeFds) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
        std::vector<std::string> all = {ProgramPath().string()};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& arg : all) {
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
        if (pid > 0 && !exited) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        if (output >= 0) {
            ::close(output);
        }
    }

    std::string FirstLine() {
        std::string text;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (text.find('\n') == std::string::npos &&
               std::chrono::steady_clock::now() < deadline) {
            pollfd p{output, POLLIN, 0};
            char buffer[256];
            if (::poll(&p, 1, 100) > 0) {
                const ssize_t n = ::read(output, buffer, sizeof buffer);
                if (n <= 0) {
                    break;
                }
                text.append(buffer, static_cast<std::size_t>(n));
            }
        }
        return text.substr(0, text.find('\n'));
    }

    // Sends the signal and waits, with a bound, for the exit; the exit status or -1.
    int Stop(int signal) {
        ::kill(pid, signal);
        int status = 0;
        exited = WaitUntil([&] { return ::waitpid(pid, &status, WNOHANG) == pid; });
        return exited && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    pid_t pid = -1;

private:
    int output = -1;
    bool exited = false;
};

std::string Number(const CPhonebook& book, int position) {
    const auto found = book.entries.find(position);
    return found == book.entries.end() ? std::string() : found->second.number;
}

bool HoldsConfiguration(const CPhonebook& book) {
    const std::string access = Number(book, 64);
    return access == "0" || access == "1";
}

// The twelve settings at positions 58 to 69, each within the values the unit understands.
void ExpectValidSettings(const CPhonebook& book, const std::string& file) {
    const int highest[12] = {254, 254, 254, 254, 254, 254, 1, 127, 1, 1, 3, 254};
    EXPECT_GE(book.capacity, 69) << file;
    for (int i = 0; i < 12; ++i) {
        const std::string value = Number(book, 58 + i);
        ASSERT_FALSE(value.empty()) << file << " position " << 58 + i;
        EXPECT_LE(std::stoi(value), highest[i]) << file << " position " << 58 + i;
        EXPECT_EQ(book.entries.at(58 + i).type, 129) << file;
    }
    for (const auto& [position, entry] : book.entries) {
        if (position < 58 || position > 69) {
            EXPECT_EQ(entry.number.substr(0, 1), "+") << file << " position " << position;
            EXPECT_EQ(entry.text, "ACCESS") << file << " position " << position;
        }
    }
}

void ExpectTwentyEightAlarms(const CUnitState& state, const std::string& file) {
    for (int index = 1; index <= 28; ++index) {
        EXPECT_EQ(state.messages.count(index), 1u) << file << " message " << index;
    }
}

}  // namespace

TEST(UnitSimProgram, PublishesItsLinkAnswersAndRemovesTheLinkOnSigterm) {
    if (!std::filesystem::exists(ProgramPath())) {
        GTEST_SKIP() << "sendibox-unitsim is not built";
    }
    TempFolder folder;
    std::filesystem::copy_file(kDataFolder / "unit-demo.json", folder / "unit.json");
    Program program({"--link", folder / "port", "--state", folder / "unit.json", "--maker",
                     "Cinterion", "--error-on", "AT+CSQ#2", "--log", folder / "log"});
    ASSERT_EQ(program.FirstLine(), folder / "port");
    {
        UnitLine line(folder / "port");
        EXPECT_EQ(line.Exchange("ATI\r"), "ATI\r" + Info("Cinterion\r\nMC35i\r\nREVISION 02.00"));
        EXPECT_EQ(line.Exchange("ATE0\r"), "ATE0\r" + kOk);
        EXPECT_EQ(line.Exchange("AT+CSQ\r"), Info("+CSQ: 18,99"));
        EXPECT_EQ(line.Exchange("AT+CSQ\r"), kError);
        EXPECT_EQ(line.Exchange("AT+CPBR=64\r"), Info("+CPBR: 64,\"1\",129,\"\""));
        EXPECT_EQ(line.Exchange("AT+CPBW=10\r"), kOk);
    }
    EXPECT_EQ(program.Stop(SIGTERM), 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(folder / "port")));
    // The change reached the file, the run's maker did not.
    const CUnitState saved = CUnitState::Load(folder / "unit.json");
    EXPECT_EQ(saved.maker, "SIEMENS");
    EXPECT_EQ(saved.phonebooks.at("SM").entries.count(10), 0u);
    std::ifstream log(folder / "log");
    std::stringstream text;
    text << log.rdbuf();
    EXPECT_EQ(text.str(), "ATI\nATE0\nAT+CSQ\nAT+CSQ\nAT+CPBR=64\nAT+CPBW=10\n");
}

TEST(UnitSimProgram, RefusesUnknownOptions) {
    if (!std::filesystem::exists(ProgramPath())) {
        GTEST_SKIP() << "sendibox-unitsim is not built";
    }
    Program program({"--no-such-option"});
    int status = 0;
    ASSERT_TRUE(WaitUntil([&] { return ::waitpid(program.pid, &status, WNOHANG) == program.pid; }));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    program.pid = -1;
}

TEST(UnitSimData, DemoUnitIsConfiguredInTheSimPhonebook) {
    const CUnitState demo = CUnitState::Load(kDataFolder / "unit-demo.json");
    EXPECT_FALSE(HoldsConfiguration(demo.phonebooks.at("ME")));
    EXPECT_EQ(Number(demo.phonebooks.at("SM"), 64), "1");
    ExpectValidSettings(demo.phonebooks.at("SM"), "unit-demo.json");
    EXPECT_EQ(demo.phonebooks.at("SM").entries.size(), 12u + 12u);
    ExpectTwentyEightAlarms(demo, "unit-demo.json");
    EXPECT_FALSE(demo.sim.lock);
}

TEST(UnitSimData, OtherUnitsAreWhatTheirNamesSay) {
    const CUnitState me = CUnitState::Load(kDataFolder / "unit-me.json");
    EXPECT_TRUE(HoldsConfiguration(me.phonebooks.at("ME")));
    EXPECT_FALSE(HoldsConfiguration(me.phonebooks.at("SM")));
    ExpectValidSettings(me.phonebooks.at("ME"), "unit-me.json");
    ExpectTwentyEightAlarms(me, "unit-me.json");

    const CUnitState locked = CUnitState::Load(kDataFolder / "unit-pinlocked.json");
    EXPECT_TRUE(locked.sim.lock);
    EXPECT_EQ(locked.sim.pin, "1234");
    EXPECT_EQ(locked.sim.puk, "12345678");
    EXPECT_EQ(locked.sim.pinTries, 3);
    EXPECT_TRUE(HoldsConfiguration(locked.phonebooks.at("SM")));
    ExpectValidSettings(locked.phonebooks.at("SM"), "unit-pinlocked.json");
    ExpectTwentyEightAlarms(locked, "unit-pinlocked.json");

    const CUnitState bare = CUnitState::Load(kDataFolder / "unit-unconfigured.json");
    EXPECT_FALSE(HoldsConfiguration(bare.phonebooks.at("ME")));
    EXPECT_FALSE(HoldsConfiguration(bare.phonebooks.at("SM")));
}
