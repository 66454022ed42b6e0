#include "engine/processorhandler.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "scriptedcontroller.h"
#include "support/mainloop.h"
#include "support/waituntil.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr uint8_t M = IController::stMAIN_STEP;
constexpr uint8_t W = IController::stWORKER_STEP;
constexpr uint8_t F = IController::stFINISHED;

struct Finished {
    std::string handlerId;
    std::string name;
    int32_t id;
    uint8_t result;
    uint8_t state;
    std::string failure;
};

class ProcessorHandlerTest : public ::testing::Test {
protected:
    ProcessorHandlerTest() {
        handler.ID = "Handler ID Test";
        handler.OnControllerFinished = [this](const std::string& id, IController* controller) {
            finished.push_back({id, controller->GetName(), controller->GetId(),
                                controller->GetResult(), controller->GetState(),
                                controller->GetFailureMessage()});
        };
        handler.AfterCompleted = [this](const std::string&) { ++completed; };
    }
    ~ProcessorHandlerTest() override {
        handler.SetCancel(true);
        handler.WaitIdle();
        handler.Clean();
    }

    // The queue takes the creator's reference over; the test gets one of its own.
    CRefPtr<ScriptedController> Queue(const std::string& name, uint8_t initial,
                                      std::vector<uint8_t> after,
                                      ScriptedController::Hook hook = {}) {
        auto* controller = new ScriptedController(name, initial, std::move(after), log, hook);
        handler.Add(controller);
        return CRefPtr<ScriptedController>::Share(controller);
    }

    std::vector<std::string> FinishedNames() const {
        std::vector<std::string> names;
        for (const Finished& f : finished) {
            names.push_back(f.name);
        }
        return names;
    }

    bool PumpUntilCompleted(int count = 1) {
        return loop.PumpUntil([&] { return completed >= count; });
    }
    // True once every notification the worker posted so far has been handled.
    bool PumpUntilHandled(int count) {
        return loop.PumpUntil([&] { return handled >= count; });
    }

    MainLoop loop;
    std::atomic<int> posted{0};
    int handled = 0;
    std::shared_ptr<StepLog> log = std::make_shared<StepLog>();
    std::vector<Finished> finished;
    int completed = 0;
    CProcessorHandler handler{[this](std::function<void()> closure) {
        ++posted;
        loop.Post([this, closure = std::move(closure)] {
            closure();
            ++handled;
        });
    }};
};

