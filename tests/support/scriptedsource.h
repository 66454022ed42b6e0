#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "seriallink/commsource.h"

// A communication source that plays a scripted far end on the reader's own thread: bytes
// become readable at set times after the script starts, at once, or in answer to each write.
// It records what was written and how often it was read, so tests see both sides of an
// exchange. It is always open.
class ScriptedSource : public ICommSource {
public:
    using Ms = std::chrono::milliseconds;
    using Responder = std::function<std::string(const std::string& written)>;

    // Script times count from here; without a call, from the first Write, Read or wait.
    void Start() {
        started = true;
        start = Clock::now();
    }
    // `bytes` become readable `at` after the start.
    void AddChunk(Ms at, std::string bytes) { Add({std::move(bytes), at, Ms(1), at}); }
    // `bytes` once every `every` from the start, the last time no later than `until`: a far
    // end that keeps on talking.
    void AddRepeating(std::string bytes, Ms every, Ms until) {
        Add({std::move(bytes), Ms(0), std::max(every, Ms(1)), until});
    }
    // `bytes` become readable at once.
    void Push(const std::string& bytes) { pending += bytes; }
    // Called for every Write (after the purge); what it returns becomes readable at once.
    void SetResponder(Responder function) { responder = std::move(function); }

    const std::vector<std::string>& Writes() const { return writes; }
    // Bytes that have become readable and were not read (and not purged) yet.
    std::size_t Unread() const { return pending.size() - pendingPos; }
    std::size_t ReadCalls() const { return readCalls; }

    void Write(const char* buffer, uint32_t count) override;
    void Read(char* buffer, uint32_t count, uint32_t& received) override;
    bool IsOpen() override { return true; }
    void Open() override {}
    void Close() override {}
    void WaitForData(uint32_t timeoutMs) override;

private:
    using Clock = std::chrono::steady_clock;
    // `bytes` at `next` after the start and then every `every`, up to `until`.
    struct Scripted {
        std::string bytes;
        Clock::duration next;
        Clock::duration every;
        Clock::duration until;
    };

    void Add(Scripted item);
    // Moves everything that is due into `pending`; returns when the next scripted bytes are
    // due (Clock::time_point::max() when none are left).
    Clock::time_point ReleaseDue();

    bool started = false;
    Clock::time_point start;
    std::vector<Scripted> scripted;  // kept ordered by the first time
    std::string pending;
    std::size_t pendingPos = 0;
    Responder responder;
    std::vector<std::string> writes;
    std::size_t readCalls = 0;
};
