#include "support/scriptedsource.h"

#include <algorithm>

void ScriptedSource::Start() {
    std::lock_guard lock(mutex);
    started = true;
    start = Clock::now();
}

void ScriptedSource::StartIfNeeded() {
    if (!started) {
        started = true;
        start = Clock::now();
    }
}

void ScriptedSource::AddChunk(Ms at, std::string bytes) {
    {
        std::lock_guard lock(mutex);
        const auto pos = std::upper_bound(chunks.begin(), chunks.end(), at,
                                          [](Ms t, const Chunk& c) { return t < c.at; });
        chunks.insert(pos, Chunk{at, std::move(bytes)});
    }
    arrived.notify_all();
}

void ScriptedSource::Push(std::string bytes) {
    {
        std::lock_guard lock(mutex);
        pending += bytes;
    }
    arrived.notify_all();
}

void ScriptedSource::AddRepeating(std::string bytes, Ms every, Ms until) {
    {
        std::lock_guard lock(mutex);
        repeating.push_back(Repeating{std::move(bytes), std::max(every, Ms(1)), until});
    }
    arrived.notify_all();
}

void ScriptedSource::SetResponder(Responder function) {
    std::lock_guard lock(mutex);
    responder = std::move(function);
}

std::vector<std::string> ScriptedSource::Writes() const {
    std::lock_guard lock(mutex);
    return writes;
}

std::size_t ScriptedSource::Unread() const {
    std::lock_guard lock(mutex);
    return Available();
}

std::size_t ScriptedSource::ReadCalls() const {
    std::lock_guard lock(mutex);
    return readCalls;
}

ScriptedSource::Clock::time_point ScriptedSource::ReleaseDue() {
    const auto now = Clock::now() - start;
    auto next = Clock::time_point::max();
    auto firstLater = chunks.begin();
    while (firstLater != chunks.end() && firstLater->at <= now) {
        pending += firstLater->bytes;
        ++firstLater;
    }
    chunks.erase(chunks.begin(), firstLater);
    if (!chunks.empty()) {
        next = start + chunks.front().at;
    }
    for (auto& r : repeating) {
        while (r.next <= r.until && r.next <= now) {
            pending += r.bytes;
            r.next += r.every;
        }
        if (r.next <= r.until) {
            next = std::min(next, start + r.next);
        }
    }
    // Keep reads from the front cheap when a large flood is pending.
    if (pendingPos > 0 && pendingPos * 2 >= pending.size()) {
        pending.erase(0, pendingPos);
        pendingPos = 0;
    }
    return next;
}

void ScriptedSource::Write(const char* buffer, uint32_t count) {
    {
        std::lock_guard lock(mutex);
        StartIfNeeded();
        if (!opened) {
            return;
        }
        // Like the real source: what arrived before a command is discarded.
        ReleaseDue();
        pending.clear();
        pendingPos = 0;
        writes.emplace_back(buffer, count);
        if (responder) {
            pending += responder(writes.back());
        }
    }
    arrived.notify_all();
}

void ScriptedSource::Read(char* buffer, uint32_t count, uint32_t& received) {
    std::lock_guard lock(mutex);
    StartIfNeeded();
    ++readCalls;
    if (!opened) {
        return;
    }
    ReleaseDue();
    const auto n = static_cast<uint32_t>(std::min<std::size_t>(count, Available()));
    std::copy_n(pending.data() + pendingPos, n, buffer);
    pendingPos += n;
    received = n;
}

bool ScriptedSource::IsOpen() {
    std::lock_guard lock(mutex);
    return opened;
}

void ScriptedSource::Open() {
    if (beforeOpen) {
        beforeOpen();
    }
    {
        std::lock_guard lock(mutex);
        opened = true;
    }
    if (afterOpen) {
        afterOpen();
    }
}

void ScriptedSource::Close() {
    if (beforeClose) {
        beforeClose();
    }
    {
        std::lock_guard lock(mutex);
        opened = false;
    }
    arrived.notify_all();
    if (afterClose) {
        afterClose();
    }
}

void ScriptedSource::WaitForData(uint32_t timeoutMs) {
    std::unique_lock lock(mutex);
    StartIfNeeded();
    const auto deadline = Clock::now() + Ms(timeoutMs);
    for (;;) {
        const auto next = ReleaseDue();
        // A closed port never delivers; the caller still gets its pause.
        if ((opened && Available() > 0) || Clock::now() >= deadline) {
            return;
        }
        arrived.wait_until(lock, std::min(deadline, next));
    }
}
