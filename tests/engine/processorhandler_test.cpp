#include "engine/processorhandler.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "engine/controller.h"
#include "seriallink/commsource.h"
#include "seriallink/comport.h"
#include "support/mainloop.h"
#include "support/ptypair.h"
#include "support/scriptedcontroller.h"
#include "support/waituntil.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Names = std::vector<std::string>;

constexpr uint8_t M = IController::stMAIN_STEP;
constexpr uint8_t W = IController::stWORKER_STEP;
constexpr uint8_t F = IController::stFINISHED;

class ProcessorHandlerTest : public ::testing::Test {
protected:
    ProcessorHandlerTest() {
        handler.ID = "Handler ID Test";
        handler.OnControllerFinished = [this](const std::string& id, IController* controller) {
            EXPECT_EQ(id, "Handler ID Test");
            finished.push_back(controller->GetName());
            if (afterFinished) {
                afterFinished(controller);
            }
        };
        handler.AfterCompleted = [this](const std::string&) { ++completed; };
    }

    // The queue gets a reference of its own; the test keeps the creator's.
    CRefPtr<ScriptedController> Queue(const std::string& name, uint8_t initial,
                                      std::vector<uint8_t> after,
                                      ScriptedController::Hook hook = {}) {
        auto controller = MakeRef<ScriptedController>(name, initial, std::move(after), log, hook);
        handler.Add(CRefPtr<ScriptedController>::Share(controller.get()));
        return controller;
    }
    bool PumpUntilCompleted(int count = 1) {
        return loop.PumpUntil([&] { return completed >= count; });
    }

    std::function<void(IController*)> afterFinished;
    MainLoop loop;
    std::atomic<int> posted{0};
    std::shared_ptr<StepLog> log = std::make_shared<StepLog>();
    Names finished;
    int completed = 0;
    CProcessorHandler handler{[this](std::function<void()> closure) {
        ++posted;
        loop.Post(std::move(closure));
    }};
};

// Controllers run in order, each step on its thread, and one queued from the finish handler
// runs in the same run; ids count up from 1, a null controller is ignored.
TEST_F(ProcessorHandlerTest, RunsQueuedControllersInOrderOnTheirThreads) {
    std::vector<int32_t> started;
    int beforeRun = 0;
    handler.BeforeRun = [&](const std::string& id) {
        EXPECT_EQ(id, "Handler ID Test");
        ++beforeRun;
    };
    handler.BeforeProcessController = [&](IController* c) { started.push_back(c->GetId()); };
    afterFinished = [this](IController* controller) {
        if (controller->GetName() == "C") {
            Queue("D", M, {W, F});
        }
    };
    handler.Add(nullptr);
    Queue("A", M, {M, W, M, W, F});
    Queue("B", W, {W, F});
    Queue("C", M, {F});  // finishes in a main-thread step

    // Right after construction the processor is held and cancelled; Run must undo both.
    ASSERT_TRUE(handler.Run());
    ASSERT_TRUE(PumpUntilCompleted());
    EXPECT_EQ(finished, (Names{"A", "B", "C", "D"}));
    EXPECT_EQ(started, (std::vector<int32_t>{1, 2, 3, 4}));
    EXPECT_EQ(log->Names(), (Names{"Am", "Am", "Aw", "Am", "Aw", "Bw", "Bw", "Cm", "Dm", "Dw"}));

    loop.PumpPending();
    EXPECT_EQ(completed, 1) << "raised once, after the chained controller";
    EXPECT_FALSE(handler.Run()) << "nothing left to run";
    EXPECT_EQ(beforeRun, 2);
}

// A cancel ends a long worker step within a few milliseconds, also one that throws as the
// cancel arrives (a read cut short by a closed port); the controller is not reported and stays
// queued until Clean.
TEST_F(ProcessorHandlerTest, CancelEndsALongWorkerStepAndKeepsTheControllerQueued) {
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        std::atomic<bool> entered{false};
        auto slow = Queue("slow", W, {F}, [&](ScriptedController& self, std::size_t) {
            entered = true;
            self.PauseFor(20000);
            if (round % 2 == 1) {
                throw std::runtime_error("closed");
            }
        });
        ASSERT_TRUE(handler.Run());
        ASSERT_TRUE(WaitUntil([&] { return entered.load(); }));
        const auto start = Clock::now();
        handler.SetCancel(true);
        handler.WaitIdle();
        // The step would pause 20 s; ending far sooner is ending on the cancel.
        EXPECT_LT(Clock::now() - start, 10s);

        loop.PumpPending();
        EXPECT_TRUE(finished.empty());
        EXPECT_EQ(completed, 0);
        EXPECT_EQ(handler.GetQueueCount(), 1u);
        EXPECT_EQ(slow->GetRefCount(), 2) << "ours and the queue's; the worker let go";
        handler.Clean();
        EXPECT_EQ(slow->GetRefCount(), 1);
    }
}

