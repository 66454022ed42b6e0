#include "seriallink/comport.h"

#include <windows.h>

#include <algorithm>
#include <thread>

#include "core/systemtext.h"
#include "seriallink/comporttexts.h"

using namespace comporttext;

namespace {

// How long a close waits for queued bytes to leave, as on Linux: bounded, so a wedged adapter
// cannot hold the close.
constexpr std::chrono::milliseconds kCloseDrainLimit{200};

// The longest a read of bytes the driver reported waits for them.
constexpr DWORD kReadBoundMs = 1000;

// How often a stalled write looks whether it has been called off.
constexpr DWORD kGiveUpSliceMs = 10;

// A write goes out in pieces of about a tenth of a second of line time: the driver reports
// progress only when a piece is done, and the stall limit is measured between pieces.
constexpr uint32_t kMinWritePiece = 64;

std::wstring Widen(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int size =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(size, 0)), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                          size);
    return wide;
}

// No sharing: on Windows that is what keeps every other program off the port while it is open.
HANDLE OpenDevice(const std::string& path, DWORD flags) {
    return ::CreateFileW(Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                         OPEN_EXISTING, flags, nullptr);
}

// An event for one overlapped operation, closed on every way out.
class COverlapped {
public:
    COverlapped() { overlapped.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr); }
    ~COverlapped() {
        if (overlapped.hEvent != nullptr) {
            ::CloseHandle(overlapped.hEvent);
        }
    }
    COverlapped(const COverlapped&) = delete;
    COverlapped& operator=(const COverlapped&) = delete;

    bool Valid() const { return overlapped.hEvent != nullptr; }
    OVERLAPPED* Get() { return &overlapped; }

private:
    OVERLAPPED overlapped{};
};

void WaitUntilSent(HANDLE handle, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    DWORD errors = 0;
    COMSTAT status{};
    while (::ClearCommError(handle, &errors, &status) && status.cbOutQue > 0 &&
           std::chrono::steady_clock::now() < deadline) {
        ::Sleep(1);
    }
}

// The line settings of the mode string on the DCB found on the port, with no flow control of
// either kind and no character that the driver would act on: the XON and XOFF bytes must pass
// like any other. DTR and RTS are raised, as a Linux tty does when it is opened.
bool ApplyMode(const std::string& modeString, DCB& dcb) {
    if (modeString.find_first_not_of(" \t") != std::string::npos) {
        const auto line = CComPort::ParseMode(modeString);
        if (!line) {
            return false;
        }
        dcb.BaudRate = line->baud;
        dcb.ByteSize = static_cast<BYTE>(line->dataBits);
        dcb.Parity = line->parity == 'e' ? EVENPARITY : line->parity == 'o' ? ODDPARITY : NOPARITY;
        dcb.StopBits = line->stopBits == 2 ? TWOSTOPBITS : ONESTOPBIT;
        dcb.fParity = line->parity != 'n';
    }
    dcb.fBinary = TRUE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
    return true;
}

// Waits for an overlapped operation that is under way to end (a cancelled one ends at once);
// false with the error when it failed. `moved` is what it moved either way.
bool Finish(HANDLE handle, OVERLAPPED* overlapped, DWORD& moved, DWORD& error) {
    error =
        ::GetOverlappedResult(handle, overlapped, &moved, TRUE) ? ERROR_SUCCESS : ::GetLastError();
    return error == ERROR_SUCCESS;
}

std::vector<std::string> RegisteredPorts() {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ,
                        &key) != ERROR_SUCCESS) {
        return names;
    }
    for (DWORD index = 0;; ++index) {
        wchar_t valueName[256];
        DWORD nameLength = 256;
        wchar_t data[64];
        DWORD dataSize = sizeof data - sizeof(wchar_t);
        DWORD type = 0;
        const LONG rc = ::RegEnumValueW(key, index, valueName, &nameLength, nullptr, &type,
                                        reinterpret_cast<BYTE*>(data), &dataSize);
        if (rc == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (rc != ERROR_SUCCESS || type != REG_SZ) {
            continue;
        }
        data[dataSize / sizeof(wchar_t)] = L'\0';
        std::string name;
        for (const wchar_t* c = data; *c != L'\0'; ++c) {
            name += *c < 0x80 ? static_cast<char>(*c) : '?';
        }
        if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end()) {
            names.push_back(name);
        }
    }
    ::RegCloseKey(key);
    return names;
}

}  // namespace

