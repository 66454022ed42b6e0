#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "core/refobject.h"

class CComPort;

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

    // Sleeps until bytes may be waiting or the time has passed, so that a reader waiting on a
    // silent module costs no processor time. A spurious early return is allowed; callers read
    // and decide. The base version just sleeps a little, which suits scripted test sources.
    virtual void WaitForData(uint32_t timeoutMs);

protected:
    Callback beforeClose;
    Callback beforeOpen;
    Callback afterClose;
    Callback afterOpen;
};