TEST_F(ProcessorHandlerTest, RunsQueuedControllersInOrderOnTheirThreads) {
    std::vector<int32_t> started;
    int beforeRun = 0;
    handler.BeforeRun = [&](const std::string& id) {
        EXPECT_EQ(id, "Handler ID Test");
        ++beforeRun;
    };
    handler.BeforeProcessController = [&](IController* c) { started.push_back(c->GetId()); };

    Queue("A", M, {M, W, M, W, F});
    Queue("B", W, {W, F});
    Queue("C", M, {F});  // finishes in a main-thread step

    // Right after construction the processor is held and cancelled; Run must undo both.
    ASSERT_TRUE(handler.Run());
    ASSERT_TRUE(PumpUntilCompleted());

    EXPECT_EQ(FinishedNames(), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(started, (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(beforeRun, 1);
    for (const Finished& f : finished) {
        EXPECT_EQ(f.handlerId, "Handler ID Test");
        EXPECT_EQ(f.result, IController::resultOk);
        EXPECT_TRUE(f.failure.empty());
    }

    const std::thread::id testThread = std::this_thread::get_id();
    std::thread::id worker;
    std::vector<std::string> order;
    for (const StepLog::Entry& e : log->Entries()) {
        order.push_back(e.name + (e.state == M ? "m" : "w"));
        if (e.state == M) {
            EXPECT_EQ(e.thread, testThread) << e.name;
        } else {
            EXPECT_NE(e.thread, testThread) << e.name;
            if (worker == std::thread::id()) {
                worker = e.thread;
            }
            EXPECT_EQ(e.thread, worker) << "one worker runs every worker step";
        }
    }
    EXPECT_EQ(order, (std::vector<std::string>{"Am", "Am", "Aw", "Am", "Aw", "Bw", "Bw", "Cm"}));

    loop.PumpPending();
    EXPECT_EQ(completed, 1);
    EXPECT_EQ(handler.GetQueueCount(), 0u);
    EXPECT_FALSE(handler.Run()) << "nothing left to run";
}

TEST_F(ProcessorHandlerTest, FinishHandlerChainsFurtherControllers) {
    handler.OnControllerFinished = [this](const std::string&, IController* controller) {
        finished.push_back({"", controller->GetName(), controller->GetId(), 0, 0, ""});
        if (controller->GetName() == "first") {
            Queue("second", M, {W, F});
        }
    };
    Queue("first", W, {F});
    ASSERT_TRUE(handler.Run());
    ASSERT_TRUE(PumpUntilCompleted());
    loop.PumpPending();

    EXPECT_EQ(FinishedNames(), (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(finished[1].id, 2);
    EXPECT_EQ(completed, 1) << "raised once, after the chained controller";
}

TEST_F(ProcessorHandlerTest, FinishHandlerMayEmptyTheQueue) {
    std::atomic<bool> firstGone{false};
    std::atomic<bool> secondGone{false};
    handler.OnControllerFinished = [&](const std::string&, IController* controller) {
        finished.push_back({"", controller->GetName(), controller->GetId(), 0, 0, ""});
        // What a main window does when a failure ends the operation.
        handler.SetCancel(true);
        handler.WaitIdle();
        handler.Clean();
    };
    Queue("first", W, {F})->destroyed = &firstGone;
    Queue("second", W, {F})->destroyed = &secondGone;
    ASSERT_TRUE(handler.Run());
    ASSERT_TRUE(PumpUntilCompleted());

    EXPECT_EQ(FinishedNames(), (std::vector<std::string>{"first"}));
    EXPECT_TRUE(firstGone) << "released once, by Clean";
    EXPECT_TRUE(secondGone);
    EXPECT_EQ(log->Count("second"), 0u);
}

TEST_F(ProcessorHandlerTest, RunWithNothingQueuedReturnsFalse) {
    int beforeRun = 0;
    handler.BeforeRun = [&](const std::string&) { ++beforeRun; };
    EXPECT_FALSE(handler.Run());
    EXPECT_EQ(beforeRun, 1);
    loop.PumpPending();
    EXPECT_EQ(completed, 0);
}

TEST_F(ProcessorHandlerTest, IdsCountUpAndAreNeverReused) {
    handler.Add(nullptr);
    EXPECT_EQ(handler.GetQueueCount(), 0u);

    std::vector<int32_t> ids;
    ids.push_back(Queue("a", W, {F})->GetId());
    ids.push_back(Queue("b", W, {F})->GetId());
    handler.Clean();
    EXPECT_EQ(handler.GetQueueCount(), 0u);
    handler.Add(CRefPtr<IController>(new ScriptedController("c", W, {F}, log)));
    ids.push_back(handler.GetFront()->GetId());
    handler.Add(nullptr);
    ids.push_back(Queue("d", W, {F})->GetId());
    EXPECT_EQ(ids, (std::vector<int32_t>{1, 2, 3, 4}));
}

TEST_F(ProcessorHandlerTest, CancelEndsALongWorkerStepAndKeepsTheControllerQueued) {
    std::atomic<bool> entered{false};
    auto slow = Queue("slow", W, {F}, [&](ScriptedController& self, std::size_t) {
        entered = true;
        self.PauseFor(20000);
    });
    ASSERT_TRUE(handler.Run());
    ASSERT_TRUE(WaitUntil([&] { return entered.load(); }));

    const auto start = Clock::now();
    handler.SetCancel(true);
    handler.WaitIdle();
    EXPECT_LT(Clock::now() - start, 500ms) << "the pause ends on the cancel";

    loop.PumpPending();
    EXPECT_TRUE(finished.empty()) << "a cancelled controller is not reported";
    EXPECT_EQ(completed, 0);
    EXPECT_EQ(handler.GetQueueCount(), 1u);
    EXPECT_EQ(slow->GetRefCount(), 2) << "ours and the queue's; the worker let go";
    handler.Clean();
    EXPECT_EQ(slow->GetRefCount(), 1);
}

TEST_F(ProcessorHandlerTest, NotificationForACleanedControllerIsIgnored) {
    Queue("old", M, {W, F});
    ASSERT_TRUE(handler.Run());
    // The worker has asked for the main-thread step; the request waits in the loop.
    ASSERT_TRUE(WaitUntil([&] { return posted.load() == 1; }));
    handler.SetCancel(true);
    handler.WaitIdle();
    handler.Clean();

    Queue("new", M, {W, F});
    ASSERT_TRUE(handler.Run());
    ASSERT_TRUE(PumpUntilCompleted());
    EXPECT_EQ(log->Count("old"), 0u);
    EXPECT_EQ(FinishedNames(), (std::vector<std::string>{"new"}));
}

TEST_F(ProcessorHandlerTest, MainStepRequestedBeforeACancelDoesNotRunAfterIt) {
    // A PIN dialog must not open after the user pressed Cancel.
    auto pin = Queue("pin", M, {W, F});
    ASSERT_TRUE(handler.Run());
    ASSERT_TRUE(WaitUntil([&] { return posted.load() == 1; }));
    handler.SetCancel(true);
    handler.WaitIdle();
    loop.PumpPending();
    EXPECT_EQ(pin->Steps(), 0u);
    EXPECT_EQ(handler.GetQueueCount(), 1u);

    // Running again resumes the controller where it stood.
    ASSERT_TRUE(handler.Run());
    ASSERT_TRUE(PumpUntilCompleted());
    EXPECT_EQ(pin->Steps(), 2u);
    EXPECT_EQ(FinishedNames(), (std::vector<std::string>{"pin"}));
}

TEST_F(ProcessorHandlerTest, WithoutAutoExecuteMainTheMainStepWaitsForRun) {
    handler.AutoExecuteMain = false;
    auto c = Queue("manual", W, {M, W, F});
    ASSERT_TRUE(handler.Run());
    ASSERT_TRUE(PumpUntilHandled(1));
    EXPECT_EQ(c->Steps(), 1u) << "the worker step ran, the main step waits";
    EXPECT_EQ(c->GetState(), M);

    ASSERT_TRUE(handler.Run());  // performs the main step here and releases the worker
    EXPECT_GE(c->Steps(), 2u);
    EXPECT_EQ(log->Entries()[1].state, M);
    EXPECT_EQ(log->Entries()[1].thread, std::this_thread::get_id());
    ASSERT_TRUE(PumpUntilCompleted());
    EXPECT_EQ(c->Steps(), 3u);
    EXPECT_EQ(posted.load(), 2) << "held between the two Run calls";
}

TEST_F(ProcessorHandlerTest, WorkerExceptionFinishesTheControllerAsFailed) {
    int exceptions = 0;
    handler.OnException = [&](const std::string&, const std::exception&) { ++exceptions; };
    Queue("unplugged", W, {W, F},
          [](ScriptedController&, std::size_t) { throw std::runtime_error("Port vanished"); });
    Queue("odd", M, {W, F}, [](ScriptedController&, std::size_t step) {
        if (step == 1) {
            throw 42;
        }
    });
    Queue("next", W, {F});
    ASSERT_TRUE(handler.Run());
    ASSERT_TRUE(PumpUntilCompleted());

    ASSERT_EQ(FinishedNames(), (std::vector<std::string>{"unplugged", "odd", "next"}));
    EXPECT_EQ(finished[0].result, IController::resultFailed);
    EXPECT_EQ(finished[0].state, F);
    EXPECT_EQ(finished[0].failure, "Port vanished");
    EXPECT_EQ(log->Count("unplugged"), 1u) << "not retried";
    EXPECT_EQ(finished[1].result, IController::resultFailed);
    EXPECT_EQ(finished[1].failure, "Unknown error");
    EXPECT_EQ(finished[2].result, IController::resultOk);
    EXPECT_EQ(exceptions, 0) << "a worker failure is the controller's result";
}

TEST_F(ProcessorHandlerTest, CancelAtTheMomentOfAThrowDoesNotHang) {
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        std::atomic<bool> entered{false};
        Queue("throws", W, {F}, [&](ScriptedController& self, std::size_t) {
            entered = true;
            // Throws as the cancel arrives, the way a read cut short by a closed port does.
            self.CancelEvent()->Wait();
            throw std::runtime_error("closed");
        });
        ASSERT_TRUE(handler.Run());
        ASSERT_TRUE(WaitUntil([&] { return entered.load(); }));
        const auto start = Clock::now();
        handler.SetCancel(true);
        handler.WaitIdle();
        EXPECT_LT(Clock::now() - start, 500ms);
        loop.PumpPending();
        EXPECT_TRUE(finished.empty());
        handler.Clean();
    }
}

TEST_F(ProcessorHandlerTest, MainStepExceptionGoesToOnException) {
    std::vector<std::string> reports;
    handler.OnException = [&](const std::string& id, const std::exception& error) {
        reports.push_back(id + ": " + error.what());
    };
    Queue("dialog", M, {W, F},
          [](ScriptedController&, std::size_t) { throw std::runtime_error("no window"); });
    ASSERT_TRUE(handler.Run());
    ASSERT_TRUE(loop.PumpUntil([&] { return !reports.empty(); }));
    EXPECT_EQ(reports, (std::vector<std::string>{"Handler ID Test: no window"}));
    EXPECT_TRUE(finished.empty());
}

TEST_F(ProcessorHandlerTest, HandOversDoNotWaitOutFixedSleeps) {
    // 300 round trips worker -> GUI -> worker; a worker that slept 10 ms per cycle and tested
    // each event for 5 ms would need several seconds.
    std::vector<uint8_t> after;
    for (int i = 0; i < 300; ++i) {
        after.push_back(M);
        after.push_back(W);
    }
    after.push_back(F);
    Queue("pingpong", W, after);
    const auto start = Clock::now();
    ASSERT_TRUE(handler.Run());
    ASSERT_TRUE(PumpUntilCompleted());
    EXPECT_LT(Clock::now() - start, 2s);
}

TEST(ProcessorHandlerLifetime, NotificationsArrivingAfterDestructionAreDropped) {
    MainLoop loop;
    auto log = std::make_shared<StepLog>();
    std::atomic<bool> gone{false};
    {
        CProcessorHandler handler(loop.Poster());
        auto* c = new ScriptedController("late", M, {W, F}, log);
        c->destroyed = &gone;
        handler.Add(c);
        ASSERT_TRUE(handler.Run());
        ASSERT_TRUE(WaitUntil([&] { return loop.Pending() == 1; }));
    }
    EXPECT_TRUE(gone) << "the queue's reference is given back";
    EXPECT_EQ(loop.PumpPending(), 1u);
    EXPECT_EQ(log->Count("late"), 0u);
}

}  // namespace
