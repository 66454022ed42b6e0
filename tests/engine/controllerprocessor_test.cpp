#include "engine/controllerprocessor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "engine/controller.h"
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
    int heldAt = 0;
    for (int round = 0; round < 1000; ++round) {
        // Not even a step that began a moment after the hold returned.
        ASSERT_EQ(spinner->steps.load(), heldAt);
        held = false;
        const int before = spinner->steps.load();
        processor.SetPaused(false);
        if (round % 2 == 0) {
            // and, every other round, a hold while the worker is stepping
            ASSERT_TRUE(WaitUntil([&] { return spinner->steps.load() > before; }));
        }
        processor.HoldAndWait();
        heldAt = spinner->steps.load();
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

// The worker gives its lock up after every step and takes it back at once. A GUI-side call
// waiting for the lock must not lose that race again and again: while it waits, only the step
// in progress (and one begun as the call started) may run.
TEST(ControllerProcessor, AGuiSideCallIsNotStarvedByShortSteps) {
    const std::atomic<bool> held{false};
    CControllerProcessor processor([](int32_t, uint64_t) {});
    auto spinner = MakeRef<Spinner>(held);
    processor.HoldAndWait();
    processor.SetCancelled(false);
    processor.SetController(spinner.get());
    processor.SetPaused(false);
    ASSERT_TRUE(WaitUntil([&] { return spinner->steps.load() > 1000; }));
    std::vector<int> during;
    for (int call = 0; call < 1001; ++call) {
        const int before = spinner->steps.load();
        static_cast<void>(processor.IsBusy());
        during.push_back(spinner->steps.load() - before);
    }
    // The median: a call that a busy machine happens to preempt after it has returned does not
    // count against the worker.
    std::nth_element(during.begin(), during.begin() + 500, during.end());
    EXPECT_LE(during[500], 3);
    processor.SetCancelled(true);
    processor.HoldAndWait();
}

}  // namespace
