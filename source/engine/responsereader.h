#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/event.h"
#include "seriallink/commsource.h"

// Collects the unit's answer to one command by polling a communication source until the
// answer is complete, the time-out passes, or the running operation is cancelled. Controllers
// hold their readers by value, set the time-out once and lend them the processor's cancel
// event; a reader runs on the worker thread only.
class IResponseReader {
public:
    virtual ~IResponseReader() = default;

    // The outcome is left in GetResponse() and IsTimedOut(); an exception thrown by the source
    // passes out unchanged.
    virtual void Read(ICommSource* source) = 0;
    // Lent, not owned. Without an event a read is never cancelled.
    virtual void SetCancelEvent(CEvent* event);

    void SetTimeout(uint32_t ms) { timeout = ms; }
    uint32_t GetTimeout() const { return timeout; }
    std::string GetResponse() const { return response; }
    bool IsTimedOut() const { return timedOut; }

protected:
    // Only looks, never waits: the polling loop sleeps on the source instead, so a cancel is
    // seen within one short pause.
    bool IsCancelRequested() const;

    // Longest single sleep on the source between polls; it bounds how late a cancel, the end
    // of the quiet period or the time-out is noticed.
    static constexpr uint32_t kPollPauseMs = 2;

    std::string response;
    uint32_t timeout = 0;
    bool timedOut = false;
    CEvent* cancelEvent = nullptr;
};

// Waits for a reply whose final result is "OK": its last line apart from unsolicited reports
// (see CReplyLines::EndsWithFinalOk). Any other ending (an error result, a prompt, silence) is
// collected until the time-out and reported as timed out with the text kept, so controllers
// can look at what the unit said. Unsolicited reports stay in the text; the parsers pass over
// them.
class CGeneralResponseReader : public IResponseReader {
public:
    static constexpr std::size_t kMaxReplyBytes = std::size_t{1} << 20;
    static constexpr uint32_t kMinTotalMs = 60000;

    void Read(ICommSource* source) override;

    // A device that never stops talking would keep restarting the time-out forever, so a read
    // also ends, as timed out, once `maxBytes` have arrived or once max(`minTotalMs`, 3 x
    // time-out) have passed in total. Tests lower the bounds to see them work quickly.
    void SetLimits(std::size_t maxBytes, uint32_t minTotalMs);

private:
    std::size_t byteLimit = kMaxReplyBytes;
    uint32_t totalFloorMs = kMinTotalMs;
};

// Waits until a given text (the text-entry prompt) has arrived. It takes one byte per poll so
// that the bytes after the expected text stay in the port.
class CGeneralStringReader : public IResponseReader {
public:
    void Read(ICommSource* source) override;
    void SetExpected(std::string text) { expected = std::move(text); }

private:
    std::string expected;
};
