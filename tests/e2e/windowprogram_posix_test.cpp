#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/tempfolder.h"
#include "support/childprocess.h"
#include "support/waituntil.h"

namespace {

namespace fs = std::filesystem;

// True once the process has a handler of its own for `signal` (the caught mask in /proc).
bool Catches(pid_t pid, int signal) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("SigCgt:")) {
            const unsigned long long caught = std::stoull(line.substr(7), nullptr, 16);
            return (caught >> (signal - 1) & 1) != 0;
        }
    }
    return false;
}

class WindowProgramTest : public TempFolderTest {};

// A stop signal closes the window as its close button does, so its shutdown runs (here seen
// by the settings it stores), and the program ends with the status a shell gives a program the
// signal ended. The copy of the program has a folder of its own, without a portable marker, so
// its settings go to the configuration folder the test names.
TEST_F(WindowProgramTest, AStopSignalClosesTheWindowInOrder) {
    const struct {
        const char* name;
        int signal;
        // Without it the window opens with a warning that no language file can be used, over
        // which the signal may come.
        bool languageFile;
    } cases[] = {
        {"terminated, as at a logout", SIGTERM, true},
        {"hung up, with the start-up warning to show", SIGHUP, false},
        {"Ctrl+C in the terminal that started it", SIGINT, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path home = folder / std::to_string(c.signal);
        fs::create_directories(home / "bin");
        const fs::path program = home / "bin" / "sendibox-config";
        fs::copy_file(SENDIBOX_WINDOW_PROGRAM, program);
        if (c.languageFile) {
            fs::copy_file(SENDIBOX_DATA_DIR "/languages.txt", home / "bin" / "languages.txt");
        }
        const std::string port = (home / "ttyUSB7").string();
        const std::string err = (home / "stderr").string();
        ChildProcess window(
            {program.string(), "--port", port}, err, err,
            {"XDG_CONFIG_HOME=" + (home / "config").string(), "QT_QPA_PLATFORM=offscreen"});
        ASSERT_TRUE(
            WaitUntil([&] { return Catches(window.Pid(), c.signal); }, std::chrono::seconds(30)))
            << Contents(err);
        EXPECT_EQ(window.Stop(c.signal, std::chrono::seconds(30)), 128 + c.signal) << Contents(err);
        EXPECT_NE(Contents(err).find("sendibox-config: stopping; closing the window\n"),
                  std::string::npos)
            << Contents(err);
        const std::string settings =
            Contents((home / "config/sendibox-config/settings.txt").string());
        EXPECT_NE(settings.find("PORT=" + port), std::string::npos) << settings;
    }
}

}  // namespace
