#include "core/inifile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string_view>
#include <utility>

namespace {

constexpr std::string_view kBlanks = " \t\r\n\v\f";

std::string Trim(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(kBlanks);
    return std::string(text.substr(first, last - first + 1));
}

// Windows compares profile names in the user's code page; for Windows-1252 that pairs the ASCII
// letters, the Latin-1 letters C0..DE (without the multiplication sign) and four letters of the
// 80..9F block.
uint8_t FoldCase(uint8_t c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return static_cast<uint8_t>(c + 0x20);
    }
    switch (c) {
        case 0x8A:
        case 0x8C:
        case 0x8E:
            return static_cast<uint8_t>(c + 0x10);
        case 0x9F:
            return 0xFF;
        default:
            return c;
    }
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(static_cast<uint8_t>(a[i])) != FoldCase(static_cast<uint8_t>(b[i]))) {
            return false;
        }
    }
    return true;
}

struct Line {
    std::string text;
    std::string eol;  // "\r\n", "\n", or empty for a last line without an ending
};

std::vector<Line> SplitLines(const std::string& content) {
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < content.size()) {
        const auto newline = content.find('\n', pos);
        if (newline == std::string::npos) {
            lines.push_back({content.substr(pos), ""});
            break;
        }
        const bool crlf = newline > pos && content[newline - 1] == '\r';
        const auto end = crlf ? newline - 1 : newline;
        lines.push_back({content.substr(pos, end - pos), crlf ? "\r\n" : "\n"});
        pos = newline + 1;
    }
    return lines;
}

std::string JoinLines(const std::vector<Line>& lines) {
    std::string content;
    for (const auto& line : lines) {
        content += line.text;
        content += line.eol;
    }
    return content;
}

std::string LineEndingOf(const std::string& content) {
    const auto newline = content.find('\n');
    if (newline != std::string::npos && (newline == 0 || content[newline - 1] != '\r')) {
        return "\n";
    }
    return "\r\n";
}

enum class LineKind { Other, Section, Key };

struct LineInfo {
    LineKind kind = LineKind::Other;
    std::string name;
    std::size_t valueStart = 0;  // index just after the "=" of a key line
};

LineInfo Classify(const std::string& text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos || text[first] == ';') {
        return {};
    }
    if (text[first] == '[') {
        // The last "]" closes the name, so a name may itself hold one.
        const auto close = text.rfind(']');
        if (close == std::string::npos || close < first) {
            return {};
        }
        return {LineKind::Section,
                Trim(std::string_view(text).substr(first + 1, close - first - 1)), 0};
    }
    const auto equals = text.find('=');
    if (equals == std::string::npos) {
        return {};
    }
    std::string name = Trim(std::string_view(text).substr(0, equals));
    if (name.empty()) {
        return {};
    }
    return {LineKind::Key, std::move(name), equals + 1};
}

struct SectionRange {
    std::size_t header;
    std::size_t end;  // one past the section's last line
};

std::optional<SectionRange> FindSection(const std::vector<Line>& lines, std::string_view name) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto info = Classify(lines[i].text);
        if (info.kind != LineKind::Section || !SameName(info.name, name)) {
            continue;
        }
        std::size_t end = i + 1;
        while (end < lines.size() && Classify(lines[end].text).kind != LineKind::Section) {
            ++end;
        }
        return SectionRange{i, end};
    }
    return std::nullopt;
}

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

