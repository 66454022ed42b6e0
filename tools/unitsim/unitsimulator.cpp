#include "unitsim/unitsimulator.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <iostream>
#include <stdexcept>

#include "unitsim/gsmalphabet.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kFifoBytes = 16;  // what a UART sends without waiting in between

// How long one byte (start bit, 8 data bits, stop bit) is on the line; 0 without pacing.
std::chrono::nanoseconds ByteTime(unsigned baud) {
    return baud > 0 ? std::chrono::nanoseconds(10'000'000'000LL / baud)
                    : std::chrono::nanoseconds(0);
}

void CloseFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

void MakeRaw(int fd) {
    termios raw{};
    if (tcgetattr(fd, &raw) == 0) {
        cfmakeraw(&raw);
        tcsetattr(fd, TCSANOW, &raw);
    }
}

std::string LinkTarget(const std::string& link) {
    char target[PATH_MAX];
    const ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
    return n > 0 ? std::string(target, static_cast<std::size_t>(n)) : std::string();
}

}  // namespace

CUnitSimulator::CUnitSimulator(CUnitSimulatorOptions opts) : options(std::move(opts)) {
    CUnitState state = options.initialState;
    bool create = false;
    if (!options.statePath.empty()) {
        struct stat info {};
        if (::stat(options.statePath.c_str(), &info) == 0) {
            state = CUnitState::Load(options.statePath);
        } else if (errno == ENOENT) {
            create = true;
        } else {
            throw std::runtime_error("cannot read the state file " + options.statePath + ": " +
                                     std::strerror(errno));
        }
    }
    fileIdentity = state;
    if (options.maker) {
        state.maker = *options.maker;
    }
    if (options.model) {
        state.model = *options.model;
    }
    if (options.revision) {
        state.revision = *options.revision;
    }
    if (options.simBusyMs) {
        state.sim.busyMs = std::max(*options.simBusyMs, 0);
    }
    if (create) {
        fileIdentity.Save(options.statePath);
    }
    modem = std::make_unique<CUnitModem>(std::move(state),
                                         [this](const CUnitState& changed) { SaveState(changed); });
    for (const CCommandFault& fault : options.faults) {
        modem->AddFault(fault);
    }
    modem->SetStoreIndexFault(options.storeIndexFault);
    modem->SetHangUpAfter(options.hangUpAfter);
    if (!options.logPath.empty()) {
        logFile.open(options.logPath, std::ios::binary | std::ios::trunc);
        if (!logFile) {
            throw std::runtime_error("cannot write the log file " + options.logPath);
        }
    }
}

CUnitSimulator::~CUnitSimulator() {
    Stop();
}

void CUnitSimulator::SaveState(const CUnitState& changed) {
    if (options.statePath.empty()) {
        return;
    }
    // The run's overrides are not the unit's: the file keeps what it said.
    CUnitState stored = changed;
    stored.maker = fileIdentity.maker;
    stored.model = fileIdentity.model;
    stored.revision = fileIdentity.revision;
    stored.sim.busyMs = fileIdentity.sim.busyMs;
    try {
        stored.Save(options.statePath);
        saveFailed = false;
    } catch (const std::exception& e) {
        if (!saveFailed) {
            std::cerr << "sendibox-unitsim: " << e.what() << std::endl;
        }
        saveFailed = true;
    }
}

void CUnitSimulator::Start() {
    std::lock_guard<std::mutex> lock(mutex);
    if (worker.joinable() || hungUp) {
        return;
    }
    char name[256] = {};
    if (::openpty(&master, &slaveKeepAlive, name, nullptr, nullptr) != 0) {
        throw std::runtime_error(std::string("cannot open a pseudo-terminal: ") +
                                 std::strerror(errno));
    }
    slavePath = name;
    // The line discipline must pass every byte both ways unchanged, echo included: the module
    // does its own echo.
    MakeRaw(slaveKeepAlive);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slaveKeepAlive, F_SETFD, FD_CLOEXEC);
    int pipeFds[2];
    if (::pipe2(pipeFds, O_NONBLOCK | O_CLOEXEC) != 0) {
        CloseLine();
        throw std::runtime_error("cannot create a pipe");
    }
    wakeRead = pipeFds[0];
    wakeWrite = pipeFds[1];
    watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watch >= 0 && ::inotify_add_watch(watch, slavePath.c_str(), IN_OPEN | IN_CLOSE) < 0) {
        CloseFd(watch);
    }
    if (!options.linkPath.empty()) {
        const std::string& link = options.linkPath;
        struct stat info {};
        if (::lstat(link.c_str(), &info) == 0 && !S_ISLNK(info.st_mode)) {
            CloseLine();
            throw std::runtime_error(link + " exists and is not a symbolic link");
        }
        const std::string temp = link + ".new" + std::to_string(::getpid());
        ::unlink(temp.c_str());
        if (::symlink(slavePath.c_str(), temp.c_str()) != 0 ||
            ::rename(temp.c_str(), link.c_str()) != 0) {
            const int error = errno;
            ::unlink(temp.c_str());
            CloseLine();
            throw std::runtime_error("cannot create the link " + link + ": " +
                                     std::strerror(error));
        }
        linkPublished = true;
    }
    stopping = false;
    worker = std::thread([this] { Run(); });
}

