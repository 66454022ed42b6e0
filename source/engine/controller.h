#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/event.h"
#include "core/refobject.h"
#include "seriallink/commsource.h"

// What the progress window shows for a running controller: its text and `position` of
// `maximum` on the bar.
class CProgressInfo {
public:
    const std::string& GetDescription() const { return description; }
    void SetDescription(std::string text) { description = std::move(text); }
    int32_t GetPosition() const { return position; }
    void SetPosition(int32_t value) { position = value; }
    int32_t GetMaximum() const { return maximum; }
    void SetMaximum(int32_t value) { maximum = value; }

private:
    std::string description;
    int32_t position = 0;
    int32_t maximum = 0;
};

// Callbacks of the controllers and the handler. `id` is a description key or a class name.
using TGetDescriptionEvent = std::function<void(const std::string& id, std::string& description)>;
using TProgressEvent =
    std::function<void(const std::string& id, const CProgressInfo& progressInfo)>;

// One job against the unit, run as a state machine: each Step performs one action and leaves
// the run state telling the processor where the next Step must run (GUI thread, worker
// thread) or that the job is done. The processor and handler guarantee that a controller is
// never stepped on two threads at once, so its fields need no lock.
class IController : public CRefObject {
public:
    // Run states.
    static constexpr uint8_t stMAIN_STEP = 0;
    static constexpr uint8_t stWORKER_STEP = 1;
    static constexpr uint8_t stFINISHED = 2;
    // Results; a controller may define further codes.
    static constexpr uint8_t resultOk = 0;
    static constexpr uint8_t resultFailed = 1;
    static constexpr uint8_t resultNone = 255;

    IController(uint8_t initialState, std::string name)
        : state(initialState), name(std::move(name)) {}

    virtual void Step() = 0;
    // Lent, never counted or freed.
    virtual void SetCommSource(ICommSource* source) { commSource = source; }
    // Lent by the processor before the first Step. Controllers that own readers pass it on.
    virtual void SetCancelEvent(CEvent* event) { cancelEvent = event; }

    uint8_t GetState() const { return state; }
    void SetState(uint8_t newState) { state = newState; }
    uint8_t GetResult() const { return result; }
    void SetResult(uint8_t code) { result = code; }
    int32_t GetId() const { return id; }
    void SetId(int32_t number) { id = number; }
    std::string GetName() const { return name; }
    const CProgressInfo& GetProgressInfo() const { return progressInfo; }

    // Ends the controller as failed because a step threw: the message is kept so the main
    // window can name the cause next to the controller's name.
    void SetFailure(std::string message);
    // Empty unless a step ended the controller by throwing.
    std::string GetFailureMessage() const { return failureMessage; }
    // The controller has sent the unit a command that stores or erases part of its
    // configuration, so a failure may have left the unit half written.
    virtual bool MayHaveChangedUnit() const { return false; }

    // Calls off a port write of the current step that is waiting on a stalled adapter; the
    // step then fails with the port's message. Callable from any thread while the controller
    // is alive.
    void InterruptIo() const {
        if (commSource != nullptr) {
            commSource->Interrupt();
        }
    }

    // Looks at the event without waiting: a cancel that arrives a moment later is seen at the
    // next test, and long loops test often, so a wait here would only slow every caller.
    bool IsCancelRequested() const;
    // Waits up to `ms`, ending early on a cancel; callers test IsCancelRequested afterwards.
    // Without an event (a controller driven outside the processor) it simply sleeps.
    void PauseFor(uint32_t ms) const;

protected:
    CEvent* GetCancelEvent() const { return cancelEvent; }
    ICommSource* GetCommSource() const { return commSource; }

    CProgressInfo progressInfo;

private:
    uint8_t state;
    uint8_t result = resultNone;
    int32_t id = 0;
    std::string name;
    CEvent* cancelEvent = nullptr;
    ICommSource* commSource = nullptr;
    std::string failureMessage;
};
