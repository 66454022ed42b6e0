#include "core/interruptwatcher.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <iostream>
#include <string>
#include <utility>

// The console calls its control handler on a thread of its own, with no argument to say for
// whom; the one watcher of the process is found through the handler's own pointer.
class CInterruptWatcher::CWatch {
public:
    CWatch(std::function<void()> stop, std::string announcement)
        : stop(std::move(stop)), announcement(std::move(announcement)) {
        Current().store(this);
        ::SetConsoleCtrlHandler(&CWatch::Handler, TRUE);
    }
    ~CWatch() {
        ::SetConsoleCtrlHandler(&CWatch::Handler, FALSE);
        Current().store(nullptr);
    }
    CWatch(const CWatch&) = delete;
    CWatch& operator=(const CWatch&) = delete;

    int Status() const { return status.load(); }

private:
    // The exit status a shell gives a program ended by Ctrl+C, or by another console event.
    static int StatusOf(DWORD event) {
        return event == CTRL_C_EVENT ? 130 : 128 + static_cast<int>(event);
    }

    static std::atomic<CWatch*>& Current() {
        static std::atomic<CWatch*> current{nullptr};
        return current;
    }

    static BOOL WINAPI Handler(DWORD event) {
        CWatch* watch = Current().load();
        if (watch == nullptr) {
            return FALSE;
        }
        if (watch->cancelling.exchange(true) || !watch->stop) {
            std::_Exit(StatusOf(event));
        }
        watch->status.store(StatusOf(event));
        std::cerr << watch->announcement << "\n";
        watch->stop();
        return TRUE;
    }

    const std::function<void()> stop;
    const std::string announcement;
    std::atomic<bool> cancelling{false};
    std::atomic<int> status{0};
};

CInterruptWatcher::CInterruptWatcher(std::function<void()> stop, std::string announcement)
    : watch(std::make_unique<CWatch>(std::move(stop), std::move(announcement))) {}

CInterruptWatcher::~CInterruptWatcher() = default;

int CInterruptWatcher::InterruptedStatus() const {
    return watch->Status();
}

// Windows has no signal for a closed pipe: the write fails and the stream marks itself bad.
void KeepRunningOnClosedOutput() {}
