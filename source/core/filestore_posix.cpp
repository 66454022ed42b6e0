#include "core/filestore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

namespace {

class CFileDescriptor {
public:
    explicit CFileDescriptor(int fd) : fd(fd) {}
    ~CFileDescriptor() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    CFileDescriptor(const CFileDescriptor&) = delete;
    CFileDescriptor& operator=(const CFileDescriptor&) = delete;

    int Get() const { return fd; }
    // Closes now so that a failing close can be seen (it may report a lost write).
    bool Close() { return ::close(std::exchange(fd, -1)) == 0; }

private:
    int fd;
};

CFileStamp StampOf(const struct stat& info) {
    return CFileStamp{
        static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino),
        static_cast<int64_t>(info.st_size),
        static_cast<int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

}  // namespace

CBoundedRead ReadBounded(const std::string& path, std::uintmax_t maxBytes) {
    using EResult = CBoundedRead::EResult;
    CBoundedRead result;
    CFileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.Get() < 0) {
        result.reason = std::strerror(errno);
        result.result =
            errno == ENOENT || errno == ENOTDIR ? EResult::missing : EResult::unreadable;
        return result;
    }
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0) {
        result.reason = std::strerror(errno);
        result.result = EResult::unreadable;
        return result;
    }
    result.stamp = StampOf(info);
    if (!S_ISREG(info.st_mode)) {
        result.isFolder = S_ISDIR(info.st_mode);
        result.result = EResult::notAFile;
        return result;
    }
    if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
        result.result = EResult::tooLarge;
        return result;
    }
    // The file may grow while it is read: one byte past the limit is enough to refuse it.
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(file.Get(), buffer, sizeof buffer);
        if (got == 0) {
            return result;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            result.reason = std::strerror(errno);
            result.result = EResult::unreadable;
            return result;
        }
        result.content.append(buffer, static_cast<std::size_t>(got));
        if (result.content.size() > maxBytes) {
            result.result = EResult::tooLarge;
            result.content.clear();
            return result;
        }
    }
}

namespace {

bool WriteAll(int fd, const std::string& content) {
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t put = ::write(fd, content.data() + done, content.size() - done);
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    return true;
}

// Writes `content` into the open file, gives it `mode` when asked to, and hands back what the
// file then looks like.
std::optional<CFileStamp> WriteAndStat(CFileDescriptor& file, const std::string& content,
                                       std::optional<mode_t> mode) {
    struct stat written {};
    if (!WriteAll(file.Get(), content) || (mode && ::fchmod(file.Get(), *mode) != 0) ||
        ::fstat(file.Get(), &written) != 0 || !file.Close()) {
        return std::nullopt;
    }
    return StampOf(written);
}

}  // namespace

std::optional<CFileStamp> RegularFileStamp(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return StampOf(info);
}

std::optional<CReplaceTarget> PrepareTarget(const std::string& fileName) {
    CReplaceTarget target;
    target.path = fileName;
    struct stat linkInfo {};
    if (::lstat(fileName.c_str(), &linkInfo) == 0 && S_ISLNK(linkInfo.st_mode)) {
        std::error_code error;
        const auto resolved = std::filesystem::canonical(fileName, error);
        if (error) {
            return std::nullopt;
        }
        target.path = resolved.string();
    }
    constexpr int kFlags = O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    int fd = ::open(target.path.c_str(), kFlags);
    if (fd < 0 && errno == ENOENT) {
        // Created here so that the kernel applies the user's umask to the new file's mode.
        fd = ::open(target.path.c_str(), kFlags | O_CREAT | O_EXCL, 0666);
        target.created = fd >= 0;
    }
    CFileDescriptor file(fd);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        if (target.created) {
            ::unlink(target.path.c_str());
        }
        return std::nullopt;
    }
    target.mode = info.st_mode & 07777;
    target.owner = info.st_uid;
    target.group = info.st_gid;
    return target;
}

void RemoveCreated(const CReplaceTarget& target) {
    ::unlink(target.path.c_str());
}

std::optional<CFileStamp> ReplaceContent(const CReplaceTarget& target, const std::string& content) {
    const std::filesystem::path path(target.path);
    std::string temporary =
        (path.parent_path() / ("." + path.filename().string() + ".XXXXXX")).string();
    CFileDescriptor file(::mkostemp(temporary.data(), O_CLOEXEC));
    if (file.Get() < 0) {
        // A writable file in a folder that takes no new files (a shared install folder) is
        // still written, in place, as Windows would; it keeps its owner and permissions.
        if (target.created || errno != EACCES) {
            return std::nullopt;
        }
        CFileDescriptor inPlace(
            ::open(target.path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOCTTY));
        return inPlace.Get() < 0 ? std::nullopt : WriteAndStat(inPlace, content, std::nullopt);
    }
    if (::fchown(file.Get(), target.owner, target.group) != 0) {
        // Someone else's file (writable through its group) becomes the writer's; its contents
        // and permissions are still right.
    }
    // No fsync: the rename already shows readers either the old or the new whole file.
    auto written = WriteAndStat(file, content, static_cast<mode_t>(target.mode));
    if (!written || ::rename(temporary.c_str(), target.path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return std::nullopt;
    }
    return written;
}
