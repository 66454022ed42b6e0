#include "cli/interruptwatcher.h"

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <thread>

#include "cli/jobrunner.h"

// The signals are taken by a thread of their own, so nothing in the program runs in a signal
// handler.
class CInterruptWatcher::CWatch {
public:
    explicit CWatch(CJobRunner& runner) : runner(runner) {
        sigemptyset(&signals);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
            sigaddset(&signals, signal);
        }
        // Before any other thread starts, so that every thread inherits the mask.
        pthread_sigmask(SIG_BLOCK, &signals, nullptr);
        watcher = std::thread([this] { Watch(); });
    }
    ~CWatch() {
        done.store(true);
        watcher.join();
    }
    CWatch(const CWatch&) = delete;
    CWatch& operator=(const CWatch&) = delete;

private:
    void Watch() {
        const timespec slice{0, 100'000'000};
        bool cancelling = false;
        while (!done.load()) {
            const int signal = sigtimedwait(&signals, nullptr, &slice);
            if (signal < 0) {
                continue;
            }
            if (cancelling) {
                std::_Exit(128 + signal);
            }
            cancelling = true;
            std::cerr << "sendibox-cli: stopping; disconnecting the units\n";
            runner.Cancel();
        }
    }

    CJobRunner& runner;
    sigset_t signals;
    std::atomic<bool> done{false};
    std::thread watcher;
};

CInterruptWatcher::CInterruptWatcher(CJobRunner& runner)
    : watch(std::make_unique<CWatch>(runner)) {}

CInterruptWatcher::~CInterruptWatcher() = default;

void KeepRunningOnClosedOutput() {
    signal(SIGPIPE, SIG_IGN);
}
