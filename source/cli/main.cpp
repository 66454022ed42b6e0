// sendibox-cli: the unit operations of the window for scripts and benches of units.

#include <signal.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "cli/clienvironment.h"
#include "cli/clioutput.h"
#include "cli/commandline.h"
#include "cli/jobrunner.h"
#include "persistence/applanguage.h"

namespace {

constexpr char kProgramName[] = "sendibox-cli";

// The folder that holds this program, with a trailing "/", wherever it was started from.
std::string ProgramFolder(const char* argv0) {
    std::error_code error;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        program = std::filesystem::absolute(argv0, error);
    }
    std::string folder = program.parent_path().string();
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

// Ctrl+C (and a hang-up or termination) lets every unit disconnect, so its port is given back
// with its line settings restored; a second one ends the program at once. The signals are
// taken by a thread of their own, so nothing in the program runs in a signal handler.
class CSignalWatcher {
public:
    explicit CSignalWatcher(CJobRunner& runner) : runner(runner) {
        sigemptyset(&signals);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
            sigaddset(&signals, signal);
        }
        // Before any other thread starts, so that every thread inherits the mask.
        pthread_sigmask(SIG_BLOCK, &signals, nullptr);
        watcher = std::thread([this] { Watch(); });
    }
    ~CSignalWatcher() {
        done.store(true);
        watcher.join();
    }
    CSignalWatcher(const CSignalWatcher&) = delete;
    CSignalWatcher& operator=(const CSignalWatcher&) = delete;

private:
    void Watch() {
        const timespec slice{0, 100'000'000};
        bool cancelling = false;
        while (!done.load()) {
            const int signal = sigtimedwait(&signals, nullptr, &slice);
            if (signal < 0) {
                continue;
            }
            if (cancelling) {
                std::_Exit(128 + signal);
            }
            cancelling = true;
            std::cerr << kProgramName << ": stopping; disconnecting the units\n";
            runner.Cancel();
        }
    }

    CJobRunner& runner;
    sigset_t signals;
    std::atomic<bool> done{false};
    std::thread watcher;
};

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const CParsedCommandLine parsed = ParseCommandLine(args);
    if (parsed.action == CParsedCommandLine::EAction::help) {
        std::cout << UsageText();
        return CJobRunner::kExitOk;
    }
    if (parsed.action == CParsedCommandLine::EAction::usageError) {
        std::cerr << kProgramName << ": " << CCliOutput::OneLine(parsed.error) << "\n\n"
                  << UsageText();
        return CJobRunner::kExitUsage;
    }

    const CCliEnvironment environment =
        CCliEnvironment::Read(ProgramFolder(argv[0]), ReadConfigEnvironment());
    // A closed standard output (a pipe into a program that has gone) must not end the program
    // while units are half written; the lines are simply lost.
    signal(SIGPIPE, SIG_IGN);
    CCliOutput output(std::cout, std::cerr);
    const std::unique_ptr<CAppLanguage> language = environment.OpenLanguage(output);

    CJobRunner runner(parsed.options, *language, output);
    runner.settings.checkCountryCode = environment.checkCountryCode;
    if (parsed.options.record.empty()) {
        // The window makes the settings folder at its first start; a command line run before
        // that makes it for the records.
        EnsureFolder(std::filesystem::path(environment.recordFile).parent_path().string());
        runner.settings.defaultRecordFile = environment.recordFile;
    }
    CSignalWatcher watcher(runner);
    return runner.Run();
}
