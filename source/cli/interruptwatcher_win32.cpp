#include "cli/interruptwatcher.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <iostream>

#include "cli/jobrunner.h"

// The console calls its control handler on a thread of its own, with no argument to say for
// whom; the one watcher of the process is found through the handler's own pointer.
class CInterruptWatcher::CWatch {
public:
    explicit CWatch(CJobRunner& runner) : runner(runner) {
        Current().store(this);
        ::SetConsoleCtrlHandler(&CWatch::Handler, TRUE);
    }
    ~CWatch() {
        ::SetConsoleCtrlHandler(&CWatch::Handler, FALSE);
        Current().store(nullptr);
    }
    CWatch(const CWatch&) = delete;
    CWatch& operator=(const CWatch&) = delete;

private:
    static std::atomic<CWatch*>& Current() {
        static std::atomic<CWatch*> current{nullptr};
        return current;
    }

    static BOOL WINAPI Handler(DWORD event) {
        CWatch* watch = Current().load();
        if (watch == nullptr) {
            return FALSE;
        }
        if (watch->cancelling.exchange(true)) {
            // The exit status a shell gives a program ended by Ctrl+C.
            std::_Exit(event == CTRL_C_EVENT ? 130 : 128 + static_cast<int>(event));
        }
        std::cerr << "sendibox-cli: stopping; disconnecting the units\n";
        watch->runner.Cancel();
        return TRUE;
    }

    CJobRunner& runner;
    std::atomic<bool> cancelling{false};
};

CInterruptWatcher::CInterruptWatcher(CJobRunner& runner)
    : watch(std::make_unique<CWatch>(runner)) {}

CInterruptWatcher::~CInterruptWatcher() = default;

// Windows has no signal for a closed pipe: the write fails and the stream marks itself bad.
void KeepRunningOnClosedOutput() {}
