#include "core/inifile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string_view>
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

std::string SizeText(std::uintmax_t bytes) {
    constexpr std::uintmax_t kMiB = 1024 * 1024;
    return bytes % kMiB == 0 ? std::to_string(bytes / kMiB) + " MiB"
                             : std::to_string(bytes) + " bytes";
}

// The file's contents, at most `maxBytes` of them: the state says whether it was read whole.
struct FileContents {
    EIniFileState state = EIniFileState::Read;
    int error = 0;  // errno of an unreadable file
    struct stat info {};
    std::string content;
};

FileContents ReadBounded(const std::string& path, std::uintmax_t maxBytes) {
    FileContents result;
    CFileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.Get() < 0) {
        result.error = errno;
        result.state = errno == ENOENT || errno == ENOTDIR ? EIniFileState::Missing
                                                           : EIniFileState::Unreadable;
        return result;
    }
    if (::fstat(file.Get(), &result.info) != 0) {
        result.error = errno;
        result.state = EIniFileState::Unreadable;
        return result;
    }
    if (!S_ISREG(result.info.st_mode)) {
        result.state = EIniFileState::NotAFile;
        return result;
    }
    if (static_cast<std::uintmax_t>(result.info.st_size) > maxBytes) {
        result.state = EIniFileState::TooLarge;
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
            result.error = errno;
            result.state = EIniFileState::Unreadable;
            return result;
        }
        result.content.append(buffer, static_cast<std::size_t>(got));
        if (result.content.size() > maxBytes) {
            result.state = EIniFileState::TooLarge;
            result.content.clear();
            return result;
        }
    }
}

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

// The file a write replaces, as found before the write.
struct WriteTarget {
    std::string path;  // a symbolic link resolved, so the link itself survives
    struct stat info {};
    bool created = false;
};

// Opening the file itself for writing is the test that counts: the folder may allow a new
// file while the file is read-only, is a folder, or is a device, and then the write must fail.
std::optional<WriteTarget> PrepareTarget(const std::string& fileName) {
    WriteTarget target;
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
    if (fd < 0 || ::fstat(fd, &target.info) != 0 || !S_ISREG(target.info.st_mode)) {
        if (target.created) {
            ::unlink(target.path.c_str());
        }
        return std::nullopt;
    }
    return target;
}

// Writes `content` into the open file, gives it `mode` when asked to, and hands back what the
// file then looks like.
std::optional<struct stat> WriteAndStat(CFileDescriptor& file, const std::string& content,
                                        std::optional<mode_t> mode) {
    struct stat written {};
    if (!WriteAll(file.Get(), content) || (mode && ::fchmod(file.Get(), *mode) != 0) ||
        ::fstat(file.Get(), &written) != 0 || !file.Close()) {
        return std::nullopt;
    }
    return written;
}

