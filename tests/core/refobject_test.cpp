#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/observer.h"

namespace {

// Records each update by its name and counts its death; an update may first run a script.
struct Tracked : IObserver {
    Tracked(std::string name, std::vector<std::string>& calls, int& deaths)
        : name(std::move(name)), calls(calls), deaths(deaths) {}
    ~Tracked() override { ++deaths; }
    void Update(IObsEvent*) override {
        calls.push_back(name);
        if (onUpdate) {
            onUpdate();
            calls.push_back(name + " still here");
        }
    }
    std::string name;
    std::vector<std::string>& calls;
    int& deaths;
    std::function<void()> onUpdate;
};

TEST(RefObject, ReleaseAtOneDeletesAndCountsAreAtomicAcrossThreads) {
    std::vector<std::string> calls;
    int deaths = 0;
    auto* object = new Tracked("", calls, deaths);
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

TEST(Observable, DetachNotifyAndDestructionFollowTheOwnershipRules) {
    std::vector<std::string> calls;
    int deaths = 0;
    auto* observable = new IObservable;
    auto* twice = new Tracked("twice", calls, deaths);
    twice->AddRef();  // attached twice: the observable owns two references
    auto* stranger = new Tracked("stranger", calls, deaths);
    observable->Attach(twice);
    observable->Attach(twice);

    IObsEvent event;
    observable->Notify(&event);
    observable->SetNotify(false);
    observable->Notify(&event);
    EXPECT_EQ(calls.size(), 2u);
    observable->SetNotify(true);
    observable->Notify(&event);
    EXPECT_EQ(calls.size(), 4u);

    observable->Detach(stranger);  // not attached: nothing changes
    EXPECT_EQ(observable->ObserverCount(), 2u);
    observable->Detach(twice);  // both entries removed and released
    EXPECT_EQ(observable->ObserverCount(), 0u);
    EXPECT_EQ(deaths, 1);

    observable->Attach(new Tracked("new", calls, deaths));
    observable->Attach(stranger);
    observable->Release();  // destruction releases each attached observer once
    EXPECT_EQ(deaths, 3);
}

// Observers that detach another or themselves from inside Update: the one detached is never
// called afterwards in that notification, and none is freed while it runs (under the address
// sanitizer a use after release fails the test).
TEST(Observable, AnObserverDetachedDuringANotificationIsNeverCalledOrUsedAfterwards) {
    std::vector<std::string> calls;
    int deaths = 0;
    auto* observable = new IObservable;
    auto* first = new Tracked("first", calls, deaths);
    auto* second = new Tracked("second", calls, deaths);
    auto* third = new Tracked("third", calls, deaths);
    for (Tracked* observer : {first, second, third}) {
        observable->Attach(observer);
    }
    first->onUpdate = [&] {
        observable->Detach(second);
    };  // the observable held its only reference
    third->onUpdate = [&] {
        observable->Detach(third);
        observable->Release();  // the last outside reference to the observable goes too
    };
    IObsEvent event;
    observable->Notify(&event);
    EXPECT_EQ(calls,
              (std::vector<std::string>{"first", "first still here", "third", "third still here"}));
    // Both detached observers and the observable (with the first, still attached) are gone.
    EXPECT_EQ(deaths, 3);
}

}  // namespace
