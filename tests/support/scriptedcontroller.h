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

// Every step of every scripted controller, in the order they ran, with the thread each ran on.
class StepLog {
public:
    struct Entry {
        std::string name;
        uint8_t state;  // the run state the controller was stepped in
        std::thread::id thread;
    };

    void Add(Entry entry) {
        std::lock_guard guard(mutex);
        entries.push_back(std::move(entry));
    }
    std::vector<Entry> Entries() const {
        std::lock_guard guard(mutex);
        return entries;
    }
    // Each step as the controller's name followed by "m" when it ran on the thread that made
    // the log and "w" when it ran on any other.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const Entry& e : Entries()) {
            names.push_back(e.name + (e.thread == owner ? "m" : "w"));
        }
        return names;
    }

private:
    const std::thread::id owner = std::this_thread::get_id();
    mutable std::mutex mutex;
    std::vector<Entry> entries;
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
        log->Add({GetName(), GetState(), std::this_thread::get_id()});
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
