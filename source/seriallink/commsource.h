#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "core/refobject.h"

#include "seriallink/comport.h"

// Sees every byte a communication source sends and receives, for the communication log. It is
// called under the source's lock, in the order the bytes went over the line, on whichever thread
// wrote or read them, so it must be quick and must never call the source back.
class ICommTap {
public:
    virtual ~ICommTap() = default;
    virtual void Opened(const std::string& portName) = 0;
    virtual void Closed() = 0;
    // Bytes about to be written (so a write that fails is still on record), and bytes read.
    virtual void Sent(std::string_view bytes) = 0;
    virtual void Received(std::string_view bytes) = 0;
    // The controller whose commands follow, for telling who said what.
    virtual void Speaker(std::string_view controllerName) = 0;
};

// The byte stream the controllers talk to the unit through. Every operation of an
// implementation is thread-safe: the worker writes and polls while the GUI thread opens, closes
// and queries.
class ICommSource : public CRefObject {
public:
    using Callback = std::function<void()>;

    virtual void Write(const char* buffer, uint32_t count) = 0;
    // Takes up to count bytes that have arrived; received is left alone when the source is
    // closed, so callers set it before the call.
    virtual void Read(char* buffer, uint32_t count, uint32_t& received) = 0;
    virtual bool IsOpen() = 0;
    virtual void Open() = 0;
    virtual void Close() = 0;

    void SetBeforeOpen(Callback callback) { beforeOpen = std::move(callback); }
    void SetBeforeClose(Callback callback) { beforeClose = std::move(callback); }
    void SetAfterOpen(Callback callback) { afterOpen = std::move(callback); }
    void SetAfterClose(Callback callback) { afterClose = std::move(callback); }

    // The module may be waiting for message text: set just before a command that the module
    // answers with its text prompt. Once a write ends with Ctrl-Z (the text is complete) or ESC
    // (the entry is cancelled) the module is back at its commands. A module left waiting would
    // take every later command for more text, until it is switched off, so a source closed
    // while this is set first sends ESC. Set from the worker, read by whoever closes.
    void SetTextEntryPending(bool pending) { textEntryPending = pending; }
    bool IsTextEntryPending() const { return textEntryPending; }

    // Calls off a write that is waiting for the port to take bytes (a far end that stopped
    // reading, a wedged adapter): it ends at once with the port's stall failure. A write that
    // starts afterwards is not affected. Callable from any thread; takes no lock, so whoever
    // waits for the writer can call it while the writer holds the port.
    virtual void Interrupt() {}

    // Sleeps until bytes may be waiting or the time has passed, so that a reader waiting on a
    // silent module costs no processor time. A spurious early return is allowed; callers read
    // and decide. The base version just sleeps a little, which suits scripted test sources.
    virtual void WaitForData(uint32_t timeoutMs);

    // The controller about to send; a source without a tap has no use for it.
    virtual void NoteSpeaker(std::string_view /*controllerName*/) {}

protected:
    // True when `count` bytes at `buffer` end with Ctrl-Z or ESC.
    static bool EndsTextEntry(const char* buffer, uint32_t count);

    std::atomic<bool> textEntryPending{false};
    Callback beforeClose;
    Callback beforeOpen;
    Callback afterClose;
    Callback afterOpen;
};

// The only communication source: one port behind a recursive lock that every operation holds,
// so the worker's writes and polls and the GUI thread's open, close and queries never overlap.
// Before every write the port's queues are emptied, so each command starts clean.
class CComPortCommSource : public ICommSource {
public:
    CComPortCommSource() = default;
    // Closes an open port first, so afterClose runs.
    ~CComPortCommSource() override;

    // Nothing is sent and nothing reported while the port is closed. A write ending with Ctrl-Z
    // or ESC clears the pending text entry, under the same lock as the write, so a Close never
    // sees the text sent and the flag still set.
    void Write(const char* buffer, uint32_t count) override;
    void Read(char* buffer, uint32_t count, uint32_t& received) override;
    // Answered without the lock, so asking never waits behind a write.
    bool IsOpen() override;
    // afterOpen runs only when the port opened; a failure passes to the caller.
    void Open() override;
    // With a text entry pending, one ESC goes out first; a port that fails it (the adapter
    // pulled out) or does not take it within kCloseWaitLimit is closed all the same. A write
    // waiting on a port that takes no bytes gives up as soon as a close waits for it, so a
    // stalled adapter cannot hold the caller (the GUI thread) for the port's stall limit.
    void Close() override;
    void Interrupt() override;
    // Waits at most 10 ms for bytes on the open port (or just sleeps that long while closed),
    // without holding the lock during the wait, so a Close from the GUI thread is never kept
    // waiting behind a polling worker.
    void WaitForData(uint32_t timeoutMs) override;

    // The source owns the port; a port set earlier is closed and destroyed.
    void SetPort(std::unique_ptr<CComPort> newPort);
    // Lent to the caller (the main window sets name and mode string before Open).
    CComPort* GetPort();

    // --- The communication log's tap ---------------------------------------------------------
    // Sees every open, close, write and read from now on; null removes it.
    void SetTap(std::shared_ptr<ICommTap> newTap);
    void NoteSpeaker(std::string_view controllerName) override;

    static constexpr std::chrono::milliseconds kCloseWaitLimit{200};

private:
    // A descriptor of the open port for the waits, closed when its last user lets go.
    struct CWaitHandle;

    bool PortOpen() const;

    std::unique_ptr<CComPort> port;
    // Made once per open: a wait outside the lock polls this copy, never the port's own number,
    // which a close from the GUI thread could free and the system hand to another file.
    std::shared_ptr<const CWaitHandle> waitHandle;
    std::recursive_mutex lock;
    std::shared_ptr<ICommTap> tap;
    // Kept in step with the port under the lock, read without it.
    std::atomic<bool> open{false};
    // Counts the interrupts; a write gives up when it changes while the write waits.
    std::atomic<uint64_t> interrupts{0};
    // Closes waiting for the lock; a waiting write gives up while there is one.
    std::atomic<int> closesWaiting{0};
};
