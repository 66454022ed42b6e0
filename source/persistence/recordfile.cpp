#include "persistence/recordfile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

std::string Field(const std::string& value) {
    std::string field = value;
    if (!field.empty() && std::strchr("=+-@\t\r", field.front()) != nullptr) {
        field.insert(0, "'");
    }
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        return field;
    }
    std::string quoted = "\"";
    for (const char c : field) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

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

CRecordFile::CRecordFile(std::string path) : path(std::move(path)) {}

std::string CRecordFile::Row(const std::vector<std::string>& fields) {
    std::string row;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            row += ',';
        }
        row += Field(fields[i]);
    }
    return row + "\r\n";
}

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
    int locked = -1;
    do {
        locked = ::flock(file.Get(), LOCK_EX);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        fail("cannot be locked");
    }
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0) {
        fail("cannot be examined");
    }
    std::string bytes;
    if (info.st_size == 0) {
        bytes = kByteOrderMark + Row(header);
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
