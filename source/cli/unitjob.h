#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "cli/cliview.h"
#include "cli/commandline.h"
#include "core/refobject.h"
#include "engine/mainloop.h"
#include "engine/processorhandler.h"
#include "model/configurationmodel.h"
#include "model/plainsettinggui.h"

class CAppLanguage;
class CCliOutput;
class CComPortCommSource;
class CUnitSequencer;
class IController;

// How one unit's job ended, for its result line.
struct CUnitReport {
    std::string port;
    bool ok = false;
    // UTF-8, one line, without the port: what was done, or why it failed.
    std::string text;
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
};

// One unit served from start to end on the calling thread, which is this unit's main thread:
// its own main loop, port, processor handler, model, presenters, sequencer and view. Connects
// as the window's Connect does, runs the command's job as the window's buttons do, then
// disconnects.
class CUnitJob {
public:
    // Everything lent must outlive the job; `cancelled` may be set from any thread.
    CUnitJob(const CCliOptions& options, std::string port, const CAppLanguage& language,
             CCliOutput& output, const CUnitJobSettings& settings,
             const std::atomic<bool>& cancelled);
    ~CUnitJob();
    CUnitJob(const CUnitJob&) = delete;
    CUnitJob& operator=(const CUnitJob&) = delete;

    CUnitReport Run();

private:
    // Starts a run with `start` and pumps until it ends; false when it was stopped (cancelled,
    // or over its bound), with the port closed.
    bool Await(const std::function<void()>& start);
    CUnitReport Connected();
    CUnitReport Read();
    CUnitReport Write();
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
};
