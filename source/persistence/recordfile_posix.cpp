#include "persistence/recordfile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace {

// Closes the descriptor, and with it the file's lock, on every way out.
class CDescriptor {
public:
    explicit CDescriptor(int fd) : fd(fd) {}
    ~CDescriptor() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    CDescriptor(const CDescriptor&) = delete;
    CDescriptor& operator=(const CDescriptor&) = delete;
    int Get() const { return fd; }

private:
    int fd;
};

}  // namespace

void CRecordFile::Append(const std::vector<std::string>& header,
                         const std::vector<std::string>& fields) {
    const auto fail = [this](const char* what) {
        throw std::runtime_error(path + ": " + what + ": " + std::strerror(errno));
    };
    std::lock_guard guard(mutex);
    const CDescriptor file(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644));
    if (file.Get() < 0) {
        fail("cannot be opened for writing");
    }
    // Another writer holds the lock for one write only; a program that keeps it much longer
    // must not freeze the window, so the wait is bounded.
    const auto giveUp = std::chrono::steady_clock::now() + kAppendLockBound;
    while (::flock(file.Get(), LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) ||
            std::chrono::steady_clock::now() >= giveUp) {
            fail("cannot be locked");
        }
        std::this_thread::sleep_for(kAppendLockRetry);
    }
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0) {
        fail("cannot be examined");
    }
    std::string bytes;
    if (info.st_size == 0) {
        bytes = kFileStart + Row(header);
    }
    bytes += Row(fields);
    // One write, so that a reader or another writer never sees half a row.
    ssize_t written = -1;
    do {
        written = ::write(file.Get(), bytes.data(), bytes.size());
    } while (written < 0 && errno == EINTR);
    if (written < 0) {
        fail("cannot be written");
    }
    if (static_cast<std::size_t>(written) != bytes.size()) {
        errno = ENOSPC;
        fail("was written only in part");
    }
}
