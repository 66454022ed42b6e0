#pragma once

#include <atomic>
#include <cstdint>
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

private:
    mutable std::mutex mutex;
    std::vector<Entry> entries;
};

// A controller that walks a fixed list of run states: step i leaves the state `after[i]`.
// Reaching stFINISHED sets resultOk.
class ScriptedController : public IController {
public:
    ScriptedController(std::string name, uint8_t initial, std::vector<uint8_t> after,
                       std::shared_ptr<StepLog> log)
        : IController(initial, std::move(name)), after(std::move(after)), log(std::move(log)) {}

    void Step() override {
        const std::size_t step = steps.load();
        log->Add({GetName(), GetState(), std::this_thread::get_id()});
        const uint8_t next = step < after.size() ? after[step] : stFINISHED;
        if (next == stFINISHED && GetResult() == resultNone) {
            SetResult(resultOk);
        }
        SetState(next);
        steps.store(step + 1);
    }

private:
    const std::vector<uint8_t> after;
    const std::shared_ptr<StepLog> log;
    std::atomic<std::size_t> steps{0};
};