CComPort::~CComPort() {
    Close();
}

std::string CComPort::DevicePath(const std::string& name) {
    if (name.rfind("\\\\", 0) == 0) {
        return name;
    }
    std::string path = "\\\\.\\";
    path += name;
    return path;
}

std::string CComPort::OpenFailureMessage(int error, const std::string& path) {
    std::string message = kInUse;
    switch (error) {
        case ERROR_SUCCESS:
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            // Windows answers "access denied" for a port that another program holds.
            break;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_BAD_NETPATH:
        case ERROR_INVALID_NAME:
            message += "\nNo such device: ";
            message += path;
            break;
        default:
            message += '\n';
            message += Win32ErrorText(static_cast<DWORD>(error));
            message += ": ";
            message += path;
            break;
    }
    return message;
}

void CComPort::ReleaseDevice() noexcept {
    if (handle != kNoHandle) {
        ::CloseHandle(handle);
        handle = kNoHandle;
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
    HANDLE device = OpenDevice(path, FILE_FLAG_OVERLAPPED);
    if (device == INVALID_HANDLE_VALUE) {
        throw EComPortException(OpenFailureMessage(static_cast<int>(::GetLastError()), path));
    }
    handle = device;
    // Only a request: a driver that sizes its queues itself may refuse it.
    ::SetupComm(handle, inputBufferSize, outputBufferSize);
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(handle, &dcb)) {
        FailOpen(kGetConfig);
    }
    COMMTIMEOUTS timeouts{};
    if (!::GetCommTimeouts(handle, &timeouts)) {
        FailOpen(kGetTimeouts);
    }
    // A read returns at once with what the driver holds; a write has no time-out of the
    // driver's, its stall limit is kept here.
    timeouts = COMMTIMEOUTS{MAXDWORD, 0, 0, 0, 0};
    if (!::SetCommTimeouts(handle, &timeouts)) {
        FailOpen(kSetTimeouts);
    }
    if (!ApplyMode(settings, dcb) || !::SetCommState(handle, &dcb)) {
        FailOpen(kConfigure);
    }
    opened = true;
}

void CComPort::Close() noexcept {
    if (!opened) {
        return;
    }
    WaitUntilSent(handle, kCloseDrainLimit);
    ReleaseDevice();
    opened = false;
}

void CComPort::Purge(EPurgeKind kind) {
    if (!opened) {
        return;
    }
    if (kind == purgeAll && !::PurgeComm(handle, PURGE_TXCLEAR | PURGE_RXCLEAR)) {
        throw EComPortException(kPurgeAll);
    }
    if (kind == purgeTransmit && !::PurgeComm(handle, PURGE_TXCLEAR)) {
        throw EComPortException(kPurgeTransmit);
    }
    if (kind == purgeReceive && !::PurgeComm(handle, PURGE_RXCLEAR)) {
        throw EComPortException(kPurgeReceive);
    }
}

void CComPort::Read(char* buffer, uint32_t count, uint32_t& received) {
    if (!opened) {
        throw EComPortException(kReadClosed);
    }
    // Only what the driver already holds is asked for, so the read never waits: Windows would
    // return at once anyway with the time-outs set at Open, but Wine keeps such a read of an
    // empty queue pending. A port whose device is gone (adapter pulled) fails the query.
    DWORD errors = 0;
    COMSTAT status{};
    if (!::ClearCommError(handle, &errors, &status)) {
        throw EComPortException(kReadError);
    }
    const DWORD wanted = std::min<DWORD>(count, status.cbInQue);
    if (wanted == 0) {
        received = 0;
        return;
    }
    COverlapped overlapped;
    if (!overlapped.Valid()) {
        throw EComPortException(kReadError);
    }
    DWORD moved = 0;
    DWORD error = ERROR_SUCCESS;
    if (!::ReadFile(handle, buffer, wanted, &moved, overlapped.Get())) {
        error = ::GetLastError();
        if (error == ERROR_IO_PENDING) {
            // Bytes the driver reported are there at once; a read that still waits is a
            // device that stopped answering.
            if (::WaitForSingleObject(overlapped.Get()->hEvent, kReadBoundMs) != WAIT_OBJECT_0) {
                ::CancelIo(handle);
            }
            Finish(handle, overlapped.Get(), moved, error);
        }
    }
    // Wine ends a read that found less than it asked for with ERROR_TIMEOUT, having read it.
    if (error != ERROR_SUCCESS && error != ERROR_TIMEOUT && error != ERROR_OPERATION_ABORTED) {
        throw EComPortException(kReadError);
    }
    received = moved;
}

