#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "core/event.h"
#include "core/observer.h"

namespace {

struct Tracked : CRefObject {
    explicit Tracked(int* deaths) : deaths(deaths) {}
    ~Tracked() override { ++*deaths; }
    int* deaths;
};

struct CountingObserver : IObserver {
    CountingObserver(int* updates, int* deaths) : updates(updates), deaths(deaths) {}
    ~CountingObserver() override { ++*deaths; }
    void Update(IObsEvent*) override { ++*updates; }
    int* updates;
    int* deaths;
};

TEST(RefObject, ReleaseAtOneDeletesAndCountsAreAtomicAcrossThreads) {
    int deaths = 0;
    auto* object = new Tracked(&deaths);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([object] {
            for (int i = 0; i < 10000; ++i) {
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
        Tracked* handedOver = moved.Detach();
        EXPECT_EQ(handedOver->GetRefCount(), 2);
        handedOver->Release();
        EXPECT_EQ(deaths, 0);
    }
    EXPECT_EQ(deaths, 1);
}

TEST(Observable, DetachNotifyAndDestructionFollowTheOwnershipRules) {
    int updates = 0;
    int deaths = 0;
    auto* observable = new IObservable;
    auto* twice = new CountingObserver(&updates, &deaths);
    twice->AddRef();  // attached twice: the observable owns two references
    auto* stranger = new CountingObserver(&updates, &deaths);
    observable->Attach(twice);
    observable->Attach(twice);

    IObsEvent event;
    observable->Notify(&event);
    EXPECT_EQ(updates, 2);

    observable->SetNotify(false);
    observable->Notify(&event);
    EXPECT_EQ(updates, 2);
    observable->SetNotify(true);
    observable->Notify(&event);
    EXPECT_EQ(updates, 4);

    observable->Detach(stranger);  // not attached: nothing changes
    EXPECT_EQ(observable->ObserverCount(), 2u);
    EXPECT_EQ(deaths, 0);
    observable->Detach(twice);  // both entries removed and released
    EXPECT_EQ(observable->ObserverCount(), 0u);
    EXPECT_EQ(deaths, 1);

    auto* kept = new CountingObserver(&updates, &deaths);
    observable->Attach(kept);
    observable->Attach(stranger);
    observable->Release();  // destruction releases each attached observer once
    EXPECT_EQ(deaths, 3);
}

TEST(Event, ManualResetStaysSetUntilResetAndWakesWaiters) {
    CEvent event(true);
    EXPECT_TRUE(event.WaitFor(std::chrono::milliseconds(0)));
    EXPECT_TRUE(event.IsSet());
    event.Reset();
    EXPECT_FALSE(event.WaitFor(std::chrono::milliseconds(1)));

    std::thread setter([&event] { event.Set(); });
    EXPECT_TRUE(event.WaitFor(std::chrono::seconds(5)));
    setter.join();
    EXPECT_TRUE(event.IsSet());
}

}  // namespace
