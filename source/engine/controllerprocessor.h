#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

#include "core/event.h"
#include "core/refobject.h"
#include "engine/controller.h"
#include "engine/exceptionthread.h"

// The worker thread that runs the current controller's worker steps. Whenever the controller
// needs the GUI thread (stMAIN_STEP) or has finished, the worker holds itself and notifies the
// GUI side; it touches the controller again only after the GUI side has released the hold.
//
// Everything the worker decides on (the hold and cancel events, `busy`, `current`) changes
// under one lock, and the worker sleeps on a condition of that lock while it has nothing to do,
// so it starts the moment work arrives and costs nothing while idle. HoldAndWait waits under
// the same lock, so it can never return between the worker's test of the hold and its step.
class CControllerProcessor : public CExceptionThread {
public:
    // Called on the worker with the controller's id and a hand-over number; must not block.
    using TNotify = std::function<void(int32_t id, uint64_t handover)>;

    // The thread starts at once, held and cancelled.
    explicit CControllerProcessor(TNotify notify);
    ~CControllerProcessor() override;

    // Replaces the current controller and lends it the cancel event. GUI thread, only while
    // the worker is held.
    void SetController(IController* controller);
    void ReleaseController();

    // Hold: while set, the worker does not touch the current controller.
    void SetPaused(bool flag);
    bool IsPaused() const;
    // Cancel: while set, the worker drops the current controller, and waits and reads in
    // controllers end early.
    void SetCancelled(bool flag);
    bool IsCancelled() const;
    bool IsBusy();

    // Sets the hold and returns once the worker has finished the step it was in and has seen
    // the hold. Set the cancel first so that a long step ends quickly: pauses and reads end on
    // the cancel, and a step still busy after kStallLimit is waiting in a port write, which is
    // then called off (the step fails with the port's message).
    void HoldAndWait();

    static constexpr std::chrono::milliseconds kStallLimit{200};

    // True while the notification numbered `handover` still stands: the worker holds itself
    // for it and nobody has released the hold, taken a new controller or cancelled since. A
    // notification that was overtaken must not step the controller.
    bool IsHandoverOpen(uint64_t handover);

    // The event lent to controllers and their readers.
    CEvent* GetCancelEvent() { return &cancelEvent; }

protected:
    void Execute() override;
    void WakeUp() override;

private:
    class CPriorityLock;

    // All with `lock` held.
    bool HasWork() const;
    void RunCurrent(std::unique_lock<std::mutex>& guard);
    void HandOver(std::unique_lock<std::mutex>& guard, int32_t id);

    const TNotify notify;
    std::mutex lock;
    std::condition_variable changed;
    // GUI-side operations waiting for `lock`; the worker does not start a step while any do.
    std::atomic<int> lockWanted{0};
    bool busy = false;
    CEvent pauseEvent{true};
    CEvent cancelEvent{true};
    CRefPtr<IController> current;
    // The controller in a worker step, kept alive by the worker for the step's length.
    IController* stepping = nullptr;
    uint64_t lastHandover = 0;
    uint64_t openHandover = 0;  // 0: none
};