void CComPort::Write(const char* buffer, uint32_t count, const std::function<bool()>& giveUp) {
    if (!opened) {
        throw EComPortException(kWriteClosed);
    }
    if (writePause.count() > 0) {
        std::this_thread::sleep_for(writePause);
    }
    const auto line = ParseMode(settings);
    const uint32_t piece = std::max(kMinWritePiece, (line ? line->baud : 9600) / 100);
    uint32_t done = 0;
    bool stalled = false;
    auto lastProgress = std::chrono::steady_clock::now();
    while (done < count && !stalled) {
        COverlapped overlapped;
        if (!overlapped.Valid()) {
            throw EComPortException(kWriteError);
        }
        DWORD moved = 0;
        const BOOL started = ::WriteFile(handle, buffer + done, std::min(count - done, piece),
                                         &moved, overlapped.Get());
        if (!started && ::GetLastError() != ERROR_IO_PENDING) {
            throw EComPortException(kWriteError);
        }
        if (!started) {
            // With someone who may call the write off, it waits in short slices to look again.
            for (;;) {
                const auto left =
                    writeStallLimit - std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now() - lastProgress);
                const DWORD wait = static_cast<DWORD>(std::max<int64_t>(
                    0, giveUp ? std::min<int64_t>(left.count(), kGiveUpSliceMs) : left.count()));
                if (::WaitForSingleObject(overlapped.Get()->hEvent, wait) == WAIT_OBJECT_0) {
                    break;
                }
                if (std::chrono::steady_clock::now() - lastProgress >= writeStallLimit ||
                    (giveUp && giveUp())) {
                    ::CancelIo(handle);
                    stalled = true;
                    break;
                }
            }
        }
        DWORD error = ERROR_SUCCESS;
        // A cancelled piece still reports the bytes that went out before it was called off.
        if (!started && !Finish(handle, overlapped.Get(), moved, error) &&
            error != ERROR_OPERATION_ABORTED && error != ERROR_TIMEOUT) {
            throw EComPortException(kWriteError);
        }
        if (moved > 0) {
            done += moved;
            lastProgress = std::chrono::steady_clock::now();
        } else if (!stalled && std::chrono::steady_clock::now() - lastProgress >= writeStallLimit) {
            stalled = true;
        }
    }
    if (done == 0) {
        throw EComPortException(kWriteTimedOut);
    }
    if (done < count) {
        throw EComPortException(kWriteShort);
    }
}

// The input queue is looked at every millisecond rather than waited on with WaitCommEvent: the
// port has one event mask for all its waiters, and some drivers (Wine's among them) never
// report EV_RXCHAR. A device that is gone counts as readable, so the next Read reports it.
bool CComPort::WaitReadable(NativeHandle waitHandle, uint32_t timeoutMs) {
    if (waitHandle == kNoHandle) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        DWORD errors = 0;
        COMSTAT status{};
        if (!::ClearCommError(waitHandle, &errors, &status) || status.cbInQue > 0) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        ::Sleep(1);
    }
}

CComPort::NativeHandle CComPort::DuplicateHandle() const {
    HANDLE copy = nullptr;
    if (!opened || !::DuplicateHandle(::GetCurrentProcess(), handle, ::GetCurrentProcess(), &copy,
                                      0, FALSE, DUPLICATE_SAME_ACCESS)) {
        return kNoHandle;
    }
    return copy;
}

void CComPort::ReleaseHandle(NativeHandle waitHandle) noexcept {
    if (waitHandle != kNoHandle) {
        ::CloseHandle(waitHandle);
    }
}

void CComPort::ListPorts(std::vector<std::string>& list) {
    std::vector<std::string> found;
    for (const std::string& name : RegisteredPorts()) {
        if (CanOpen(name)) {
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
    HANDLE probe = OpenDevice(DevicePath(portName), 0);
    if (probe == INVALID_HANDLE_VALUE) {
        return false;
    }
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    const bool isPort = ::GetCommState(probe, &dcb) != FALSE;
    ::CloseHandle(probe);
    return isPort;
}
