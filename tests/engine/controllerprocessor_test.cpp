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

}  // namespace
