#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "cli/commandline.h"
#include "cli/unitjob.h"

class CAppLanguage;
class CCliOutput;
class CUnitRecords;

// The command line's job on every unit it names, all at once: a thread per unit, each with
// everything a unit needs of its own (CUnitJob); only the language is shared, read-only.
// A profile to write is checked first, so an invalid one reaches no unit at all.
class CJobRunner {
public:
    static constexpr int kExitOk = 0;
    // At least one unit failed (or the profile to write was refused).
    static constexpr int kExitFailed = 1;
    // The command line, or a profile it names, was refused; no unit was contacted.
    static constexpr int kExitUsage = 2;
    // Stopped by Ctrl-C: 128 and the signal's number, as shells report it.
    static constexpr int kExitInterrupted = 130;

    // The language must have been loaded and must outlive the runner.
    CJobRunner(CCliOptions options, const CAppLanguage& language, CCliOutput& output);
    ~CJobRunner();
    CJobRunner(const CJobRunner&) = delete;
    CJobRunner& operator=(const CJobRunner&) = delete;

    // Shared by every unit's job; set before Run.
    CUnitJobSettings settings;

    // Serves every unit, writes one result line (or JSON object) per unit in the order of the
    // ports, and returns the exit status: kExitOk only when every unit succeeded, kExitUsage
    // (with one line on standard error) when a profile to write or compare cannot be read. Every
    // run on a unit is appended to the records, all units' to the same file.
    int Run();
    // Safe from any thread (a signal watcher): every unit disconnects as soon as it can.
    void Cancel() { cancelled.store(true); }

    // The reports of the last Run, in the order of the ports.
    const std::vector<CUnitReport>& Reports() const { return reports; }

private:
    // Why a write or a diff may not start, or empty; `readable` false when a profile is no
    // profile at all.
    std::string CheckProfiles(bool& readable) const;
    // One unit's job on the calling thread.
    CUnitReport RunUnit(const std::string& port);
    // The unit's result as the command line prints it.
    std::string ResultLine(const CUnitReport& report) const;

    const CCliOptions options;
    const CAppLanguage& language;
    CCliOutput& output;
    std::atomic<bool> cancelled{false};
    std::vector<CUnitReport> reports;
    std::unique_ptr<CUnitRecords> records;
};
