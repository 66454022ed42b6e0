#include "core/filestore.h"

#include <windows.h>

#include <filesystem>
#include <random>
#include <utility>

#include "core/systemtext.h"

namespace {

// Paths are UTF-8 inside the tool and wide for the system.
std::wstring Widen(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end())).wstring();
}

class CFileHandle {
public:
    explicit CFileHandle(HANDLE handle) : handle(handle) {}
    ~CFileHandle() { Close(); }
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;

    bool Valid() const { return handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle; }
    // Closes now so that a failing close can be seen.
    bool Close() {
        const HANDLE closing = std::exchange(handle, INVALID_HANDLE_VALUE);
        return closing == INVALID_HANDLE_VALUE || ::CloseHandle(closing) != FALSE;
    }

private:
    HANDLE handle;
};

// Others may read, write and replace the file while it is open here, as with a POSIX file.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

CFileStamp StampOf(const BY_HANDLE_FILE_INFORMATION& info) {
    const auto join = [](DWORD high, DWORD low) {
        return (static_cast<uint64_t>(high) << 32) | low;
    };
    return CFileStamp{info.dwVolumeSerialNumber, join(info.nFileIndexHigh, info.nFileIndexLow),
                      static_cast<int64_t>(join(info.nFileSizeHigh, info.nFileSizeLow)),
                      static_cast<int64_t>(join(info.ftLastWriteTime.dwHighDateTime,
                                                info.ftLastWriteTime.dwLowDateTime)) *
                          100};
}

bool IsRegular(HANDLE handle, const BY_HANDLE_FILE_INFORMATION& info) {
    return ::GetFileType(handle) == FILE_TYPE_DISK &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool WriteAll(HANDLE handle, const std::string& content) {
    std::size_t done = 0;
    while (done < content.size()) {
        const DWORD piece =
            static_cast<DWORD>(std::min<std::size_t>(content.size() - done, 1 << 20));
        DWORD put = 0;
        if (!::WriteFile(handle, content.data() + done, piece, &put, nullptr) || put == 0) {
            return false;
        }
        done += put;
    }
    return true;
}

std::optional<CFileStamp> WriteAndStat(CFileHandle& file, const std::string& content) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!WriteAll(file.Get(), content) || !::GetFileInformationByHandle(file.Get(), &info) ||
        !file.Close()) {
        return std::nullopt;
    }
    return StampOf(info);
}

}  // namespace

CBoundedRead ReadBounded(const std::string& path, std::uintmax_t maxBytes) {
    using EResult = CBoundedRead::EResult;
    CBoundedRead result;
    // Backup semantics let a folder open too, so that it can be told from a missing file.
    CFileHandle file(::CreateFileW(Widen(path).c_str(), GENERIC_READ, kShareAll, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.Valid()) {
        const DWORD error = ::GetLastError();
        result.reason = Win32ErrorText(error);
        result.result = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                            ? EResult::missing
                            : EResult::unreadable;
        return result;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file.Get(), &info)) {
        result.reason = Win32ErrorText(::GetLastError());
        result.result = EResult::unreadable;
        return result;
    }
    result.stamp = StampOf(info);
    if (!IsRegular(file.Get(), info)) {
        result.isFolder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        result.result = EResult::notAFile;
        return result;
    }
    if (static_cast<std::uintmax_t>(result.stamp.size) > maxBytes) {
        result.result = EResult::tooLarge;
        return result;
    }
    // The file may grow while it is read: one byte past the limit is enough to refuse it.
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr)) {
            result.reason = Win32ErrorText(::GetLastError());
            result.result = EResult::unreadable;
            return result;
        }
        if (got == 0) {
            return result;
        }
        result.content.append(buffer, got);
        if (result.content.size() > maxBytes) {
            result.result = EResult::tooLarge;
            result.content.clear();
            return result;
        }
    }
}

std::optional<CFileStamp> RegularFileStamp(const std::string& path) {
    CFileHandle file(::CreateFileW(Widen(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file.Valid() || !::GetFileInformationByHandle(file.Get(), &info) ||
        !IsRegular(file.Get(), info)) {
        return std::nullopt;
    }
    return StampOf(info);
}

std::optional<CReplaceTarget> PrepareTarget(const std::string& fileName) {
    CReplaceTarget target;
    target.path = fileName;
    const std::wstring path = Widen(fileName);
    // Without backup semantics a folder does not open, and a read-only file refuses writing.
    HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_FILE_NOT_FOUND) {
        handle = ::CreateFileW(path.c_str(), GENERIC_WRITE, kShareAll, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        target.created = handle != INVALID_HANDLE_VALUE;
    }
    CFileHandle file(handle);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file.Valid() || !::GetFileInformationByHandle(file.Get(), &info) ||
        !IsRegular(file.Get(), info)) {
        file.Close();
        if (target.created) {
            RemoveCreated(target);
        }
        return std::nullopt;
    }
    return target;
}

void RemoveCreated(const CReplaceTarget& target) {
    ::DeleteFileW(Widen(target.path).c_str());
}

std::optional<CFileStamp> ReplaceContent(const CReplaceTarget& target, const std::string& content) {
    const std::filesystem::path path(Widen(target.path));
    std::random_device random;
    std::filesystem::path temporary;
    HANDLE handle = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 16 && handle == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = path.parent_path() /
                    (L"." + path.filename().wstring() + L"." + std::to_wstring(random() % 1000000));
        handle = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) {
            break;
        }
    }
    if (handle == INVALID_HANDLE_VALUE) {
        // A writable file in a folder that takes no new files is still written, in place.
        if (target.created || ::GetLastError() != ERROR_ACCESS_DENIED) {
            return std::nullopt;
        }
        CFileHandle inPlace(::CreateFileW(path.c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                          TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        return inPlace.Valid() ? WriteAndStat(inPlace, content) : std::nullopt;
    }
    CFileHandle file(handle);
    // No flush to the disk: the replacement already shows readers either the old or the new
    // whole file.
    auto written = WriteAndStat(file, content);
    if (!written || !::MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        ::DeleteFileW(temporary.c_str());
        return std::nullopt;
    }
    // The replacement is a new file: what identifies it is read from its new name.
    return RegularFileStamp(target.path);
}