void CUnitSimulator::Stop() {
    stopping = true;
    Wake();
    if (worker.joinable()) {
        worker.join();
    }
    std::lock_guard<std::mutex> lock(mutex);
    CloseLine();
}

// Closes every descriptor of the line and takes the link away; the caller holds the mutex or
// is the worker at its end.
void CUnitSimulator::CloseLine() {
    if (linkPublished) {
        // Only our own link goes: another simulator may have taken the name over since.
        if (LinkTarget(options.linkPath) == slavePath) {
            ::unlink(options.linkPath.c_str());
        }
        linkPublished = false;
    }
    CloseFd(watch);
    CloseFd(master);
    CloseFd(slaveKeepAlive);
    CloseFd(wakeRead);
    CloseFd(wakeWrite);
}

std::string CUnitSimulator::PortPath() const {
    std::lock_guard<std::mutex> lock(mutex);
    return options.linkPath.empty() ? slavePath : options.linkPath;
}

std::string CUnitSimulator::SlavePath() const {
    std::lock_guard<std::mutex> lock(mutex);
    return slavePath;
}

std::vector<std::string> CUnitSimulator::CommandLog() const {
    std::lock_guard<std::mutex> lock(mutex);
    return log;
}

std::size_t CUnitSimulator::CommandCount() const {
    std::lock_guard<std::mutex> lock(mutex);
    return log.size();
}

void CUnitSimulator::ClearCommandLog() {
    std::lock_guard<std::mutex> lock(mutex);
    log.clear();
}

CUnitState CUnitSimulator::State() const {
    std::lock_guard<std::mutex> lock(mutex);
    return modem->State();
}

void CUnitSimulator::AddFault(const CCommandFault& fault) {
    std::lock_guard<std::mutex> lock(mutex);
    modem->AddFault(fault);
}

void CUnitSimulator::ClearFaults() {
    std::lock_guard<std::mutex> lock(mutex);
    modem->ClearFaults();
}

void CUnitSimulator::SetStoreIndexFault(int nth) {
    std::lock_guard<std::mutex> lock(mutex);
    modem->SetStoreIndexFault(nth);
}

void CUnitSimulator::SetHangUpAfter(int entries) {
    std::lock_guard<std::mutex> lock(mutex);
    modem->SetHangUpAfter(entries);
}

void CUnitSimulator::SendUnsolicited(const std::string& line) {
    {
        std::lock_guard<std::mutex> lock(mutex);
        unsolicited.push_back("\r\n" + line + "\r\n");
    }
    Wake();
}

void CUnitSimulator::HangUp() {
    hangUpRequested = true;
    Wake();
}

bool CUnitSimulator::IsHungUp() const {
    return hungUp;
}

void CUnitSimulator::Wake() {
    // The pipe is only closed by Stop after the worker has ended, under the mutex.
    std::lock_guard<std::mutex> lock(mutex);
    if (wakeWrite >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = ::write(wakeWrite, &byte, 1);
    }
}

void CUnitSimulator::DrainWake() {
    char buffer[64];
    while (::read(wakeRead, buffer, sizeof buffer) > 0) {
    }
}

bool CUnitSimulator::Interrupted() const {
    return stopping || hangUpRequested;
}