std::optional<std::string> ReadWholeFile(const std::string& path) {
    CFileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat info {};
    if (file.Get() < 0 || ::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    std::string content;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(file.Get(), buffer, sizeof buffer);
        if (got == 0) {
            return content;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        content.append(buffer, static_cast<std::size_t>(got));
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

bool OverwriteInPlace(const std::string& path, const std::string& content) {
    CFileDescriptor file(::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOCTTY));
    return file.Get() >= 0 && WriteAll(file.Get(), content) && file.Close();
}

// The file a write replaces, as found before the write.
struct WriteTarget {
    std::string path;  // a symbolic link resolved, so the link itself survives
    std::string content;
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
    if (fd < 0) {
        return std::nullopt;
    }
    if (target.created) {
        if (::fstat(fd, &target.info) != 0) {
            ::unlink(target.path.c_str());
            return std::nullopt;
        }
        return target;
    }
    auto content = ReadWholeFile(target.path);
    if (::fstat(fd, &target.info) != 0 || !S_ISREG(target.info.st_mode) || !content) {
        return std::nullopt;
    }
    target.content = std::move(*content);
    return target;
}

bool ReplaceContent(const WriteTarget& target, const std::string& content) {
    const std::filesystem::path path(target.path);
    std::string temporary =
        (path.parent_path() / ("." + path.filename().string() + ".XXXXXX")).string();
    CFileDescriptor file(::mkostemp(temporary.data(), O_CLOEXEC));
    if (file.Get() < 0) {
        // A writable file in a folder that takes no new files (a shared install folder) is
        // still written, in place, as Windows would.
        return !target.created && errno == EACCES && OverwriteInPlace(target.path, content);
    }
    if (::fchown(file.Get(), target.info.st_uid, target.info.st_gid) != 0) {
        // Someone else's file (writable through its group) becomes the writer's; its contents
        // and permissions are still right.
    }
    // No fsync: the rename already shows readers either the old or the new whole file, and a
    // profile save writes several hundred keys one by one, where a flush per key would freeze
    // the window for seconds.
    const bool written = WriteAll(file.Get(), content) &&
                         ::fchmod(file.Get(), target.info.st_mode & 07777) == 0 && file.Close() &&
                         ::rename(temporary.c_str(), target.path.c_str()) == 0;
    if (!written) {
        ::unlink(temporary.c_str());
    }
    return written;
}

bool IsStorableSection(const std::string& name) {
    return !name.empty() && name.find_first_of("\r\n") == std::string::npos;
}

bool IsStorableKey(const std::string& name) {
    return !name.empty() && name.find_first_of("\r\n=") == std::string::npos &&
           name.front() != '[' && name.front() != ';';
}

void PutKey(std::vector<Line>& lines, const std::string& section, const std::string& key,
            const std::string& value, const std::string& eol) {
    const auto range = FindSection(lines, section);
    if (!range) {
        if (!lines.empty()) {
            if (lines.back().eol.empty()) {
                lines.back().eol = eol;
            }
            if (!Trim(lines.back().text).empty()) {
                lines.push_back({"", eol});
            }
        }
        lines.push_back({"[" + section + "]", eol});
        lines.push_back({key + "=" + value, eol});
        return;
    }
    std::size_t lastKey = range->header;
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
        const auto info = Classify(lines[i].text);
        if (info.kind != LineKind::Key) {
            continue;
        }
        if (SameName(info.name, key)) {
            // Everything up to the "=" stays as the file has it (spelling, indentation).
            lines[i].text.replace(info.valueStart, std::string::npos, value);
            return;
        }
        lastKey = i;
    }
    if (lines[lastKey].eol.empty()) {
        lines[lastKey].eol = eol;
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(lastKey) + 1,
                 Line{key + "=" + value, eol});
}

std::vector<std::string> ListNames(const std::vector<std::string>& names) {
    std::vector<std::string> listed;
    std::size_t used = 1;  // the zero byte that closes the list
    for (const auto& name : names) {
        // An empty name would end the zero-separated list early.
        bool seen = name.empty();
        for (const auto& earlier : listed) {
            seen = seen || SameName(earlier, name);
        }
        if (seen) {
            continue;
        }
        if (used + name.size() + 1 > CIniFile::kListBufferSize) {
            break;
        }
        used += name.size() + 1;
        listed.push_back(name);
    }
    return listed;
}

}  // namespace

EIniWriteError::EIniWriteError(const std::string& fileName)
    : std::runtime_error("Unable to write to " + fileName) {}

CIniFile::CIniFile(std::string fileName) : fileName(std::move(fileName)) {}

std::string CIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
    const auto content = ReadWholeFile(fileName);
    if (!content) {
        return defaultValue;
    }
    const auto lines = SplitLines(*content);
    const auto range = FindSection(lines, Trim(section));
    if (!range) {
        return defaultValue;
    }
    const std::string wanted = Trim(key);
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
        const auto info = Classify(lines[i].text);
        if (info.kind != LineKind::Key || !SameName(info.name, wanted)) {
            continue;
        }
        std::string value = Trim(std::string_view(lines[i].text).substr(info.valueStart));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front()) {
            value = value.substr(1, value.size() - 2);
        }
        if (value.size() > kMaxValueLength) {
            value.resize(kMaxValueLength);
        }
        return value;
    }
    return defaultValue;
}

void CIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
    const std::string sectionName = Trim(section);
    const std::string keyName = Trim(key);
    if (!IsStorableSection(sectionName) || !IsStorableKey(keyName)) {
        throw EIniWriteError(fileName);
    }
    std::string storedValue = value;
    for (char& c : storedValue) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }

    auto target = PrepareTarget(fileName);
    if (!target) {
        throw EIniWriteError(fileName);
    }
    auto lines = SplitLines(target->content);
    PutKey(lines, sectionName, keyName, storedValue, LineEndingOf(target->content));
    if (!ReplaceContent(*target, JoinLines(lines))) {
        if (target->created) {
            ::unlink(target->path.c_str());
        }
        throw EIniWriteError(fileName);
    }
}

std::vector<std::string> CIniFile::ReadSections() const {
    const auto content = ReadWholeFile(fileName);
    if (!content) {
        return {};
    }
    std::vector<std::string> names;
    for (const auto& line : SplitLines(*content)) {
        auto info = Classify(line.text);
        if (info.kind == LineKind::Section) {
            names.push_back(std::move(info.name));
        }
    }
    return ListNames(names);
}

std::vector<std::string> CIniFile::ReadKeys(const std::string& section) const {
    const auto content = ReadWholeFile(fileName);
    if (!content) {
        return {};
    }
    const auto lines = SplitLines(*content);
    const auto range = FindSection(lines, Trim(section));
    if (!range) {
        return {};
    }
    std::vector<std::string> names;
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
        auto info = Classify(lines[i].text);
        if (info.kind == LineKind::Key) {
            names.push_back(std::move(info.name));
        }
    }
    return ListNames(names);
}
