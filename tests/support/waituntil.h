#pragma once

#include <chrono>
#include <functional>
#include <thread>

// Tests wait for a condition with a bound, never for a fixed time.
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds bound = std::chrono::seconds(5)) {
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return condition();
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}
