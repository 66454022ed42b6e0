#include "engine/controllerprocessor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <vector>

#include "scriptedcontroller.h"
#include "support/waituntil.h"

namespace {

// Steps forever on the worker and notes any step that begins while the test believes the
// worker is held.
class Spinner : public IController {
public:
    explicit Spinner(const std::atomic<bool>& held)
        : IController(stWORKER_STEP, "Spinner"), held(held) {}
    void Step() override {
        if (held.load()) {
            violations.fetch_add(1);
        }
        steps.fetch_add(1);
    }
    std::atomic<int> violations{0};
    std::atomic<int> steps{0};

private:
    const std::atomic<bool>& held;
};

TEST(ControllerProcessor, NoStepBeginsAfterHoldAndWaitReturns) {
    std::atomic<bool> held{true};
    CControllerProcessor processor([](int32_t, uint64_t) {});
    auto spinner = MakeRef<Spinner>(held);
    processor.HoldAndWait();
    processor.SetCancelled(false);  // first: a cancelled worker drops what it is given
    processor.SetController(spinner.get());

    // Every release is followed at once by a hold: the moment at which a worker that tested
    // the hold outside the lock would slip a step past HoldAndWait.
    for (int round = 0; round < 1000; ++round) {
        held = false;
        const int before = spinner->steps.load();
        processor.SetPaused(false);
        if (round % 2 == 0) {
            // and, every other round, a hold while the worker is stepping
            ASSERT_TRUE(WaitUntil([&] { return spinner->steps.load() > before; }));
        }
        processor.HoldAndWait();
        held = true;
        EXPECT_FALSE(processor.IsBusy());
    }
    EXPECT_EQ(spinner->violations.load(), 0);
    EXPECT_GT(spinner->steps.load(), 0);

    processor.SetCancelled(true);
    processor.HoldAndWait();
    EXPECT_TRUE(WaitUntil([&] { return spinner->GetRefCount() == 1; }))
        << "the worker drops its reference on the cancel";
}

TEST(ControllerProcessor, HandsOverMainStepsAndFinishedControllers) {
    std::mutex mutex;
    std::vector<std::pair<int32_t, uint64_t>> notes;
    CControllerProcessor processor([&](int32_t id, uint64_t handover) {
        std::lock_guard guard(mutex);
        notes.emplace_back(id, handover);
    });
    auto count = [&] {
        std::lock_guard guard(mutex);
        return notes.size();
    };
    auto log = std::make_shared<StepLog>();
    auto c = MakeRef<ScriptedController>("c", IController::stMAIN_STEP,
                                         std::vector<uint8_t>{IController::stFINISHED}, log);
    c->SetId(7);
    processor.HoldAndWait();
    processor.SetCancelled(false);
    processor.SetController(c.get());
    EXPECT_EQ(c->CancelEvent(), processor.GetCancelEvent());
    processor.SetPaused(false);

    ASSERT_TRUE(WaitUntil([&] { return count() == 1; }));
    EXPECT_TRUE(processor.IsPaused()) << "the worker holds itself before it notifies";
    const uint64_t first = notes[0].second;
    EXPECT_EQ(notes[0].first, 7);
    EXPECT_TRUE(processor.IsHandoverOpen(first));

    c->Step();  // the main-thread step, as the handler runs it
    processor.SetPaused(false);
    EXPECT_FALSE(processor.IsHandoverOpen(first)) << "released: the notification is used up";
    ASSERT_TRUE(WaitUntil([&] { return count() == 2; }));
    EXPECT_EQ(notes[1].first, 7);
    EXPECT_TRUE(processor.IsHandoverOpen(notes[1].second));
    EXPECT_EQ(c->GetRefCount(), 1) << "a finished controller is released before the notice";
    processor.SetCancelled(true);
    EXPECT_FALSE(processor.IsHandoverOpen(notes[1].second)) << "a cancel overtakes it";
}

}  // namespace