// The file as it is on disk after the write, or nothing when the write failed.
std::optional<struct stat> ReplaceContent(const WriteTarget& target, const std::string& content) {
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
    if (::fchown(file.Get(), target.info.st_uid, target.info.st_gid) != 0) {
        // Someone else's file (writable through its group) becomes the writer's; its contents
        // and permissions are still right.
    }
    // No fsync: the rename already shows readers either the old or the new whole file.
    auto written = WriteAndStat(file, content, target.info.st_mode & 07777);
    if (!written || ::rename(temporary.c_str(), target.path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return std::nullopt;
    }
    return written;
}

bool IsStorableSection(std::string_view name) {
    return !name.empty() && name.find_first_of("\r\n") == std::string_view::npos;
}

bool IsStorableKey(std::string_view name) {
    return !name.empty() && name.find_first_of("\r\n=") == std::string_view::npos &&
           name.front() != '[' && name.front() != ';';
}

std::string Trimmed(const std::string& text) {
    constexpr std::string_view kBlanks = " \t\r\n\v\f";
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

}  // namespace

EIniWriteError::EIniWriteError(const std::string& fileName)
    : std::runtime_error("Unable to write to " + fileName) {}

bool CIniFile::Stamp::operator==(const Stamp& other) const {
    return device == other.device && inode == other.inode && size == other.size &&
           modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
}

CIniFile::CIniFile(std::string fileName, CIniLimits limits)
    : fileName(std::move(fileName)), limits(limits) {}

CIniFile::~CIniFile() = default;

EIniFileState CIniFile::Check(std::string content, std::unique_ptr<CIniText>& result) const {
    if (content.size() > limits.maxBytes) {
        return EIniFileState::TooLarge;
    }
    if (content.find('\0') != std::string::npos) {
        return EIniFileState::NotText;
    }
    result = std::make_unique<CIniText>(std::move(content));
    if (result->SectionLineCount() > limits.maxSections) {
        result.reset();
        return EIniFileState::TooManySections;
    }
    if (result->LargestSectionKeyCount() > limits.maxKeysPerSection) {
        result.reset();
        return EIniFileState::TooManyKeys;
    }
    return EIniFileState::Read;
}

void CIniFile::Refuse(EIniFileState newState, std::string newProblem) const {
    state = newState;
    problem = std::move(newProblem);
    parsed.reset();
}

void CIniFile::Refresh() const {
    struct stat info {};
    if (::stat(fileName.c_str(), &info) == 0) {
        const Stamp now{info.st_dev, info.st_ino, info.st_size, info.st_mtim};
        if (looked && now == stamp && S_ISREG(info.st_mode)) {
            return;
        }
    }
    looked = true;
    FileContents file = ReadBounded(fileName, limits.maxBytes);
    // What was read is this version of the file; a later change shows in the next look.
    stamp = Stamp{file.info.st_dev, file.info.st_ino, file.info.st_size, file.info.st_mtim};
    switch (file.state) {
        case EIniFileState::Read:
            break;
        case EIniFileState::Missing:
            // Looked at again each time, so a file created later is read.
            looked = false;
            return Refuse(EIniFileState::Missing, "does not exist");
        case EIniFileState::NotAFile:
            looked = false;
            return Refuse(EIniFileState::NotAFile,
                          S_ISDIR(file.info.st_mode) ? "is a folder" : "is not a regular file");
        case EIniFileState::Unreadable:
            looked = false;
            return Refuse(EIniFileState::Unreadable,
                          std::string("cannot be read (") + std::strerror(file.error) + ")");
        default:
            return Refuse(EIniFileState::TooLarge, "is larger than " + SizeText(limits.maxBytes));
    }
    std::unique_ptr<CIniText> text;
    switch (Check(std::move(file.content), text)) {
        case EIniFileState::NotText:
            return Refuse(EIniFileState::NotText, "is not a text file");
        case EIniFileState::TooManySections:
            return Refuse(EIniFileState::TooManySections,
                          "has more than " + std::to_string(limits.maxSections) + " sections");
        case EIniFileState::TooManyKeys:
            return Refuse(EIniFileState::TooManyKeys, "has a section with more than " +
                                                          std::to_string(limits.maxKeysPerSection) +
                                                          " keys");
        default:
            state = EIniFileState::Read;
            problem.clear();
            parsed = std::move(text);
    }
}

EIniFileState CIniFile::State() const {
    Refresh();
    return state;
}

std::string CIniFile::Problem() const {
    Refresh();
    return problem;
}

std::string CIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
    Refresh();
    if (!parsed) {
        return defaultValue;
    }
    return parsed->Value(section, key).value_or(defaultValue);
}

std::vector<std::string> CIniFile::ReadSections() const {
    Refresh();
    return parsed ? parsed->Sections() : std::vector<std::string>();
}

std::vector<std::string> CIniFile::ReadKeys(const std::string& section) const {
    Refresh();
    return parsed ? parsed->Keys(section) : std::vector<std::string>();
}

void CIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
    WriteStrings({{section, key, value}});
}

void CIniFile::WriteStrings(const std::vector<CIniEntry>& entries) {
    std::vector<CIniEntry> stored;
    stored.reserve(entries.size());
    for (const CIniEntry& entry : entries) {
        CIniEntry put{Trimmed(entry.section), Trimmed(entry.key), entry.value};
        if (!IsStorableSection(put.section) || !IsStorableKey(put.key)) {
            throw EIniWriteError(fileName);
        }
        for (char& c : put.value) {
            if (c == '\r' || c == '\n') {
                c = ' ';
            }
        }
        stored.push_back(std::move(put));
    }

    const auto target = PrepareTarget(fileName);
    if (!target) {
        throw EIniWriteError(fileName);
    }
    // A file this object would refuse to read is not the user's to lose: it is left as it is.
    // So is one that the write would make too large to be read back.
    std::unique_ptr<CIniText> before;
    std::unique_ptr<CIniText> after;
    std::optional<struct stat> written;
    if (!target->created) {
        FileContents file = ReadBounded(target->path, limits.maxBytes);
        if (file.state == EIniFileState::Read) {
            Check(std::move(file.content), before);
        }
    }
    if ((before || target->created) &&
        Check(CIniText::Edited(before ? before->Text() : std::string(), stored), after) ==
            EIniFileState::Read) {
        written = ReplaceContent(*target, after->Text());
    }
    if (!written) {
        if (target->created) {
            ::unlink(target->path.c_str());
        }
        throw EIniWriteError(fileName);
    }
    // The reads that follow are answered from what was just written.
    looked = true;
    stamp = Stamp{written->st_dev, written->st_ino, written->st_size, written->st_mtim};
    state = EIniFileState::Read;
    problem.clear();
    parsed = std::move(after);
}
