#include "core/interruptwatcher.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>
#include <utility>

namespace {

constexpr std::array kStopSignals = {SIGINT, SIGTERM, SIGHUP};

// All a signal handler can reach: it is given no argument to say for whom it runs. Only
// lock-free atomics, write(2) and _Exit are used from it, which is all a handler may safely do.
// A handler, unlike signals blocked for a waiting thread, leaves no mask behind for the
// programs the window starts (a viewer for the manual, a browser).
struct CHandlerState {
    std::atomic<int> reportFd{-1};
    std::atomic<int> received{0};
    std::atomic<bool> exitAtOnce{false};
};
constinit CHandlerState handlerState;

extern "C" void TakeStopSignal(int signal) {
    const int savedErrno = errno;
    // A second signal ends the program even while the first one's stop is still under way.
    if (handlerState.exitAtOnce.load() || handlerState.received.exchange(signal) != 0) {
        std::_Exit(128 + signal);
    }
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(handlerState.reportFd.load(), &byte, 1);
    errno = savedErrno;
}

}  // namespace

// The handler only reports on a pipe; a thread of the watcher's own reads it and stops the
// program, so that nothing but the report runs in a signal handler.
class CInterruptWatcher::CWatch {
public:
    CWatch(std::function<void()> stop, std::string announcement)
        : stop(std::move(stop)), announcement(std::move(announcement)) {
        int fds[2] = {-1, -1};
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            throw std::system_error(errno, std::generic_category(), "stop signal pipe");
        }
        readFd = fds[0];
        writeFd = fds[1];
        // A handler must never wait, not even on a full pipe.
        ::fcntl(writeFd, F_SETFL, O_NONBLOCK);
        int none = -1;
        if (!handlerState.reportFd.compare_exchange_strong(none, writeFd)) {
            CloseFds();
            throw std::logic_error("only one interrupt watcher may watch at a time");
        }
        handlerState.received.store(0);
        handlerState.exitAtOnce.store(!this->stop);
        try {
            watcher = std::thread([this] { Watch(); });
        } catch (...) {
            handlerState.reportFd.store(-1);
            CloseFds();
            throw;
        }

        struct sigaction action {};
        action.sa_handler = TakeStopSignal;
        sigemptyset(&action.sa_mask);
        for (const int signal : kStopSignals) {
            sigaddset(&action.sa_mask, signal);
        }
        // Interrupted reads and writes elsewhere in the program go on by themselves; an
        // interrupted poll returns early, which every wait of the program takes as "nothing yet".
        action.sa_flags = SA_RESTART;
        for (std::size_t i = 0; i < kStopSignals.size(); ++i) {
            ::sigaction(kStopSignals[i], &action, &previous[i]);
        }
    }
    ~CWatch() {
        for (std::size_t i = 0; i < kStopSignals.size(); ++i) {
            ::sigaction(kStopSignals[i], &previous[i], nullptr);
        }
        done.store(true);
        const char byte = 0;
        [[maybe_unused]] const ssize_t written = ::write(writeFd, &byte, 1);
        watcher.join();
        handlerState.reportFd.store(-1);
        CloseFds();
    }
    CWatch(const CWatch&) = delete;
    CWatch& operator=(const CWatch&) = delete;

    int Received() const { return handlerState.received.load(); }

private:
    void Watch() {
        for (;;) {
            char byte = 0;
            const ssize_t got = ::read(readFd, &byte, 1);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0 || done.load()) {
                return;
            }
            std::cerr << announcement << "\n";
            stop();
        }
    }

    void CloseFds() {
        ::close(readFd);
        ::close(writeFd);
    }

    const std::function<void()> stop;
    const std::string announcement;
    int readFd = -1;
    int writeFd = -1;
    std::array<struct sigaction, kStopSignals.size()> previous{};
    std::atomic<bool> done{false};
    std::thread watcher;
};

CInterruptWatcher::CInterruptWatcher(std::function<void()> stop, std::string announcement)
    : watch(std::make_unique<CWatch>(std::move(stop), std::move(announcement))) {}

CInterruptWatcher::~CInterruptWatcher() = default;

int CInterruptWatcher::InterruptedStatus() const {
    const int signal = watch->Received();
    return signal != 0 ? 128 + signal : 0;
}

void KeepRunningOnClosedOutput() {
    signal(SIGPIPE, SIG_IGN);
}
