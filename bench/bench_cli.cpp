// Times the command line's read of one unit and of three at once: each unit has a thread of its
// own, so three take about as long as one. The units are simulated in-process on
// pseudo-terminals paced like the module's line (57600 baud, 20 ms answer latency); the
// controllers keep their production pauses and time-outs.
//
//   bench_cli [--units N]     (default 3)

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/clioutput.h"
#include "cli/commandline.h"
#include "cli/jobrunner.h"
#include "persistence/applanguage.h"
#include "persistence/languageloaderini.h"
#include "unitsim/unitsimulator.h"

namespace {

using Clock = std::chrono::steady_clock;

// Reads `count` units at once; the seconds taken, or a negative value when a unit failed.
double ReadUnits(int count, const CAppLanguage& language, const std::filesystem::path& folder) {
    std::vector<std::unique_ptr<CUnitSimulator>> units;
    std::vector<std::string> args = {"read", "--profile", (folder / "unit-%p.pof").string()};
    for (int i = 0; i < count; ++i) {
        CUnitSimulatorOptions options;
        options.initialState = CUnitState::Load(SENDIBOX_DATA_DIR "/unit-me.json");
        options.baud = 57600;
        options.latencyMs = 20;
        units.push_back(std::make_unique<CUnitSimulator>(std::move(options)));
        units.back()->Start();
        args.insert(args.end(), {"--port", units.back()->PortPath()});
    }
    const CParsedCommandLine parsed = ParseCommandLine(args);
    std::ostringstream results;
    std::ostringstream progress;
    CCliOutput output(results, progress);
    CJobRunner runner(parsed.options, language, output);
    const Clock::time_point start = Clock::now();
    const int status = runner.Run();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (status != CJobRunner::kExitOk) {
        std::fprintf(stderr, "%s", results.str().c_str());
        return -1;
    }
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    int units = 3;
    if (argc == 3 && std::string(argv[1]) == "--units") {
        units = std::atoi(argv[2]);
    }
    if (units < 1) {
        std::fprintf(stderr, "usage: bench_cli [--units N]\n");
        return 2;
    }
    CAppLanguage language(std::make_unique<CLanguageLoaderIni>(SENDIBOX_DATA_DIR "/languages.txt"));
    language.SetLanguage("English");
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("bench-cli-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const double one = ReadUnits(1, language, folder);
    const double many = ReadUnits(units, language, folder);
    std::filesystem::remove_all(folder);
    if (one < 0 || many < 0) {
        std::fprintf(stderr, "a read failed\n");
        return 1;
    }
    std::printf("read of 1 unit       %8.2f s\n", one);
    std::printf("read of %d units      %8.2f s  (%.2f times one; target below 2)\n", units, many,
                many / one);
    return 0;
}
