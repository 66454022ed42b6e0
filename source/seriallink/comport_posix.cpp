#include "seriallink/comport.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <thread>

#include "seriallink/comporttexts.h"

using namespace comporttext;

namespace {

struct SpeedEntry {
    uint32_t baud;
    speed_t speed;
};

constexpr SpeedEntry kSpeeds[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

speed_t SpeedOf(uint32_t baud) {
    for (const auto& entry : kSpeeds) {
        if (entry.baud == baud) {
            return entry.speed;
        }
    }
    return B0;
}

// How long a close waits for queued bytes to leave before the line settings found at Open come
// back: a byte still in the adapter would otherwise go out at those settings. Bounded, so a
// wedged adapter cannot hold the close.
constexpr std::chrono::milliseconds kCloseDrainLimit{200};

// How often a stalled write looks whether it has been called off.
constexpr std::chrono::milliseconds kGiveUpSlice{10};

void WaitUntilSent(int fd, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int queued = 0;
    while (::ioctl(fd, TIOCOUTQ, &queued) == 0 && queued > 0 &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// Opens a device the way both Open and the probes do: read and write, never as the
// controlling terminal, never waiting for a carrier. -1 with errno set on failure.
int OpenDevice(const std::string& path) {
    int fd = -1;
    do {
        fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// The advisory lock is what keeps a second opener out, root included (TIOCEXCL does not stop
// root), and it goes with the descriptor.
bool LockDevice(int fd) {
    int rc = -1;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

}  // namespace

bool CComPort::IsPortName(const std::string& name) {
    static const char* const prefixes[] = {"ttyS", "ttyUSB", "ttyACM", "ttyAMA", "rfcomm"};
    for (const char* prefix : prefixes) {
        const std::size_t len = std::strlen(prefix);
        if (name.size() > len && name.compare(0, len, prefix) == 0 &&
            std::all_of(name.begin() + static_cast<std::ptrdiff_t>(len), name.end(),
                        [](unsigned char c) { return std::isdigit(c); })) {
            return true;
        }
    }
    return false;
}

namespace {

bool IsUartName(const std::string& name) {
    return CComPort::IsPortName(name) && name.compare(0, 4, "ttyS") == 0;
}

// /dev/ttyS0 to ttyS31 exist on most machines whether or not a UART sits behind them; the
// driver reports PORT_UNKNOWN for the empty ones.
bool IsRealUart(int fd) {
    serial_struct info{};
    return ::ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
}

bool Probe(const std::string& path, bool needUart) {
    const int fd = OpenDevice(path);
    if (fd < 0) {
        return false;
    }
    const bool usable = LockDevice(fd) && (!needUart || IsRealUart(fd));
    ::flock(fd, LOCK_UN);
    ::close(fd);
    return usable;
}

}  // namespace

CComPort::~CComPort() {
    Close();
}

std::string CComPort::DevicePath(const std::string& name) {
    return name.find('/') == std::string::npos ? "/dev/" + name : name;
}

bool CComPort::BuildActiveConfig(const std::string& modeString, const termios& found,
                                 termios& active) {
    termios config = found;
    cfmakeraw(&config);
    if (modeString.find_first_not_of(" \t") != std::string::npos) {
        const auto line = ParseMode(modeString);
        if (!line) {
            return false;
        }
        const speed_t speed = SpeedOf(line->baud);
        if (speed == B0 || cfsetispeed(&config, speed) != 0 || cfsetospeed(&config, speed) != 0) {
            return false;
        }
        config.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CMSPAR);
        static const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
        config.c_cflag |= sizes[line->dataBits - 5];
        if (line->parity != 'n') {
            config.c_cflag |= PARENB;
            if (line->parity == 'o') {
                config.c_cflag |= PARODD;
            }
        }
        if (line->stopBits == 2) {
            config.c_cflag |= CSTOPB;
        }
    }
    // No flow control of either kind: the XON and XOFF bytes must pass like any other, and
    // neither the handshake nor the carrier line may stop or hang up the port.
    config.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
    config.c_cflag |= CLOCAL | CREAD;
    config.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    config.c_cc[VMIN] = 0;
    config.c_cc[VTIME] = 0;
    active = config;
    return true;
}

std::string CComPort::OpenFailureMessage(int error, const std::string& path) {
    std::string message = kInUse;
    switch (error) {
        case 0:
        case EBUSY:
        case EWOULDBLOCK:
            break;
        case EACCES:
        case EPERM:
            message +=
                "\nPermission denied: add your user to the 'dialout' group and log in again.";
            break;
        case ENOENT:
        case ENODEV:
        case ENXIO:
            message += "\nNo such device: " + path;
            break;
        case ENOTTY:
            message += "\nNot a serial port: " + path;
            break;
        default:
            message += "\n" + std::string(std::strerror(error)) + ": " + path;
            break;
    }
    return message;
}

void CComPort::ReleaseDevice() noexcept {
    if (handle >= 0) {
        // Exclusive mode outlives our descriptor while anyone else holds the tty open.
        ::ioctl(handle, TIOCNXCL);
        ::flock(handle, LOCK_UN);
        ::close(handle);
        handle = -1;
    }
}

void CComPort::Open() {
    if (opened) {
        return;
    }
    if (portName.empty()) {
        throw EComPortException(kNoPort);
    }
    const std::string path = DevicePath(portName);
    handle = OpenDevice(path);
    if (handle < 0) {
        throw EComPortException(OpenFailureMessage(errno, path));
    }
    // Lock before claiming exclusive mode, so a port that another program holds is left as
    // that program set it.
    if (!LockDevice(handle) || ::ioctl(handle, TIOCEXCL) != 0) {
        const int error = errno;
        ReleaseDevice();
        throw EComPortException(OpenFailureMessage(error, path));
    }
    if (tcgetattr(handle, &savedConfig) != 0) {
        FailOpen(kGetConfig);
    }
    const int flags = ::fcntl(handle, F_GETFL);
    if (flags < 0) {
        FailOpen(kGetTimeouts);
    }
    if ((flags & O_NONBLOCK) == 0 && ::fcntl(handle, F_SETFL, flags | O_NONBLOCK) != 0) {
        FailOpen(kSetTimeouts);
    }
    if (!BuildActiveConfig(settings, savedConfig, activeConfig) ||
        tcsetattr(handle, TCSANOW, &activeConfig) != 0) {
        FailOpen(kConfigure);
    }
    opened = true;
}

void CComPort::Close() noexcept {
    if (!opened) {
        return;
    }
    WaitUntilSent(handle, kCloseDrainLimit);
    tcsetattr(handle, TCSANOW, &savedConfig);
    ReleaseDevice();
    opened = false;
}

void CComPort::Purge(EPurgeKind kind) {
    if (!opened) {
        return;
    }
    if (kind == purgeAll && tcflush(handle, TCIOFLUSH) != 0) {
        throw EComPortException(kPurgeAll);
    }
    if ((kind == purgeAll || kind == purgeTransmit) && tcflush(handle, TCOFLUSH) != 0) {
        throw EComPortException(kPurgeTransmit);
    }
    if ((kind == purgeAll || kind == purgeReceive) && tcflush(handle, TCIFLUSH) != 0) {
        throw EComPortException(kPurgeReceive);
    }
}

void CComPort::Read(char* buffer, uint32_t count, uint32_t& received) {
    if (!opened) {
        throw EComPortException(kReadClosed);
    }
    ssize_t n = -1;
    do {
        n = ::read(handle, buffer, count);
    } while (n < 0 && errno == EINTR);
    if (n > 0) {
        received = static_cast<uint32_t>(n);
        return;
    }
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
        throw EComPortException(kReadError);
    }
    // With VMIN and VTIME at 0 a read of nothing means "nothing yet", but it is also all a
    // hung-up tty (adapter pulled, far end of a pseudo-terminal gone) ever returns again; only
    // the poll state tells the two apart.
    pollfd p{handle, POLLIN, 0};
    if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        throw EComPortException(kReadError);
    }
    received = 0;
}

void CComPort::Write(const char* buffer, uint32_t count, const std::function<bool()>& giveUp) {
    if (!opened) {
        throw EComPortException(kWriteClosed);
    }
    if (writePause.count() > 0) {
        std::this_thread::sleep_for(writePause);
    }
    uint32_t done = 0;
    auto lastProgress = std::chrono::steady_clock::now();
    while (done < count) {
        const ssize_t n = ::write(handle, buffer + done, count - done);
        if (n > 0) {
            done += static_cast<uint32_t>(n);
            lastProgress = std::chrono::steady_clock::now();
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            throw EComPortException(kWriteError);
        }
        const auto left = writeStallLimit - std::chrono::duration_cast<std::chrono::milliseconds>(
                                                std::chrono::steady_clock::now() - lastProgress);
        if (left.count() <= 0 || (giveUp && giveUp())) {
            break;
        }
        // With someone who may call the write off, it waits in short slices to look again.
        const auto wait = giveUp ? std::min(left, kGiveUpSlice) : left;
        pollfd p{handle, POLLOUT, 0};
        if (::poll(&p, 1, static_cast<int>(wait.count())) > 0 &&
            (p.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            throw EComPortException(kWriteError);
        }
    }
    if (done == 0) {
        throw EComPortException(kWriteTimedOut);
    }
    if (done < count) {
        throw EComPortException(kWriteShort);
    }
}

bool CComPort::WaitReadable(NativeHandle fd, uint32_t timeoutMs) {
    if (fd < 0) {
        return false;
    }
    pollfd p{fd, POLLIN, 0};
    const int timeout = static_cast<int>(std::min<uint32_t>(timeoutMs, 0x7fffffff));
    return ::poll(&p, 1, timeout) > 0 && (p.revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) != 0;
}

CComPort::NativeHandle CComPort::DuplicateHandle() const {
    return opened ? ::fcntl(handle, F_DUPFD_CLOEXEC, 0) : kNoHandle;
}

void CComPort::ReleaseHandle(NativeHandle fd) noexcept {
    if (fd >= 0) {
        ::close(fd);
    }
}

void CComPort::ListPorts(std::vector<std::string>& list) {
    std::vector<std::string> found;
    std::error_code error;
    for (std::filesystem::directory_iterator it("/dev", error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (IsPortName(name) && Probe(it->path().string(), IsUartName(name))) {
            found.push_back(name);
        }
    }
    std::sort(found.begin(), found.end(), PortNameLess);
    list.insert(list.end(), found.begin(), found.end());
}

bool CComPort::CanOpen(const std::string& portName) {
    if (portName.empty()) {
        return false;
    }
    const std::string path = DevicePath(portName);
    return Probe(path, IsUartName(std::filesystem::path(path).filename().string()));
}
