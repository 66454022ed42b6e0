// sendibox-cli: the unit operations of the window for scripts and benches of units.

#include <signal.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "cli/clienvironment.h"
#include "cli/clioutput.h"
#include "cli/commandline.h"
#include "cli/jobrunner.h"
#include "cli/offlinecommands.h"
#include "cli/streamprofile.h"
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
// with its line settings restored; a second one ends the program at once, as does the first
// when there is nothing to stop (`stop` empty). The signals are taken by a thread of their
// own, so nothing in the program runs in a signal handler.
class CSignalWatcher {
public:
    explicit CSignalWatcher(std::function<void()> stop) : stop(std::move(stop)) {
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

    // The first signal taken, 0 when none came.
    int Received() const { return received.load(); }
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
            if (cancelling || !stop) {
                std::_Exit(128 + signal);
            }
            cancelling = true;
            received.store(signal);
            std::cerr << kProgramName << ": stopping; disconnecting the units\n";
            stop();
        }
    }

    const std::function<void()> stop;
    sigset_t signals;
    std::atomic<bool> done{false};
    std::atomic<int> received{0};
    std::thread watcher;
};

std::optional<std::string> Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

int Refuse(const std::string& why) {
    std::cerr << kProgramName << ": " << CCliOutput::OneLine(why) << "\n" << TryHelpText() << "\n";
    return CJobRunner::kExitUsage;
}

// The commands that serve units, with the settings the window stored.
int RunUnits(const CCliOptions& options, const CCliEnvironment& environment,
             const CAppLanguage& language, CCliOutput& output) {
    CJobRunner runner(options, language, output);
    runner.settings.checkCountryCode = environment.checkCountryCode;
    if (options.record.empty()) {
        // The window makes the settings folder at its first start; a command line run before
        // that makes it for the records.
        EnsureFolder(std::filesystem::path(environment.recordFile).parent_path().string());
        runner.settings.defaultRecordFile = environment.recordFile;
    }
    CSignalWatcher watcher([&runner] { runner.Cancel(); });
    const int status = runner.Run();
    if (const int signal = watcher.Received(); signal != 0 && status != CJobRunner::kExitOk) {
        return 128 + signal;
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const CParsedCommandLine parsed =
        ParseCommandLine(args, CCodeSources{Variable("SENDIBOX_PIN"), Variable("SENDIBOX_PUK")});
    if (parsed.action == CParsedCommandLine::EAction::help) {
        std::cout << UsageText();
        return CJobRunner::kExitOk;
    }
    if (parsed.action == CParsedCommandLine::EAction::version) {
        std::cout << VersionText();
        return CJobRunner::kExitOk;
    }
    if (parsed.action == CParsedCommandLine::EAction::usageError) {
        return Refuse(parsed.error);
    }
    CCliOptions options = parsed.options;

    // A closed standard output (a pipe into a program that has gone) must not end the program
    // while units are half written; the lines are simply lost.
    signal(SIGPIPE, SIG_IGN);
    // "--profile -": standard output takes the profile a read makes, so the result lines go
    // to standard error; the other commands take the profile from standard input, whole,
    // before any unit is contacted.
    std::optional<CStreamProfile> streamed;
    const bool profileToStdout =
        options.profile == kStandardStreamProfile && options.command == ECliCommand::read;
    if (options.profile == kStandardStreamProfile) {
        try {
            streamed.emplace();
        } catch (const std::exception& error) {
            std::cerr << kProgramName << ": " << CCliOutput::OneLine(error.what()) << "\n";
            return CJobRunner::kExitFailed;
        }
        if (!profileToStdout && !streamed->Fill(std::cin)) {
            return Refuse("the profile cannot be read from standard input");
        }
        options.profile = streamed->Path();
        options.profileShownAs = profileToStdout ? "standard output" : "standard input";
    }

    CCliOutput output(profileToStdout ? std::cerr : std::cout, std::cerr);
    if (options.command == ECliCommand::ports) {
        CSignalWatcher watcher(nullptr);
        return COfflineCommands::Ports(options, output);
    }

    const CCliEnvironment environment =
        CCliEnvironment::Read(ProgramFolder(argv[0]), ReadConfigEnvironment());
    const std::unique_ptr<CAppLanguage> language = environment.OpenLanguage(output);
    if (options.command == ECliCommand::check) {
        return COfflineCommands::Check(options, environment.checkCountryCode, *language, output);
    }
    const int status = RunUnits(options, environment, *language, output);
    if (profileToStdout && status == CJobRunner::kExitOk && !streamed->CopyTo(std::cout)) {
        std::cerr << kProgramName << ": the profile could not be written to standard output\n";
        return CJobRunner::kExitFailed;
    }
    return status;
}
