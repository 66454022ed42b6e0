// sendibox-cli: the unit operations of the window for scripts and benches of units.

#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/clienvironment.h"
#include "cli/clioutput.h"
#include "cli/commandline.h"
#include "cli/interruptwatcher.h"
#include "cli/jobrunner.h"
#include "persistence/applanguage.h"

namespace {

constexpr char kProgramName[] = "sendibox-cli";

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
        CCliEnvironment::Read(RunningProgramFolder(argv[0]), ReadConfigEnvironment());
    KeepRunningOnClosedOutput();
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
    CInterruptWatcher watcher(runner);
    return runner.Run();
}
