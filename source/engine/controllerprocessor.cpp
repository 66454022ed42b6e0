#include "engine/controllerprocessor.h"

#include <chrono>
#include <exception>
#include <string>

namespace {

std::string MessageOf(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return {};
    }
}

}  // namespace

// The worker gives up the lock after every step and takes it back at once; a plain lock would
// let it do so ahead of the GUI thread again and again while steps are short. A GUI-side
// operation therefore announces itself first, and the worker steps back while one waits.
class CControllerProcessor::CPriorityLock {
public:
    explicit CPriorityLock(CControllerProcessor& processor)
        : processor(processor), guard(Acquire(processor)) {}
    ~CPriorityLock() {
        guard.unlock();
        processor.changed.notify_all();
    }
    std::unique_lock<std::mutex>& Guard() { return guard; }

private:
    static std::unique_lock<std::mutex> Acquire(CControllerProcessor& processor) {
        processor.lockWanted.fetch_add(1);
        std::unique_lock<std::mutex> taken(processor.lock);
        processor.lockWanted.fetch_sub(1);
        return taken;
    }

    CControllerProcessor& processor;
    std::unique_lock<std::mutex> guard;
};

CControllerProcessor::CControllerProcessor(TNotify notify) : notify(std::move(notify)) {
    Start();
}

CControllerProcessor::~CControllerProcessor() {
    {
        CPriorityLock guard(*this);
        pauseEvent.Set();
        cancelEvent.Set();
    }
    Terminate();
    WaitFor();
    current.Reset();
}

void CControllerProcessor::SetController(IController* controller) {
    CPriorityLock guard(*this);
    current.Reset();
    if (controller != nullptr) {
        controller->SetCancelEvent(&cancelEvent);
        current = CRefPtr<IController>::Share(controller);
    }
    openHandover = 0;
}

void CControllerProcessor::ReleaseController() {
    CPriorityLock guard(*this);
    current.Reset();
}

void CControllerProcessor::SetPaused(bool flag) {
    CPriorityLock guard(*this);
    if (flag) {
        pauseEvent.Set();
    } else {
        pauseEvent.Reset();
        openHandover = 0;
    }
}

bool CControllerProcessor::IsPaused() const {
    return pauseEvent.IsSet();
}

void CControllerProcessor::SetCancelled(bool flag) {
    CPriorityLock guard(*this);
    if (flag) {
        cancelEvent.Set();
        openHandover = 0;
    } else {
        cancelEvent.Reset();
    }
}

bool CControllerProcessor::IsCancelled() const {
    return cancelEvent.IsSet();
}

bool CControllerProcessor::IsBusy() {
    CPriorityLock guard(*this);
    return busy;
}

void CControllerProcessor::HoldAndWait() {
    CPriorityLock guard(*this);
    pauseEvent.Set();
    if (IsCurrentThread()) {
        return;  // the worker cannot wait for itself
    }
    while (!changed.wait_for(guard.Guard(), kStallLimit, [this] { return !busy; })) {
        if (stepping != nullptr) {
            stepping->InterruptIo();
        }
    }
}

bool CControllerProcessor::IsHandoverOpen(uint64_t handover) {
    CPriorityLock guard(*this);
    return handover != 0 && handover == openHandover;
}

void CControllerProcessor::WakeUp() {
    CPriorityLock guard(*this);
}

bool CControllerProcessor::HasWork() const {
    if (IsTerminated()) {
        return true;
    }
    if (!current) {
        return false;
    }
    // A cancelled controller is work too: it has to be dropped.
    return cancelEvent.IsSet() || !pauseEvent.IsSet();
}

void CControllerProcessor::Execute() {
    std::unique_lock guard(lock);
    while (!IsTerminated()) {
        if (cancelEvent.IsSet()) {
            current.Reset();
        }
        if (lockWanted.load() == 0 && current && !pauseEvent.IsSet() && !cancelEvent.IsSet()) {
            // Decided under the lock together with the tests above, so a HoldAndWait that
            // saw `busy` false cannot be followed by a step.
            busy = true;
            RunCurrent(guard);
        } else {
            if (busy) {
                busy = false;
                changed.notify_all();
            }
            changed.wait(guard, [this] { return lockWanted.load() == 0 && HasWork(); });
        }
    }
    busy = false;
    changed.notify_all();
}

void CControllerProcessor::RunCurrent(std::unique_lock<std::mutex>& guard) {
    // Our own reference for the length of the step, so that even a Clean without a hold first
    // cannot free the controller under the worker.
    CRefPtr<IController> controller = current;
    switch (controller->GetState()) {
        case IController::stMAIN_STEP: {
            pauseEvent.Set();
            const int32_t id = controller->GetId();
            controller.Reset();
            HandOver(guard, id);
            break;
        }
        case IController::stWORKER_STEP: {
            stepping = controller.get();
            guard.unlock();
            try {
                controller->Step();
            } catch (...) {
                // A step that throws ends its controller as failed, with the cause kept for the
                // main window; the normal finished notification follows on the next cycle.
                const std::exception_ptr error = std::current_exception();
                controller->SetFailure(MessageOf(error));
                try {
                    HandleException(error);
                } catch (...) {
                    // The controller already carries the failure; a faulty handler must not
                    // end the worker.
                }
            }
            guard.lock();
            stepping = nullptr;
            // Released outside the lock, as everything the GUI thread might wait behind.
            guard.unlock();
            controller.Reset();
            guard.lock();
            break;
        }
        case IController::stFINISHED: {
            pauseEvent.Set();
            const int32_t id = controller->GetId();
            controller.Reset();
            current.Reset();
            HandOver(guard, id);
            break;
        }
        default:
            // Not a run state this worker knows; wait for someone to change something rather
            // than spin on it.
            controller.Reset();
            changed.wait_for(guard, std::chrono::milliseconds(50));
            break;
    }
}

void CControllerProcessor::HandOver(std::unique_lock<std::mutex>& guard, int32_t id) {
    const uint64_t handover = ++lastHandover;
    openHandover = handover;
    // Posting may take the GUI toolkit's own locks; never do that while holding ours.
    guard.unlock();
    notify(id, handover);
    guard.lock();
}
