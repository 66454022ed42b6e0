#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "core/event.h"
#include "core/observer.h"

namespace {

// Counts its updates and its death, as a plain counted object or as an observer.
struct Tracked : IObserver {
    explicit Tracked(int* deaths, int* updates = nullptr) : deaths(deaths), updates(updates) {}
    ~Tracked() override { ++*deaths; }
    void Update(IObsEvent*) override { ++*updates; }
    int* deaths;
    int* updates;
};

TEST(RefObject, ReleaseAtOneDeletesAndCountsAreAtomicAcrossThreads) {
    int deaths = 0;
    auto* object = new Tracked(&deaths);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([object] {
            for (int i = 0; i < 50000; ++i) {
                object->AddRef();
                object->Release();
            }
        });
    }
    for (auto& t : threads) {
        t.join();
    }
    EXPECT_EQ(object->GetRefCount(), 1);
    EXPECT_EQ(deaths, 0);
    object->Release();
    EXPECT_EQ(deaths, 1);
}

TEST(RefObject, RefPtrHoldsExactlyOneReference) {
    int deaths = 0;
    {
        auto first = MakeRef<Tracked>(&deaths);
        auto second = first;
        EXPECT_EQ(first->GetRefCount(), 2);
        auto moved = std::move(second);
        EXPECT_EQ(first->GetRefCount(), 2);
        moved.Detach()->Release();
        EXPECT_EQ(deaths, 0);
    }
    EXPECT_EQ(deaths, 1);
}

TEST(Observable, DetachNotifyAndDestructionFollowTheOwnershipRules) {
    int updates = 0;
    int deaths = 0;
    auto* observable = new IObservable;
    auto* twice = new Tracked(&deaths, &updates);
    twice->AddRef();  // attached twice: the observable owns two references
    auto* stranger = new Tracked(&deaths, &updates);
    observable->Attach(twice);
    observable->Attach(twice);

    IObsEvent event;
    observable->Notify(&event);
    observable->SetNotify(false);
    observable->Notify(&event);
    EXPECT_EQ(updates, 2);
    observable->SetNotify(true);
    observable->Notify(&event);
    EXPECT_EQ(updates, 4);

    observable->Detach(stranger);  // not attached: nothing changes
    EXPECT_EQ(observable->ObserverCount(), 2u);
    observable->Detach(twice);  // both entries removed and released
    EXPECT_EQ(observable->ObserverCount(), 0u);
    EXPECT_EQ(deaths, 1);

    observable->Attach(new Tracked(&deaths, &updates));
    observable->Attach(stranger);
    observable->Release();  // destruction releases each attached observer once
    EXPECT_EQ(deaths, 3);
}

TEST(Event, ManualResetStaysSetUntilResetAndWakesWaiters) {
    CEvent event(true);
    EXPECT_TRUE(event.WaitFor(std::chrono::milliseconds(0)));
    event.Reset();
    EXPECT_FALSE(event.WaitFor(std::chrono::milliseconds(1)));

    std::thread setter([&event] { event.Set(); });
    EXPECT_TRUE(event.WaitFor(std::chrono::seconds(5)));
    setter.join();
    EXPECT_TRUE(event.IsSet());
}

}  // namespace
