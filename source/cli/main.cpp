// sendibox-cli: the unit operations of the window for scripts and benches of units.

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/clienvironment.h"
#include "cli/clioutput.h"
#include "cli/commandline.h"
#include "cli/jobrunner.h"
#include "cli/offlinecommands.h"
#include "cli/streamprofile.h"
#include "core/interruptwatcher.h"
#include "persistence/applanguage.h"

namespace {

constexpr char kProgramName[] = "sendibox-cli";

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
    CInterruptWatcher watcher([&runner] { runner.Cancel(); },
                              std::string(kProgramName) + ": stopping; disconnecting the units");
    const int status = runner.Run();
    if (const int interrupted = watcher.InterruptedStatus();
        interrupted != 0 && status != CJobRunner::kExitOk) {
        return interrupted;
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

    KeepRunningOnClosedOutput();
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
        CInterruptWatcher watcher(nullptr, {});
        return COfflineCommands::Ports(options, output);
    }

    const CCliEnvironment environment =
        CCliEnvironment::Read(RunningProgramFolder(argv[0]), ReadConfigEnvironment());
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
