#pragma once

#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/cliview.h"
#include "cli/commandline.h"
#include "core/refobject.h"
#include "engine/mainloop.h"
#include "engine/processorhandler.h"
#include "model/configurationmodel.h"
#include "model/plainsettinggui.h"
#include "operations/runsummary.h"

class CAppLanguage;
class CCliOutput;
class CComPortCommSource;
class CTrafficLog;
class CUnitRecords;
class CUnitSequencer;
class IController;

// How one unit's job ended, for its result line.
struct CUnitReport {
    std::string port;
    bool ok = false;
    // UTF-8, one line, without the port: what was done, or why it failed.
    std::string text;
    // The failure was the user's stop (Ctrl-C), not the unit's.
    bool cancelled = false;
    // diff: each value a write would change, UTF-8, one line each.
    std::vector<std::string> details{};
    // The last run on the unit (the connect, or the command's own run after it), as recorded;
    // nothing when no run started (the port did not open, the profile was refused).
    std::optional<CRunSummary> run{};
};

// What every unit's job shares besides the command line.
struct CUnitJobSettings {
    // The window's "Validate SMS Message Country Code" setting.
    bool checkCountryCode = true;
    // Called with each controller just before it is queued, on the unit's thread; tests
    // shorten time-outs and pauses here.
    std::function<void(IController&)> onControllerQueued;
    // The port's pause before each write; the port's own when not set.
    std::optional<std::chrono::milliseconds> writePause;
    // A run that has not ended by then is stopped; the controllers' time-outs end every run
    // long before, this only keeps a broken device from holding the job for ever.
    std::chrono::milliseconds runBound = std::chrono::minutes(30);
    // The records file when the command line names none (records.csv in the settings folder);
    // empty: only --record's file is written.
    std::string defaultRecordFile;
};

// One unit served from start to end on the calling thread, which is this unit's main thread:
// its own main loop, port, processor handler, model, presenters, sequencer and view. Connects
// as the window's Connect does, runs the command's job as the window's buttons do, then
// disconnects.
class CUnitJob {
public:
    // Everything lent must outlive the job; `cancelled` may be set from any thread. Each run is
    // appended to `records` unless it is null.
    CUnitJob(const CCliOptions& options, std::string port, const CAppLanguage& language,
             CCliOutput& output, const CUnitJobSettings& settings,
             const std::atomic<bool>& cancelled, CUnitRecords* records = nullptr);
    ~CUnitJob();
    CUnitJob(const CUnitJob&) = delete;
    CUnitJob& operator=(const CUnitJob&) = delete;

    CUnitReport Run();

private:
    // The job itself; Run adds what every report carries.
    CUnitReport Serve();
    // Starts a run with `start` and pumps until it ends; false when it was stopped (cancelled,
    // or over its bound), with the port closed. A run that started is recorded.
    bool Await(const std::function<void()>& start);
    // Keeps `run` as the unit's last and appends it to the records.
    void Record(const CRunSummary& run);
    // Opens the trace file and taps the port with it, when one is asked for.
    void StartTrace();
    CUnitReport Connected();
    CUnitReport Read();
    CUnitReport Write();
    CUnitReport Diff();
    CUnitReport Change(const std::function<void()>& operation, const std::string& done);
    CUnitReport Ok(std::string text);
    CUnitReport Failed(std::string text);
    CUnitReport FailedRun();
    CUnitReport Stopped();
    std::string Profile() const;

    const CCliOptions& options;
    const std::string port;
    const CAppLanguage& language;
    const CUnitJobSettings& settings;
    const std::atomic<bool>& cancelled;
    CCliOutput& output;
    CUnitRecords* const records;

    // Before the port's source, which writes to them until it is gone.
    std::ofstream traceFile;
    std::shared_ptr<CTrafficLog> trace;
    CRefPtr<CComPortCommSource> source;
    CConfigurationModel model;
    CPlainSettingGuis presenters;
    CCliView view;
    CMainLoop loop;
    CProcessorHandler handler{loop.Poster()};
    std::unique_ptr<CUnitSequencer> sequencer;
    // The smart write fell back to rewriting every message.
    bool rewroteAllMessages = false;
    bool overBound = false;
    std::optional<CRunSummary> lastRun;
};
