#include "engine/mainloop.h"

#include <algorithm>

CMainLoop::CMainLoop() : queue(std::make_shared<Queue>()) {}

CMainLoop::PostFunction CMainLoop::Poster() const {
    std::weak_ptr<Queue> weak = queue;
    return [weak](Closure closure) {
        if (const std::shared_ptr<Queue> target = weak.lock()) {
            {
                std::lock_guard guard(target->mutex);
                target->closures.push_back(std::move(closure));
            }
            target->posted.notify_all();
        }
    };
}

void CMainLoop::Post(Closure closure) const {
    Poster()(std::move(closure));
}

bool CMainLoop::RunOne(std::chrono::steady_clock::time_point waitUntil) {
    Closure closure;
    {
        std::unique_lock guard(queue->mutex);
        if (!queue->posted.wait_until(guard, waitUntil,
                                      [this] { return !queue->closures.empty(); })) {
            return false;
        }
        closure = std::move(queue->closures.front());
        queue->closures.pop_front();
    }
    closure();
    return true;
}

bool CMainLoop::PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds bound) {
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (!condition()) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            return condition();
        }
        // Short slices: the condition may turn true on another thread without a post.
        RunOne(std::min(deadline, now + std::chrono::milliseconds(1)));
    }
    return true;
}

std::size_t CMainLoop::PumpPending() {
    std::size_t count = 0;
    while (RunOne(std::chrono::steady_clock::now())) {
        ++count;
    }
    return count;
}

std::size_t CMainLoop::Pending() const {
    std::lock_guard guard(queue->mutex);
    return queue->closures.size();
}
