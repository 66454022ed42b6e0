#include "seriallink/commsource.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "support/ptypair.h"
#include "support/waituntil.h"

namespace {

using namespace std::chrono_literals;

CRefPtr<CComPortCommSource> MakeSource(const std::string& name,
                                       std::vector<std::string>* calls = nullptr) {
    auto source = MakeRef<CComPortCommSource>();
    auto port = std::make_unique<CComPort>();
    port->SetPortName(name);
    port->SetSettings("57600,n,8,1");
    source->SetPort(std::move(port));
    if (calls != nullptr) {
        source->SetBeforeOpen([calls] { calls->push_back("beforeOpen"); });
        source->SetAfterOpen([calls] { calls->push_back("afterOpen"); });
        source->SetBeforeClose([calls] { calls->push_back("beforeClose"); });
        source->SetAfterClose([calls] { calls->push_back("afterClose"); });
    }
    return source;
}

std::string ReadAtLeast(ICommSource& source, std::size_t count) {
    std::string got;
    WaitUntil(
        [&] {
            char buf[64];
            uint32_t n = 0;
            source.Read(buf, sizeof buf, n);
            got.append(buf, n);
            return got.size() >= count;
        },
        2s);
    return got;
}

TEST(CommSource, ClosedSourceSendsNothingAndLeavesReceivedAlone) {
    PtyPair pty;
    auto source = MakeSource(pty.SlavePath());
    source->Write("ATI\r", 4);
    pty.WriteToPort("stale");
    char buf[8];
    uint32_t received = 42;
    source->Read(buf, sizeof buf, received);
    EXPECT_EQ(received, 42u);
    EXPECT_EQ(pty.DrainFromPort(), "");
    EXPECT_FALSE(source->IsOpen());
}

TEST(CommSource, WriteDiscardsWhatArrivedBeforeIt) {
    PtyPair pty;
    auto source = MakeSource(pty.SlavePath());
    source->Open();
    pty.WriteToPort("\r\nRING\r\n");
    ASSERT_TRUE(WaitUntil([&] { return source->GetPort()->WaitReadable(0); }));
    source->Write("ATI\r", 4);
    EXPECT_EQ(pty.ReadFromPort(4), "ATI\r");
    pty.WriteToPort("\r\nOK\r\n");
    EXPECT_EQ(ReadAtLeast(*source, 6), "\r\nOK\r\n");
}

TEST(CommSource, FailedOpenFreesTheLockAndSkipsAfterOpen) {
    std::vector<std::string> calls;
    auto source = MakeSource("", &calls);
    EXPECT_THROW(source->Open(), CComPort::EComPortException);
    EXPECT_EQ(calls, std::vector<std::string>{"beforeOpen"});
    // The recursive lock would let this thread back in even if it leaked; another cannot.
    auto other = std::async(std::launch::async, [&] { return source->IsOpen(); });
    ASSERT_EQ(other.wait_for(5s), std::future_status::ready);
    EXPECT_FALSE(other.get());
}

TEST(CommSource, DestroyingAnOpenSourceClosesThePortFirst) {
    PtyPair pty;
    std::vector<std::string> calls;
    {
        auto source = MakeSource(pty.SlavePath(), &calls);
        source->Open();
        EXPECT_TRUE(source->IsOpen());
    }
    EXPECT_EQ(calls,
              (std::vector<std::string>{"beforeOpen", "afterOpen", "beforeClose", "afterClose"}));
    CComPort again;
    again.SetPortName(pty.SlavePath());
    again.SetSettings("57600,n,8,1");
    EXPECT_NO_THROW(again.Open());
}

TEST(CommSource, WaitForDataWakesOnBytesAndStaysWithinItsSlice) {
    PtyPair pty;
    auto source = MakeSource(pty.SlavePath());
    // Closed: a short bounded sleep, not the time asked for.
    auto start = std::chrono::steady_clock::now();
    source->WaitForData(60000);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);

    source->Open();
    start = std::chrono::steady_clock::now();
    source->WaitForData(60000);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);

    // Bytes arriving while a wait is under way end it early.
    auto waiter =
        std::async(std::launch::async, [&] { return source->GetPort()->WaitReadable(60000); });
    pty.WriteToPort("OK");
    ASSERT_EQ(waiter.wait_for(5s), std::future_status::ready);
    EXPECT_TRUE(waiter.get());
}

// The worker polls a silent line in a tight loop while the user presses Disconnect; the GUI
// thread must get the port at once, not after one or more of the worker's waits.
TEST(CommSource, CloseFromAnotherThreadIsNotHeldOffByAPollingWorker) {
    PtyPair pty;
    auto source = MakeSource(pty.SlavePath());
    std::atomic<bool> stop{false};
    std::atomic<int> polls{0};
    std::thread worker([&] {
        while (!stop) {
            char buf[64];
            uint32_t n = 0;
            source->Read(buf, sizeof buf, n);
            source->WaitForData(60000);
            ++polls;
        }
    });
    std::chrono::steady_clock::duration closing{};
    for (int cycle = 0; cycle < 10; ++cycle) {
        source->Open();
        const int seen = polls;
        ASSERT_TRUE(WaitUntil([&] { return polls > seen + 1; }));
        const auto start = std::chrono::steady_clock::now();
        source->Close();
        closing += std::chrono::steady_clock::now() - start;
        EXPECT_FALSE(source->IsOpen());
    }
    stop = true;
    worker.join();
    // Ten closes behind a lock held through each 10 ms wait take hundreds of milliseconds.
    EXPECT_LT(closing, 100ms);
}

}  // namespace
