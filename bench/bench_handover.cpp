// Measures one worker -> GUI -> worker hand-over of the controller engine: a controller ends
// a worker step asking for the GUI thread, the handler runs its main-thread step there and
// releases the worker, and the worker takes the next step. The GUI side is a plain loop
// thread standing in for the toolkit's event loop.

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/processorhandler.h"

namespace {

using Clock = std::chrono::steady_clock;

class LoopThread {
public:
    LoopThread() : thread([this] { Run(); }) {}
    ~LoopThread() {
        Post({});
        thread.join();
    }
    void Post(std::function<void()> closure) {
        {
            std::lock_guard guard(mutex);
            closures.push_back(std::move(closure));
        }
        posted.notify_one();
    }
    // Runs `work` on the loop thread and waits for it.
    void Call(const std::function<void()>& work) {
        std::promise<void> done;
        Post([&] {
            work();
            done.set_value();
        });
        done.get_future().wait();
    }

private:
    void Run() {
        for (;;) {
            std::function<void()> closure;
            {
                std::unique_lock guard(mutex);
                posted.wait(guard, [this] { return !closures.empty(); });
                closure = std::move(closures.front());
                closures.pop_front();
            }
            if (!closure) {
                return;
            }
            closure();
        }
    }

    std::mutex mutex;
    std::condition_variable posted;
    std::deque<std::function<void()>> closures;
    std::thread thread;
};

// Alternates worker and main-thread steps; every worker step after the first notes how long
// the round trip since the previous worker step took.
class PingPong : public IController {
public:
    explicit PingPong(std::size_t rounds) : IController(stWORKER_STEP, "PingPong"), rounds(rounds) {
        samples.reserve(rounds);
    }
    void Step() override {
        if (GetState() == stMAIN_STEP) {
            SetState(stWORKER_STEP);
            return;
        }
        const Clock::time_point now = Clock::now();
        if (started) {
            samples.push_back(now - handedOver);
        }
        started = true;
        if (samples.size() == rounds) {
            SetResult(resultOk);
            SetState(stFINISHED);
            return;
        }
        handedOver = Clock::now();
        SetState(stMAIN_STEP);
    }
    std::vector<Clock::duration> samples;

private:
    const std::size_t rounds;
    bool started = false;
    Clock::time_point handedOver;
};

double Micro(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

}  // namespace

int main() {
    constexpr std::size_t kRounds = 20000;
    LoopThread gui;
    std::unique_ptr<CProcessorHandler> handler;
    std::promise<void> completed;
    CRefPtr<PingPong> controller = MakeRef<PingPong>(kRounds);

    gui.Call([&] {
        handler = std::make_unique<CProcessorHandler>(
            [&gui](std::function<void()> closure) { gui.Post(std::move(closure)); });
        handler->AfterCompleted = [&](const std::string&) { completed.set_value(); };
        handler->Add(CRefPtr<PingPong>::Share(controller.get()));
    });
    const Clock::time_point start = Clock::now();
    gui.Call([&] { handler->Run(); });
    completed.get_future().wait();
    const Clock::duration total = Clock::now() - start;
    gui.Call([&] {
        handler->SetCancel(true);
        handler->WaitIdle();
        handler->Clean();
        handler.reset();
    });

    std::vector<Clock::duration> samples = controller->samples;
    std::sort(samples.begin(), samples.end());
    const auto at = [&](double q) {
        return samples[static_cast<std::size_t>(q * (samples.size() - 1))];
    };
    const double median = Micro(at(0.5));
    std::printf("bench_handover: %zu worker -> GUI -> worker hand-overs in %.1f ms\n",
                samples.size(), std::chrono::duration<double, std::milli>(total).count());
    std::printf("  median %.1f us   p90 %.1f us   p99 %.1f us   max %.1f us\n", median,
                Micro(at(0.9)), Micro(at(0.99)), Micro(samples.back()));
    std::printf("  median hand-over: %.1f us (target under 1000 us: %s)\n", median,
                median < 1000.0 ? "met" : "MISSED");
    return median < 1000.0 ? 0 : 1;
}
