#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "atcomm/replyparser.h"
#include "engine/controller.h"
#include "model/configurationmodel.h"

// How a run of the sequencer ended, for front ends that wait for it (the command line); the
// window only shows what the other calls of the view ask for.
enum class ERunOutcome : uint8_t {
    // The unit has been read (or reset, or its SIM cleared) and the signal poll starts.
    ready,
    // Write finished; the port has been closed and the plug hint shown.
    written,
    // A controller failed; the port has been closed and the error shown.
    failed,
    // Neither store holds the configuration marker; the port has been closed.
    restartUnit,
    // The user (or the front end) disconnected while the run went on.
    disconnected,
};

// What a front end does for the sequencer. Every call comes on the thread that drives the
// processor handler (the GUI thread of the window). Texts are the language's texts, in
// Windows-1252 like every text of the core.
class ISequencerView {
public:
    virtual ~ISequencerView() = default;

    // The progress display of a run: shown when a run starts (the window disables itself),
    // hidden when the unit is ready or the port closes.
    virtual void ShowProgress() = 0;
    virtual void HideProgress() = 0;
    // A controller's description and position of its work.
    virtual void ShowProgressInfo(const std::string& controllerName,
                                  const CProgressInfo& progressInfo) = 0;
    // Step `step` (from 1) of the run's `steps` begins; `steps` is what the run expects now and
    // may grow as the run finds more to do. The signal poll that follows a run is no step.
    virtual void ShowRunStep(int32_t /*step*/, int32_t /*steps*/) {}

    // The SIM wants a code; the meaning of the arguments is that of CControllerPin's request.
    virtual void RequestCode(EPinKind type, int32_t triesLeft, std::string& pin, std::string& puk,
                             bool& disableCodeCheck, bool previousCodeIncorrect,
                             bool& userAborted) = 0;

    // The signal poll's report after every poll.
    virtual void ReportSignal(int32_t signalStrength, int32_t loggedOnToNet) = 0;

    // A failure, in an error box.
    virtual void ShowError(const std::string& text) = 0;
    // Write refused: `text` says so and names every refused value, one a line after the
    // first; `values` are those values, for a front end that can point at them.
    virtual void ShowInvalidValues(const std::string& text,
                                   const std::vector<CInvalidValue>& /*values*/) {
        ShowError(text);
    }
    // A notice, in an information box.
    virtual void ShowInformation(const std::string& text) = 0;
    // A plain message that no user should ever see.
    virtual void ShowMessage(const std::string& text) = 0;
    // After a write: reconnect the unit's plugs.
    virtual void ShowPlugDialog() = 0;

    // The eleven controls that show the unit's current settings.
    virtual void ClearCurrentControls() = 0;
    // The network and signal texts.
    virtual void ClearSignalDisplay() = 0;
    // The tables changed behind the grids.
    virtual void RepaintGrids() = 0;
    // The port was opened or closed.
    virtual void ConnectionChanged(bool open) = 0;

    // Called last, after every other call a run makes.
    virtual void RunEnded(ERunOutcome /*outcome*/) {}
};
