#include "core/event.h"

void CEvent::Set() {
    {
        std::lock_guard lock(mutex);
        signalled = true;
    }
    changed.notify_all();
}

void CEvent::Reset() {
    std::lock_guard lock(mutex);
    signalled = false;
}

bool CEvent::IsSet() const {
    std::lock_guard lock(mutex);
    return signalled;
}

bool CEvent::WaitFor(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, timeout, [this] { return signalled; });
}

void CEvent::Wait() const {
    std::unique_lock lock(mutex);
    changed.wait(lock, [this] { return signalled; });
}
