#include "cli/clifixture.h"

#include <thread>

#include "cli/clioutput.h"
#include "cli/commandline.h"

int CliTest::RunCli(const Strings& args, const std::function<void(CJobRunner&)>& during) {
    const CParsedCommandLine parsed = ParseCommandLine(args);
    EXPECT_EQ(parsed.action, CParsedCommandLine::EAction::run) << parsed.error;
    results.str("");
    progress.str("");
    const std::unique_ptr<CAppLanguage> language = ShippedLanguage();
    CCliOutput output(results, progress);
    CJobRunner runner(parsed.options, *language, output);
    runner.settings.checkCountryCode = checkCountryCode;
    runner.settings.writePause = std::chrono::milliseconds(0);
    runner.settings.onControllerQueued = [](IController& controller) { MakeQuick(controller); };
    int status = -1;
    std::thread run([&] { status = runner.Run(); });
    if (during) {
        during(runner);
    }
    run.join();
    reports = runner.Reports();
    return status;
}