void CUnitSimulator::Run() {
    char buffer[4096];
    while (!stopping) {
        if (hangUpRequested) {
            break;
        }
        std::string pending;
        {
            std::lock_guard<std::mutex> lock(mutex);
            for (const std::string& each : unsolicited) {
                pending += each;
            }
            unsolicited.clear();
        }
        if (!pending.empty()) {
            Send(pending);
            continue;
        }
        pollfd fds[3] = {{master, POLLIN, 0}, {wakeRead, POLLIN, 0}, {watch, POLLIN, 0}};
        if (::poll(fds, watch >= 0 ? 3 : 2, -1) < 0) {
            continue;
        }
        if (fds[1].revents != 0) {
            DrainWake();
        }
        if (watch >= 0 && fds[2].revents != 0) {
            WatchClients();
        }
        if ((fds[0].revents & POLLIN) == 0) {
            if (fds[0].revents & (POLLHUP | POLLERR)) {
                // Cannot happen while the slave is held open; waits for a wake rather than
                // spinning should it happen all the same.
                pollfd wake{wakeRead, POLLIN, 0};
                ::poll(&wake, 1, 50);
            }
            continue;
        }
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0) {
            continue;
        }
        bytesReceived += static_cast<std::size_t>(n);
        // The client's bytes reach the pseudo-terminal at once; on a line they would still be
        // arriving, one byte time each, and the module answers only once it has them all.
        if (options.baud > 0) {
            lineInFree = std::max(lineInFree, Clock::now()) + ByteTime(options.baud) * n;
            if (!WaitUntil(lineInFree)) {
                continue;
            }
        }
        std::vector<CModemOutput> outputs;
        {
            std::lock_guard<std::mutex> lock(mutex);
            outputs = modem->Feed(std::string_view(buffer, static_cast<std::size_t>(n)));
            TakeLogEntries();
        }
        Emit(outputs);
    }
    if (hangUpRequested && !stopping) {
        std::lock_guard<std::mutex> lock(mutex);
        // Closing the master hangs the slave up: the client's writes fail with EIO and its
        // poll reports POLLHUP, as with a pulled USB adapter, whose node vanishes as well.
        CloseFd(master);
        CloseFd(slaveKeepAlive);
        CloseFd(watch);
        if (linkPublished && LinkTarget(options.linkPath) == slavePath) {
            ::unlink(options.linkPath.c_str());
        }
        linkPublished = false;
        hungUp = true;
    }
}

void CUnitSimulator::TakeLogEntries() {
    for (const std::string& entry : modem->CommandLog()) {
        log.push_back(entry);
        if (logFile.is_open()) {
            logFile << CGsmAlphabet::EscapeForListing(entry) << '\n';
            logFile.flush();
        }
    }
    modem->ClearCommandLog();
}

void CUnitSimulator::Emit(const std::vector<CModemOutput>& outputs) {
    for (const CModemOutput& output : outputs) {
        if (output.kind == CModemOutput::Kind::HangUp) {
            hangUpRequested = true;
            return;
        }
        if (output.kind == CModemOutput::Kind::Reply && options.latencyMs > 0 &&
            !WaitUntil(Clock::now() + std::chrono::milliseconds(options.latencyMs))) {
            return;
        }
        if (!Send(output.bytes)) {
            return;
        }
    }
}

bool CUnitSimulator::WaitUntil(Clock::time_point deadline) {
    for (;;) {
        if (Interrupted()) {
            return false;
        }
        const auto left = deadline - Clock::now();
        if (left <= Clock::duration::zero()) {
            return true;
        }
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        const timespec timeout{static_cast<time_t>(ns / 1000000000),
                               static_cast<long>(ns % 1000000000)};
        pollfd wake{wakeRead, POLLIN, 0};
        if (::ppoll(&wake, 1, &timeout, nullptr) > 0) {
            DrainWake();
        }
    }
}

bool CUnitSimulator::Send(const std::string& bytes) {
    const auto byteTime = ByteTime(options.baud);
    // A line that was idle starts now. From then on the bursts keep to the line's own clock, so
    // a wake-up that comes late is made up by the next burst instead of slowing the line down.
    nextSend = std::max(nextSend, Clock::now());
    std::size_t done = 0;
    while (done < bytes.size()) {
        if (Interrupted()) {
            return false;
        }
        std::size_t chunk = bytes.size() - done;
        if (byteTime.count() > 0) {
            chunk = std::min(chunk, kFifoBytes);
            // A byte reaches the far end only once its frame is over, so a burst is handed
            // over at the end of its time on the line.
            if (!WaitUntil(nextSend + byteTime * chunk)) {
                return false;
            }
        }
        const ssize_t n = ::write(master, bytes.data() + done, chunk);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            bytesSent += static_cast<std::size_t>(n);
            nextSend += byteTime * n;
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            // The client is not reading; wait for room, or for a stop.
            pollfd fds[2] = {{master, POLLOUT, 0}, {wakeRead, POLLIN, 0}};
            if (::poll(fds, 2, 100) > 0 && fds[1].revents != 0) {
                DrainWake();
            }
            continue;
        }
        return false;
    }
    return true;
}

void CUnitSimulator::WatchClients() {
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(watch, buffer, sizeof buffer);
        if (n <= 0) {
            return;
        }
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->mask & IN_OPEN) {
                ++clients;
            } else if (event->mask & IN_CLOSE) {
                clients = std::max(clients - 1, 0);
                if (clients == 0) {
                    ReleaseClients();
                }
            }
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

// What a real port's last close does by itself: the next client finds it free and raw.
void CUnitSimulator::ReleaseClients() {
    ::ioctl(slaveKeepAlive, TIOCNXCL);
    MakeRaw(slaveKeepAlive);
}
