#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "seriallink/commsource.h"

// A communication source that plays a scripted far end: bytes become readable at set times
// after the script starts, on demand, or in answer to each write. It records what was
// written and how it was polled, so tests can see both sides of an exchange. Thread-safe: a
// reader may poll on one thread while the test pushes bytes or closes it on another.
class ScriptedSource : public ICommSource {
public:
    using Ms = std::chrono::milliseconds;
    using Responder = std::function<std::string(const std::string& written)>;

    explicit ScriptedSource(bool open = true) : opened(open) {}

    // Script times count from here; without a call, from the first Write, Read or wait.
    void Start();
    // `bytes` become readable `at` after the start.
    void AddChunk(Ms at, std::string bytes);
    // `bytes` become readable at once.
    void Push(std::string bytes);
    // `bytes` once every `every` from the start, the last time no later than `until`: a far
    // end that keeps on talking.
    void AddRepeating(std::string bytes, Ms every, Ms until);
    // Called for every Write (after the purge); what it returns becomes readable at once.
    void SetResponder(Responder responder);

    std::vector<std::string> Writes() const;
    // Bytes that have become readable and were not read (and not purged) yet.
    std::size_t Unread() const;
    std::size_t ReadCalls() const;

    void Write(const char* buffer, uint32_t count) override;
    void Read(char* buffer, uint32_t count, uint32_t& received) override;
    bool IsOpen() override;
    void Open() override;
    void Close() override;
    void WaitForData(uint32_t timeoutMs) override;

private:
    using Clock = std::chrono::steady_clock;
    struct Chunk {
        Clock::duration at;
        std::string bytes;
    };
    struct Repeating {
        std::string bytes;
        Clock::duration every;
        Clock::duration until;
        Clock::duration next{};
    };

    // Both run with `mutex` held.
    void StartIfNeeded();
    // Moves everything that is due into `pending`; returns when the next scripted bytes are
    // due (Clock::time_point::max() when none are left).
    Clock::time_point ReleaseDue();
    std::size_t Available() const { return pending.size() - pendingPos; }

    mutable std::mutex mutex;
    std::condition_variable arrived;
    bool opened;
    bool started = false;
    Clock::time_point start;
    std::vector<Chunk> chunks;  // kept ordered by time
    std::vector<Repeating> repeating;
    std::string pending;
    std::size_t pendingPos = 0;
    Responder responder;
    std::vector<std::string> writes;
    std::size_t readCalls = 0;
};
