#include "cli/jobrunner.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <set>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "cli/clijson.h"
#include "cli/clioutput.h"
#include "cli/profilecheck.h"
#include "operations/unitrecords.h"

CJobRunner::CJobRunner(CCliOptions options, const CAppLanguage& language, CCliOutput& output)
    : options(std::move(options)), language(language), output(output) {}

CJobRunner::~CJobRunner() = default;

std::string CJobRunner::CheckProfiles(bool& readable) const {
    std::set<std::string> files;
    for (const std::string& port : options.ports) {
        files.insert(ProfileForPort(options.profile, port));
    }
    for (const std::string& file : files) {
        const CProfileVerdict verdict =
            CProfileCheck::Examine(file, settings.checkCountryCode, language);
        if (!verdict.Writable()) {
            readable = verdict.readable;
            return verdict.failure;
        }
    }
    return {};
}

CUnitReport CJobRunner::RunUnit(const std::string& port) {
    // Nothing may leave a unit's thread: it would end the whole program.
    try {
        CUnitJob job(options, port, language, output, settings, cancelled, records.get());
        return job.Run();
    } catch (const std::exception& error) {
        return {port, false, "FAILED " + CCliOutput::OneLine(error.what())};
    } catch (...) {
        return {port, false, "FAILED internal error"};
    }
}

std::string CJobRunner::ResultLine(const CUnitReport& report) const {
    if (options.json) {
        return UnitReportJson(report, options.command);
    }
    return report.port + ": " + report.text;
}

int CJobRunner::Run() {
    reports.assign(options.ports.size(), CUnitReport{});
    const std::string recordFile =
        options.record.empty() ? settings.defaultRecordFile : options.record;
    if (!recordFile.empty()) {
        records = std::make_unique<CUnitRecords>(recordFile, SENDIBOX_VERSION);
    }
    bool readable = true;
    const std::string refused = WithProfileShown(
        options, options.command == ECliCommand::write || options.command == ECliCommand::diff
                     ? CheckProfiles(readable)
                     : std::string());
    if (!readable) {
        output.Progress("sendibox-cli: " + refused);
        output.Progress(TryHelpText());
        return kExitUsage;
    }
    if (!refused.empty()) {
        for (std::size_t i = 0; i < options.ports.size(); ++i) {
            reports[i] = {options.ports[i], false, "FAILED " + refused};
        }
    } else {
        std::vector<std::thread> threads;
        threads.reserve(options.ports.size());
        for (std::size_t i = 0; i < options.ports.size(); ++i) {
            try {
                threads.emplace_back([this, i] { reports[i] = RunUnit(options.ports[i]); });
            } catch (const std::system_error& error) {
                // The units already started still finish and are reported.
                reports[i] = {options.ports[i], false, "FAILED " + std::string(error.what())};
            }
        }
        for (std::thread& thread : threads) {
            thread.join();
        }
    }
    for (const CUnitReport& report : reports) {
        // A diff's changes come before its result line, each a line of its own.
        for (const std::string& detail :
             options.json ? std::vector<std::string>() : report.details) {
            output.Result(report.port + ": " + detail);
        }
        output.Result(ResultLine(report));
    }
    const bool allOk = std::all_of(reports.begin(), reports.end(),
                                   [](const CUnitReport& report) { return report.ok; });
    if (!allOk && cancelled.load()) {
        return kExitInterrupted;
    }
    return allOk ? kExitOk : kExitFailed;
}
