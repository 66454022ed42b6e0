#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// A manual-reset event with timed waits: once set it stays set, and every waiter passes, until
// someone resets it. The processor's hold and cancel flags and the readers' cancel test use it.
class CEvent {
public:
    explicit CEvent(bool initiallySet = false) : signalled(initiallySet) {}
    CEvent(const CEvent&) = delete;
    CEvent& operator=(const CEvent&) = delete;

    void Set();
    void Reset();
    // A test that does not wait.
    bool IsSet() const;
    // True when the event is set now or becomes set within the time given.
    bool WaitFor(std::chrono::milliseconds timeout) const;
    void Wait() const;

private:
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    bool signalled;
};
