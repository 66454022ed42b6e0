#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "engine/controller.h"

// Every step of every scripted controller, in the order they ran: the controller's name
// followed by "m" when it ran on the thread that made the log and "w" when on any other.
class StepLog {
public:
    void Add(const std::string& name) {
        std::lock_guard guard(mutex);
        names.push_back(name + (std::this_thread::get_id() == owner ? "m" : "w"));
    }
    std::vector<std::string> Names() const {
        std::lock_guard guard(mutex);
        return names;
    }

private:
    const std::thread::id owner = std::this_thread::get_id();
    mutable std::mutex mutex;
    std::vector<std::string> names;
};

// A controller that walks a fixed list of run states: step i leaves the state `after[i]`, and
// stFINISHED after the list; reaching stFINISHED sets resultOk. A hook may act inside a step
// (pause, throw); a step whose hook throws leaves the state as it was.
class ScriptedController : public IController {
public:
    using Hook = std::function<void(ScriptedController& self, std::size_t step)>;

    ScriptedController(std::string name, uint8_t initial, std::vector<uint8_t> after,
                       std::shared_ptr<StepLog> log, Hook hook = {})
        : IController(initial, std::move(name)),
          after(std::move(after)),
          log(std::move(log)),
          hook(std::move(hook)) {}

    void Step() override {
        const std::size_t step = steps.load();
        log->Add(GetName());
        if (hook) {
            hook(*this, step);
        }
        const uint8_t next = step < after.size() ? after[step] : stFINISHED;
        if (next == stFINISHED && GetResult() == resultNone) {
            SetResult(resultOk);
        }
        SetState(next);
        steps.store(step + 1);
    }

    std::size_t Steps() const { return steps.load(); }

private:
    const std::vector<uint8_t> after;
    const std::shared_ptr<StepLog> log;
    const Hook hook;
    std::atomic<std::size_t> steps{0};
};
