#include "seriallink/commsource.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

// The longest one wait lasts, so a caller looks at its cancel flag and the port often enough.
constexpr uint32_t kWaitSliceMs = 10;

// Ctrl-Z ends a message text and stores it; ESC drops it. Either leaves the module at its
// commands again, and ESC is ignored there (V.250), so it is safe to send when unsure.
constexpr char kCtrlZ = '\x1A';
constexpr char kEscape = '\x1B';

}  // namespace

bool ICommSource::EndsTextEntry(const char* buffer, uint32_t count) {
    return count > 0 && (buffer[count - 1] == kCtrlZ || buffer[count - 1] == kEscape);
}

void ICommSource::WaitForData(uint32_t timeoutMs) {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::min<uint32_t>(timeoutMs, 1)));
}

CComPortCommSource::~CComPortCommSource() {
    try {
        if (IsOpen()) {
            Close();
        }
    } catch (...) {
        // A callback that throws must not take the shutdown down with it; the port below
        // still closes when it is destroyed.
    }
}

void CComPortCommSource::Write(const char* buffer, uint32_t count) {
    const uint64_t interruptsBefore = interrupts.load();
    std::lock_guard guard(lock);
    if (PortOpen()) {
        port->Purge(CComPort::purgeAll);
        if (tap) {
            tap->Sent(std::string_view(buffer, count));
        }
        port->Write(buffer, count, [this, interruptsBefore] {
            return closesWaiting.load() > 0 || interrupts.load() != interruptsBefore;
        });
        if (EndsTextEntry(buffer, count)) {
            textEntryPending = false;
        }
    }
}

void CComPortCommSource::Read(char* buffer, uint32_t count, uint32_t& received) {
    std::lock_guard guard(lock);
    if (PortOpen()) {
        port->Read(buffer, count, received);
        if (tap && received > 0) {
            tap->Received(std::string_view(buffer, std::min(received, count)));
        }
    }
}

bool CComPortCommSource::PortOpen() const {
    return port != nullptr && port->IsOpen();
}

bool CComPortCommSource::IsOpen() {
    return open.load();
}

void CComPortCommSource::Interrupt() {
    interrupts.fetch_add(1);
}

void CComPortCommSource::Open() {
    std::lock_guard guard(lock);
    if (port == nullptr) {
        throw CComPort::EComPortException("No com port selected!");
    }
    if (beforeOpen) {
        beforeOpen();
    }
    port->Open();
    waitHandle = std::make_shared<const CWaitHandle>(port->DuplicateHandle());
    if (tap) {
        tap->Opened(port->GetPortName());
    }
    open = true;
    // Whatever an earlier session left is the connection check's to clear up.
    textEntryPending = false;
    if (afterOpen) {
        afterOpen();
    }
}

void CComPortCommSource::Close() {
    // Only a write holds the lock for long, when the port takes no bytes; it looks for a
    // waiting close every few milliseconds and gives up.
    ++closesWaiting;
    std::lock_guard guard(lock);
    --closesWaiting;
    if (textEntryPending.exchange(false) && PortOpen()) {
        // A port that takes no byte in a moment is stalled: the close does not wait for it.
        const auto giveUpAt = std::chrono::steady_clock::now() + kCloseWaitLimit;
        try {
            if (tap) {
                tap->Sent(std::string_view(&kEscape, 1));
            }
            port->Write(&kEscape, 1,
                        [giveUpAt] { return std::chrono::steady_clock::now() >= giveUpAt; });
        } catch (const CComPort::EComPortException&) {
            // The adapter is gone or wedged, and the module's line with it; nothing more can
            // be done.
        }
    }
    if (beforeClose) {
        beforeClose();
    }
    waitHandle.reset();
    if (port != nullptr) {
        const bool wasOpen = port->IsOpen();
        port->Close();
        if (tap && wasOpen) {
            tap->Closed();
        }
    }
    open = false;
    if (afterClose) {
        afterClose();
    }
}

struct CComPortCommSource::CWaitHandle {
    explicit CWaitHandle(CComPort::NativeHandle native) : native(native) {}
    CWaitHandle(const CWaitHandle&) = delete;
    CWaitHandle& operator=(const CWaitHandle&) = delete;
    ~CWaitHandle() {
        if (native != CComPort::kNoHandle) {
            CComPort::ReleaseHandle(native);
        }
    }
    const CComPort::NativeHandle native;
};

void CComPortCommSource::WaitForData(uint32_t timeoutMs) {
    const uint32_t slice = std::min(timeoutMs, kWaitSliceMs);
    std::shared_ptr<const CWaitHandle> handle;
    {
        std::lock_guard guard(lock);
        if (PortOpen()) {
            handle = waitHandle;
        }
    }
    if (!handle || handle->native == CComPort::kNoHandle) {
        std::this_thread::sleep_for(std::chrono::milliseconds(slice));
        return;
    }
    // The wait runs outside the lock: the lock is not fair, and a worker that held it for every
    // wait of its polling loop would keep a Close from the GUI thread out for many slices in a
    // row.
    CComPort::WaitReadable(handle->native, slice);
}

void CComPortCommSource::SetPort(std::unique_ptr<CComPort> newPort) {
    std::lock_guard guard(lock);
    port = std::move(newPort);
    waitHandle = std::make_shared<const CWaitHandle>(PortOpen() ? port->DuplicateHandle()
                                                                : CComPort::kNoHandle);
    open = PortOpen();
}

CComPort* CComPortCommSource::GetPort() {
    std::lock_guard guard(lock);
    return port.get();
}

void CComPortCommSource::SetTap(std::shared_ptr<ICommTap> newTap) {
    std::lock_guard guard(lock);
    tap = std::move(newTap);
}

void CComPortCommSource::NoteSpeaker(std::string_view controllerName) {
    std::lock_guard guard(lock);
    if (tap) {
        tap->Speaker(controllerName);
    }
}
