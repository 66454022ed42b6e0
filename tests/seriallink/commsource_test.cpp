#include "seriallink/commsource.h"

#include <atomic>
#include <future>
#include <thread>
#include <vector>

#include "linktest.h"

namespace {

// A source on a closed port; `calls` (when given) records the four callbacks in order.
CRefPtr<CComPortCommSource> MakeSource(const std::string& name,
                                       std::vector<std::string>* calls = nullptr) {
    auto source = MakeRef<CComPortCommSource>();
    source->SetPort(MakePort(name, false));
    if (calls != nullptr) {
        const auto note = [calls](const char* what) { return [=] { calls->push_back(what); }; };
        source->SetBeforeOpen(note("beforeOpen"));
        source->SetAfterOpen(note("afterOpen"));
        source->SetBeforeClose(note("beforeClose"));
        source->SetAfterClose(note("afterClose"));
    }
    return source;
}

TEST(CommSource, OpenAndCloseRunTheCallbacksAroundAWorkingPort) {
    PtyPair pty;
    std::vector<std::string> calls;
    auto source = MakeSource("", &calls);
    // Closed: writes and reads do nothing, and nothing is reported.
    source->Write("ATI\r", 4);
    char buf[8];
    uint32_t received = 42;
    source->Read(buf, sizeof buf, received);
    EXPECT_EQ(received, 42u);
    const auto start = std::chrono::steady_clock::now();
    source->WaitForData(60000);  // a short sleep, not the time asked for
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);

    EXPECT_THROW(source->Open(), CComPort::EComPortException);
    EXPECT_EQ(calls, std::vector<std::string>{"beforeOpen"});
    // The recursive lock would let this thread back in even if it leaked; another cannot.
    auto other = std::async(std::launch::async, [&] { return source->IsOpen(); });
    ASSERT_EQ(other.wait_for(5s), std::future_status::ready);
    EXPECT_FALSE(other.get());

    // Destroying an open source closes the port first, so the device is free again.
    source->GetPort()->SetPortName(pty.SlavePath());
    source->Open();
    source.Reset();
    EXPECT_EQ(calls, (std::vector<std::string>{"beforeOpen", "beforeOpen", "afterOpen",
                                               "beforeClose", "afterClose"}));
    EXPECT_NO_THROW(MakePort(pty.SlavePath()));
}

// A module left waiting for message text takes every later command for more text, so a source
// closed with a text entry pending sends ESC first; once the text (ended by Ctrl-Z) or an ESC
// has gone out, nothing more. A far end that is gone does not keep the port from closing.
TEST(CommSource, ClosingWithATextEntryPendingReleasesTheModuleFirst) {
    const std::string header = "AT+CMGW\r";
    const struct {
        const char* name;
        std::string after;    // written after the header
        std::string atClose;  // what the close sends
    } cases[] = {
        {"prompt awaited", "", "\x1B"},
        {"text sent", "Hi\x1A", ""},
        {"text entry cancelled", "\x1B", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PtyPair pty;
        auto source = MakeSource(pty.SlavePath());
        source->Open();
        source->SetTextEntryPending(true);
        // Read as it goes: each write first empties what the far end has not taken yet.
        for (const std::string& bytes : {header, c.after}) {
            if (bytes.empty()) {
                continue;
            }
            source->Write(bytes.data(), static_cast<uint32_t>(bytes.size()));
            EXPECT_EQ(pty.ReadFromPort(bytes.size()), bytes);
        }
        source->Close();
        EXPECT_EQ(pty.ReadFromPort(2, 100ms), c.atClose);
        EXPECT_FALSE(source->IsTextEntryPending());
    }
    auto pty = std::make_unique<PtyPair>();
    auto source = MakeSource(pty->SlavePath());
    source->Open();
    source->SetTextEntryPending(true);
    pty.reset();
    EXPECT_NO_THROW(source->Close());
    EXPECT_FALSE(source->IsOpen());
}

// The worker polls a silent line in a tight loop while the user presses Disconnect and Connect:
// every close gets the port, and the worker's minute-long waits keep ending, so no wait holds
// the port's lock through its whole length.
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
    for (int cycle = 0; cycle < 10; ++cycle) {
        source->Open();
        const int seen = polls;
        if (!WaitUntil([&] { return polls > seen + 1; })) {
            ADD_FAILURE() << "the worker's waits do not end";
            break;
        }
        source->Close();
        EXPECT_FALSE(source->IsOpen());
    }
    stop = true;
    worker.join();
}

}  // namespace
