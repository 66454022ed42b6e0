#include "support/scriptedsource.h"

#include <thread>

void ScriptedSource::Add(Scripted item) {
    const auto pos =
        std::upper_bound(scripted.begin(), scripted.end(), item.next,
                         [](Clock::duration t, const Scripted& s) { return t < s.next; });
    scripted.insert(pos, std::move(item));
}

ScriptedSource::Clock::time_point ScriptedSource::ReleaseDue() {
    if (!started) {
        Start();
    }
    const auto now = Clock::now() - start;
    auto next = Clock::time_point::max();
    for (auto& s : scripted) {
        for (; s.next <= s.until && s.next <= now; s.next += s.every) {
            pending += s.bytes;
        }
        if (s.next <= s.until) {
            next = std::min(next, start + s.next);
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
    // Like the real source: what arrived before a command is discarded.
    ReleaseDue();
    pending.clear();
    pendingPos = 0;
    writes.emplace_back(buffer, count);
    if (responder) {
        pending = responder(writes.back());
    }
}

void ScriptedSource::Read(char* buffer, uint32_t count, uint32_t& received) {
    ++readCalls;
    ReleaseDue();
    received = static_cast<uint32_t>(std::min<std::size_t>(count, Unread()));
    std::copy_n(pending.data() + pendingPos, received, buffer);
    pendingPos += received;
}

void ScriptedSource::WaitForData(uint32_t timeoutMs) {
    const auto deadline = Clock::now() + Ms(timeoutMs);
    // Only the script brings bytes, so a wait until the next of them loses nothing.
    const auto next = ReleaseDue();
    if (Unread() == 0) {
        std::this_thread::sleep_until(std::min(deadline, next));
    }
}
