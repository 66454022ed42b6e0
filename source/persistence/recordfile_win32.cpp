#include "persistence/recordfile.h"

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "core/systemtext.h"

namespace {

// Closes the file, and with it the file's lock, on every way out.
class CFileHandle {
public:
    explicit CFileHandle(HANDLE handle) : handle(handle) {}
    ~CFileHandle() {
        if (handle != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle);
        }
    }
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;
    HANDLE Get() const { return handle; }

private:
    HANDLE handle;
};

}  // namespace

void CRecordFile::Append(const std::vector<std::string>& header,
                         const std::vector<std::string>& fields) {
    const auto fail = [this](const char* what) {
        throw std::runtime_error(path + ": " + what + ": " + Win32ErrorText(::GetLastError()));
    };
    std::lock_guard guard(mutex);
    const std::wstring widePath =
        std::filesystem::path(std::u8string(path.begin(), path.end())).wstring();
    // Appending only: every write goes to the end, whoever else appends.
    const CFileHandle file(::CreateFileW(widePath.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) {
        fail("cannot be opened for writing");
    }
    // Another writer holds the lock for one write only; a program that keeps it much longer
    // must not freeze the window, so the wait is bounded. The lock covers the whole file,
    // however long it grows.
    const auto giveUp = std::chrono::steady_clock::now() + kAppendLockBound;
    OVERLAPPED whole{};
    while (!::LockFileEx(file.Get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                         MAXDWORD, MAXDWORD, &whole)) {
        if (::GetLastError() != ERROR_LOCK_VIOLATION ||
            std::chrono::steady_clock::now() >= giveUp) {
            fail("cannot be locked");
        }
        std::this_thread::sleep_for(kAppendLockRetry);
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size)) {
        fail("cannot be examined");
    }
    std::string bytes;
    if (size.QuadPart == 0) {
        bytes = kFileStart + Row(header);
    }
    bytes += Row(fields);
    // One write, so that a reader or another writer never sees half a row.
    DWORD written = 0;
    if (!::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr)) {
        fail("cannot be written");
    }
    if (written != bytes.size()) {
        ::SetLastError(ERROR_DISK_FULL);
        fail("was written only in part");
    }
    ::UnlockFileEx(file.Get(), 0, MAXDWORD, MAXDWORD, &whole);
}