// A notification overtaken by a cancel or a Clean is ignored: a PIN dialog must not open after
// the user pressed Cancel, nor for a controller that is gone.
TEST_F(ProcessorHandlerTest, OvertakenNotificationsAreIgnored) {
    auto pin = Queue("pin", M, {W, F});
    ASSERT_TRUE(handler.Run());
    // The worker has asked for the main-thread step; the request waits in the loop.
    ASSERT_TRUE(WaitUntil([&] { return posted.load() == 1; }));
    handler.SetCancel(true);
    handler.WaitIdle();
    loop.PumpPending();
    EXPECT_EQ(pin->Steps(), 0u);
    EXPECT_EQ(handler.GetQueueCount(), 1u);

    // Running again resumes the controller where it stood: main step (2), finished (3).
    ASSERT_TRUE(handler.Run());
    ASSERT_TRUE(PumpUntilCompleted());
    EXPECT_EQ(pin->Steps(), 2u);

    auto old = Queue("old", M, {W, F});
    ASSERT_TRUE(handler.Run());
    ASSERT_TRUE(WaitUntil([&] { return posted.load() == 4; }));
    handler.SetCancel(true);
    handler.WaitIdle();
    handler.Clean();
    Queue("new", M, {W, F});
    ASSERT_TRUE(handler.Run());
    ASSERT_TRUE(PumpUntilCompleted(2));
    EXPECT_EQ(old->Steps(), 0u);
    EXPECT_EQ(finished, (Names{"pin", "new"}));
}

// A worker step that throws ends its controller as failed with the message kept, and the run
// goes on; a main step that throws is the window's own fault and goes to OnException.
TEST_F(ProcessorHandlerTest, StepExceptions) {
    std::vector<std::string> reports;
    handler.OnException = [&](const std::string& id, const std::exception& error) {
        reports.push_back(id + ": " + error.what());
    };
    auto unplugged = Queue("unplugged", W, {W, F}, [](ScriptedController&, std::size_t) {
        throw std::runtime_error("Port vanished");
    });
    auto odd = Queue("odd", M, {W, F}, [](ScriptedController&, std::size_t step) {
        if (step == 1) {
            throw 42;
        }
    });
    Queue("next", W, {F});
    Queue("dialog", M, {W, F},
          [](ScriptedController&, std::size_t) { throw std::runtime_error("no window"); });
    ASSERT_TRUE(handler.Run());
    ASSERT_TRUE(loop.PumpUntil([&] { return !reports.empty(); }));

    EXPECT_EQ(finished, (Names{"unplugged", "odd", "next"}));
    EXPECT_EQ(log->Names(), (Names{"unpluggedw", "oddm", "oddw", "nextw", "dialogm"}))
        << "a failed step is not retried";
    EXPECT_EQ(unplugged->GetResult(), IController::resultFailed);
    EXPECT_EQ(unplugged->GetFailureMessage(), "Port vanished");
    EXPECT_EQ(odd->GetResult(), IController::resultFailed);
    EXPECT_EQ(odd->GetFailureMessage(), "Unknown error");
    EXPECT_EQ(reports, (Names{"Handler ID Test: no window"}));
}

// A far end that stops reading (a wedged adapter) leaves the worker in a port write with the
// port locked. Neither the GUI thread's close of the port nor its wait for the worker waits out
// the port's stall limit: the write is called off, and the step fails with the port's message,
// which ends the run as any port failure does.
TEST_F(ProcessorHandlerTest, AStalledPortWriteIsCalledOffInsteadOfHoldingTheGuiThread) {
    constexpr auto kStallLimit = 60s;  // the test's own bound is the suite's time-out
    const std::string block(std::size_t{4} << 20, 'x');  // far beyond what the terminal buffers
    for (const bool byClose : {true, false}) {
        SCOPED_TRACE(byClose ? "the port closed" : "the run cancelled");
        PtyPair pty;  // nothing ever reads its far end
        auto port = std::make_unique<CComPort>();
        port->SetPortName(pty.SlavePath());
        port->SetSettings("57600,n,8,1");
        port->SetWritePause(0ms);
        port->SetWriteStallLimit(kStallLimit);
        auto source = MakeRef<CComPortCommSource>();
        source->SetPort(std::move(port));
        source->Open();
        std::atomic<bool> writing{false};
        auto writer = Queue("writer", W, {F}, [&](ScriptedController&, std::size_t) {
            writing = true;
            source->Write(block.data(), static_cast<uint32_t>(block.size()));
        });
        writer->SetCommSource(source.get());
        ASSERT_TRUE(handler.Run());
        ASSERT_TRUE(WaitUntil([&] { return writing.load(); }));

        const auto start = Clock::now();
        if (byClose) {
            // The close's own ESC for a pending text entry meets the stalled port too.
            source->SetTextEntryPending(true);
            source->Close();
        } else {
            handler.SetCancel(true);
            handler.WaitIdle();
        }
        EXPECT_LT(Clock::now() - start, kStallLimit / 2);
        if (byClose) {
            ASSERT_TRUE(loop.PumpUntil([&] { return !finished.empty(); }));
            EXPECT_EQ(finished, Names{"writer"});
        } else {
            handler.Clean();
            source->Close();
        }
        EXPECT_EQ(writer->GetResult(), IController::resultFailed);
        EXPECT_EQ(writer->GetFailureMessage(),
                  "Com port buffer error occured. All data not written!");
        EXPECT_FALSE(source->IsOpen());
    }
}

TEST(ProcessorHandlerLifetime, NotificationsArrivingAfterDestructionAreDropped) {
    MainLoop loop;
    auto log = std::make_shared<StepLog>();
    auto late = MakeRef<ScriptedController>("late", M, std::vector<uint8_t>{W, F}, log);
    {
        CProcessorHandler handler(loop.Poster());
        handler.Add(CRefPtr<ScriptedController>::Share(late.get()));
        ASSERT_TRUE(handler.Run());
        ASSERT_TRUE(WaitUntil([&] { return loop.Pending() == 1; }));
    }
    EXPECT_EQ(late->GetRefCount(), 1) << "the queue's reference is given back";
    EXPECT_EQ(loop.PumpPending(), 1u);
    EXPECT_EQ(late->Steps(), 0u);
}

}  // namespace
