#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

// A "main thread" for front ends without a toolkit event loop: any thread posts closures, the
// thread that pumps runs them in order. The processor handler is given Poster(), so whatever
// the engine hands to the main thread runs on the pumping thread. Each loop belongs to the one
// thread that pumps it; posting is safe from any thread.
class CMainLoop {
public:
    using Closure = std::function<void()>;
    using PostFunction = std::function<void(Closure)>;

    CMainLoop();

    // The function to give to the processor handler. It stays safe to call after the loop is
    // gone; closures posted then are dropped.
    PostFunction Poster() const;
    void Post(Closure closure) const;

    // Runs closures on the calling thread until `condition` holds or the bound passes; the
    // condition is tested after each closure and at least every millisecond.
    bool PumpUntil(const std::function<bool()>& condition,
                   std::chrono::milliseconds bound = std::chrono::seconds(5));
    // Runs what is queued now (and what those closures post), then returns the count.
    std::size_t PumpPending();
    std::size_t Pending() const;

private:
    struct Queue {
        mutable std::mutex mutex;
        std::condition_variable posted;
        std::deque<Closure> closures;
    };
    bool RunOne(std::chrono::steady_clock::time_point waitUntil);

    std::shared_ptr<Queue> queue;
};
