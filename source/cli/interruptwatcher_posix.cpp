#include "cli/interruptwatcher.h"

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <thread>
#include <utility>

// The signals are taken by a thread of their own, so nothing in the program runs in a signal
// handler.
class CInterruptWatcher::CWatch {
public:
    explicit CWatch(std::function<void()> stop) : stop(std::move(stop)) {
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

    int Received() const { return received.load(); }

private:
    void Watch() {
        const timespec slice{0, 100'000'000};
        bool cancelling = false;
        while (!done.load()) {
            const int signal = sigtimedwait(&signals, nullptr, &slice);
            if (signal < 0) {
                continue;
            }
            if (cancelling || !stop) {
                std::_Exit(128 + signal);
            }
            cancelling = true;
            received.store(signal);
            std::cerr << "sendibox-cli: stopping; disconnecting the units\n";
            stop();
        }
    }

    const std::function<void()> stop;
    sigset_t signals;
    std::atomic<bool> done{false};
    std::atomic<int> received{0};
    std::thread watcher;
};

CInterruptWatcher::CInterruptWatcher(std::function<void()> stop)
    : watch(std::make_unique<CWatch>(std::move(stop))) {}

CInterruptWatcher::~CInterruptWatcher() = default;

int CInterruptWatcher::InterruptedStatus() const {
    const int signal = watch->Received();
    return signal != 0 ? 128 + signal : 0;
}

void KeepRunningOnClosedOutput() {
    signal(SIGPIPE, SIG_IGN);
}
