#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/controller.h"
#include "engine/responsereader.h"

// What every unit command controller shares, written once: the two opening steps on the GUI
// thread (description, then progress), the progress step that every later action returns to,
// the dispatch on the action counter `m_currState`, and the command exchange through the
// communication source with the controller's readers. A concrete controller sets its reply
// time-out and description in the constructor and writes only its own working actions in
// DoAction.
//
// Controllers constructed in stMAIN_STEP begin with the opening steps (actions 0 and 1) and
// start their own work at action stFIRST_WORK; those constructed in stWORKER_STEP have no
// opening steps and own every action value, starting at 0.
class CControllerBase : public IController {
public:
    // The default description when OnGetDescription is not set or leaves it alone. A
    // controller without opening steps still names its key, for the failure message.
    enum class DefaultDescription {
        Empty,  // an empty text
        Named,  // the class name followed by "::actionGetDescriptionString"
    };

    // Opening-step action values.
    static constexpr uint8_t stGET_DESCRIPTION = 0;
    static constexpr uint8_t stPROGRESS = 1;
    static constexpr uint8_t stFIRST_WORK = 2;
    // The pause most commands are preceded by.
    static constexpr uint32_t kCommandPauseMs = 100;
    // Cancels the module's text entry; ignored when the module is at its commands.
    static constexpr char kEscape = '\x1B';

    void Step() override;
    void SetCancelEvent(CEvent* event) override;

    std::string GetDescriptionKey() const { return descriptionKey; }
    bool MayHaveChangedUnit() const override { return changesUnit && commandSent; }

    // Caps the pause before each command. Production keeps the full pauses the module needs;
    // tests against the simulated unit, which needs none, lift them so whole operations run
    // in a moment.
    void SetCommandPauseLimit(uint32_t ms) { commandPauseLimitMs = ms; }
    // Production keeps the time-out each controller is built with, for both readers; tests
    // shorten it so that an error reply or silence is not waited out in full.
    void SetReplyTimeout(uint32_t ms) {
        reader.SetTimeout(ms);
        stringReader.SetTimeout(ms);
    }
    uint8_t GetCurrentAction() const { return m_currState; }

    // Both optional; called on the GUI thread only, from the opening and progress steps.
    TGetDescriptionEvent OnGetDescription;
    TProgressEvent OnProgress;

protected:
    // `replyTimeoutMs` is the general reader's time-out; the string reader, which only
    // prompt-waiting controllers use, gets the same unless the controller sets its own.
    CControllerBase(uint8_t initialState, std::string name, uint32_t replyTimeoutMs,
                    std::string descriptionKey = {},
                    DefaultDescription defaultDescription = DefaultDescription::Empty);

    // The controller's own actions: stFIRST_WORK and up after the opening steps, every value
    // for a controller without them. A value with nothing to do should return unchanged.
    virtual void DoAction(uint8_t action) = 0;
    // Hooks of the opening steps: the range is set before the description is asked for, the
    // position before OnProgress shows it.
    virtual void PrepareDescription() {}
    virtual void PrepareProgress() {}

    // For the controllers whose commands store or erase configuration: from their first
    // command on, the unit may differ from what was read.
    void SetChangesUnit() { changesUnit = true; }
    // Hands the GUI thread a progress step, after which work goes on at stFIRST_WORK.
    void ReturnToProgressStep();
    // Ends the controller with `code`.
    void Finish(uint8_t code);

    // One exchange: pause (ended early by a cancel, after which the exchange still goes on),
    // write the whole command text, collect the reply with the general reader. True only when
    // the reply completed; false when the reader timed out, which includes every error reply,
    // and when a cancel cut the read short, so a partial reply is never acted on. Callers that
    // must tell a cancel from a failure use ExchangeUnlessCancelled.
    bool Exchange(std::string text, uint32_t pauseMs = 0);
    // The same, waiting with the string reader until its expected text has arrived.
    bool ExchangeForPrompt(std::string text, uint32_t pauseMs = 0);
    // The halves of an exchange, for controllers that test for a cancel between them. The text
    // is kept in `command`, so SendCommand(command) repeats the last one unchanged.
    void SendCommand(std::string text, uint32_t pauseMs = 0);
    // Sends ESC, which releases a module that some earlier run or program left waiting for
    // message text, then gives the module `settleMs` (within the pause limit) to answer, so
    // that its answer is gone with the purge before the next command.
    void ReleaseTextEntry(uint32_t settleMs);
    // Whether the reply (or the prompt) arrived in time and no cancel came during the read.
    bool ReadReply();
    bool ReadPrompt();
    // The halves with the cancel tested after each: nothing when a cancel came (the step then
    // simply returns), otherwise whether the reply (or the prompt) arrived in time.
    std::optional<bool> ExchangeUnlessCancelled(std::string text, uint32_t pauseMs = 0);
    std::optional<bool> ExchangeForPromptUnlessCancelled(std::string text, uint32_t pauseMs = 0);

    // The outcome of the last read, from whichever reader made it.
    std::string GetReply() const { return lastReader->GetResponse(); }
    bool IsReplyTimedOut() const { return lastReader->IsTimedOut(); }
    bool ReplyContains(std::string_view text) const;

    uint8_t m_currState = 0;
    std::string command;
    uint32_t commandPauseLimitMs = UINT32_MAX;
    CGeneralResponseReader reader;
    CGeneralStringReader stringReader;

private:
    std::optional<bool> SendAndRead(std::string text, uint32_t pauseMs,
                                    bool (CControllerBase::*read)());
    // The prompt-awaiting form: from the moment it is written the module may be waiting for
    // message text, which the communication source must know in case it is closed before the
    // text goes out.
    void SendPromptCommand(std::string text, uint32_t pauseMs);
    void Pause(uint32_t ms);
    void actionGetDescriptionString();
    void actionProgress();
    bool ReadWith(IResponseReader& used);
    ICommSource* RequireSource() const;

    const bool hasOpeningSteps;
    const std::string descriptionKey;
    const DefaultDescription defaultDescription;
    IResponseReader* lastReader = &reader;
    bool changesUnit = false;
    bool commandSent = false;
};
