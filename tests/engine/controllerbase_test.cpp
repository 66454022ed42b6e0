#include "engine/controllerbase.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "engine/processorhandler.h"
#include "support/mainloop.h"
#include "support/scriptedsource.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class ProbeController : public CControllerBase {
public:
    explicit ProbeController(uint8_t initial,
                             DefaultDescription description = DefaultDescription::Named,
                             uint32_t timeoutMs = 100)
        : CControllerBase(initial, "CControllerProbe", timeoutMs, "CONTROLLER_PROBE_DESCRIPTION",
                          description) {}

    using CControllerBase::command;
    using CControllerBase::Exchange;
    using CControllerBase::ExchangeForPrompt;
    using CControllerBase::Finish;
    using CControllerBase::GetReply;
    using CControllerBase::IsReplyTimedOut;
    using CControllerBase::ReplyContains;
    using CControllerBase::ReturnToProgressStep;
    using CControllerBase::stringReader;

    std::vector<uint8_t> actions;
    std::function<void(ProbeController&)> work;

protected:
    void DoAction(uint8_t action) override {
        actions.push_back(action);
        if (work) {
            work(*this);
        }
    }
    void PrepareDescription() override { progressInfo.SetMaximum(7); }
    void PrepareProgress() override { progressInfo.SetPosition(3); }
};

TEST(ControllerBase, OpeningStepsWithoutCallbacksUseTheDefaultDescription) {
    const struct {
        CControllerBase::DefaultDescription kind;
        const char* expected;
    } cases[] = {
        {CControllerBase::DefaultDescription::Named,
         "CControllerProbe::actionGetDescriptionString"},
        {CControllerBase::DefaultDescription::Empty, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        ProbeController probe(IController::stMAIN_STEP, c.kind);
        probe.Step();
        EXPECT_EQ(probe.GetProgressInfo().GetDescription(), c.expected);
        EXPECT_EQ(probe.GetState(), IController::stMAIN_STEP);
        EXPECT_EQ(probe.GetCurrentAction(), CControllerBase::stPROGRESS);
        probe.Step();
        EXPECT_EQ(probe.GetState(), IController::stWORKER_STEP);
        EXPECT_EQ(probe.GetCurrentAction(), CControllerBase::stFIRST_WORK);
        EXPECT_TRUE(probe.actions.empty());
        probe.Step();
        EXPECT_EQ(probe.actions, (std::vector<uint8_t>{CControllerBase::stFIRST_WORK}));
        EXPECT_EQ(probe.GetResult(), IController::resultNone);
    }
}

TEST(ControllerBase, OpeningStepsAskForTheTextAndShowProgress) {
    ProbeController probe(IController::stMAIN_STEP);
    std::vector<std::string> calls;
    probe.OnGetDescription = [&](const std::string& id, std::string& description) {
        calls.push_back(id + "|" + description);
        description = "Checking the connection";
    };
    probe.OnProgress = [&](const std::string& id, const CProgressInfo& info) {
        calls.push_back(id + "|" + info.GetDescription() + "|" +
                        std::to_string(info.GetPosition()) + "/" +
                        std::to_string(info.GetMaximum()));
    };
    probe.work = [](ProbeController& self) { self.ReturnToProgressStep(); };

    for (int i = 0; i < 5; ++i) {
        probe.Step();
    }
    EXPECT_EQ(calls,
              (std::vector<std::string>{
                  "CONTROLLER_PROBE_DESCRIPTION|CControllerProbe::actionGetDescriptionString",
                  "CControllerProbe|Checking the connection|3/7",
                  "CControllerProbe|Checking the connection|3/7",
              }));
    // description, progress, work, progress, work: each work action hands back a progress step
    EXPECT_EQ(probe.actions, (std::vector<uint8_t>{2, 2}));
    EXPECT_EQ(probe.GetState(), IController::stMAIN_STEP);
}

TEST(ControllerBase, WorkerStartHasNoOpeningSteps) {
    ProbeController probe(IController::stWORKER_STEP);
    bool shown = false;
    probe.OnProgress = [&](const std::string&, const CProgressInfo&) { shown = true; };
    probe.work = [](ProbeController& self) {
        if (self.actions.size() == 2) {
            self.Finish(IController::resultOk);
        }
    };
    probe.Step();
    probe.Step();
    EXPECT_EQ(probe.actions, (std::vector<uint8_t>{0, 0}));
    EXPECT_EQ(probe.GetState(), IController::stFINISHED);
    EXPECT_EQ(probe.GetResult(), IController::resultOk);
    EXPECT_FALSE(shown);
    EXPECT_EQ(probe.GetProgressInfo().GetDescription(), "");
}

TEST(ControllerBase, CancelTestsAndPauses) {
    ProbeController probe(IController::stWORKER_STEP);
    EXPECT_FALSE(probe.IsCancelRequested()) << "no event lent yet";

    CEvent cancel(false);
    probe.SetCancelEvent(&cancel);
    EXPECT_FALSE(probe.IsCancelRequested());
    std::thread canceller([&] { cancel.Set(); });
    const auto start = Clock::now();
    probe.PauseFor(20000);
    canceller.join();
    EXPECT_LT(Clock::now() - start, 5s);
    EXPECT_TRUE(probe.IsCancelRequested());
}

TEST(ControllerBase, CancelEventReachesBothReaders) {
    ProbeController probe(IController::stWORKER_STEP, CControllerBase::DefaultDescription::Empty,
                          20000);
    auto source = MakeRef<ScriptedSource>();  // silent far end
    probe.SetCommSource(source.get());
    CEvent cancel(true);
    probe.SetCancelEvent(&cancel);

    const auto start = Clock::now();
    probe.Exchange("AT\r");
    probe.stringReader.SetExpected(">");
    probe.ExchangeForPrompt("AT+CMGW\r");
    EXPECT_LT(Clock::now() - start, 5s) << "the 20 s reads ended on the cancel";
}

TEST(ControllerBase, ExchangeWritesTheCommandAndCollectsTheReply) {
    ProbeController probe(IController::stWORKER_STEP, CControllerBase::DefaultDescription::Empty,
                          80);
    auto source = MakeRef<ScriptedSource>();
    source->SetResponder([](const std::string& written) -> std::string {
        if (written == "ATI\r") {
            return "ATI\r\r\nSIEMENS\r\nMC35i\r\n\r\nOK\r\n";
        }
        if (written.starts_with("AT+CMGW")) {
            return "\r\n> ";
        }
        return "\r\nERROR\r\n";
    });
    probe.SetCommSource(source.get());
    CEvent cancel(false);
    probe.SetCancelEvent(&cancel);

    EXPECT_TRUE(probe.Exchange("ATI\r"));
    EXPECT_FALSE(probe.IsReplyTimedOut());
    EXPECT_TRUE(probe.ReplyContains("SIEMENS"));
    EXPECT_FALSE(probe.ReplyContains("siemens"));
    EXPECT_EQ(probe.command, "ATI\r");

    // An error reply is a time-out to the controller, with the text kept.
    EXPECT_FALSE(probe.Exchange("AT+CMGF=1\r"));
    EXPECT_TRUE(probe.IsReplyTimedOut());
    EXPECT_TRUE(probe.ReplyContains("ERROR"));

    probe.stringReader.SetExpected(">");
    EXPECT_TRUE(probe.ExchangeForPrompt("AT+CMGW=\"+4912\"\r"));
    EXPECT_TRUE(probe.ReplyContains(">"));

    // Message texts may hold zero bytes; the whole text goes out.
    const std::string text("A\0B\x1A", 4);
    probe.Exchange(text);
    const std::vector<std::string> writes = source->Writes();
    ASSERT_EQ(writes.size(), 4u);
    EXPECT_EQ(writes[0], "ATI\r");
    EXPECT_EQ(writes[3], text);
}

TEST(ControllerBase, ExchangeWithoutASourceThrowsInsteadOfCrashing) {
    ProbeController probe(IController::stWORKER_STEP);
    EXPECT_THROW(probe.Exchange("AT\r"), std::logic_error);
}

TEST(ControllerBase, SetFailureEndsTheControllerAndKeepsTheCause) {
    ProbeController probe(IController::stWORKER_STEP);
    probe.SetFailure("Port vanished");
    EXPECT_EQ(probe.GetState(), IController::stFINISHED);
    EXPECT_EQ(probe.GetResult(), IController::resultFailed);
    EXPECT_EQ(probe.GetFailureMessage(), "Port vanished");
    probe.SetFailure("");
    EXPECT_EQ(probe.GetFailureMessage(), "Unknown error") << "a failure is never silent";
}

// An identification check written the way the base is meant to be used: a handful of lines
// for "send ATI up to N times until the reply names the maker".
class IdentifyProbe : public CControllerBase {
public:
    explicit IdentifyProbe(int32_t attempts)
        : CControllerBase(stMAIN_STEP, "CIdentifyProbe", 60, "IDENTIFY_DESCRIPTION",
                          DefaultDescription::Named),
          attemptsLeft(attempts) {
        progressInfo.SetMaximum(attempts);
    }
    std::vector<std::thread::id> workThreads;

protected:
    void DoAction(uint8_t action) override {
        if (action != stFIRST_WORK) {
            return;
        }
        workThreads.push_back(std::this_thread::get_id());
        ReturnToProgressStep();
        if (attemptsLeft < 1) {
            Finish(resultFailed);
            return;
        }
        if (Exchange("ATI\r") && ReplyContains("SIEMENS")) {
            Finish(resultOk);
        }
        --attemptsLeft;
        progressInfo.SetPosition(progressInfo.GetMaximum() - attemptsLeft);
    }

private:
    int32_t attemptsLeft;
};

TEST(ControllerBase, RunsThroughTheHandlerOnBothThreads) {
    auto source = MakeRef<ScriptedSource>();
    int asked = 0;
    source->SetResponder([&](const std::string&) -> std::string {
        return ++asked < 3 ? "\r\nERROR\r\n" : "ATI\r\r\nSIEMENS\r\n\r\nOK\r\n";
    });
    MainLoop loop;
    CProcessorHandler handler(loop.Poster());
    auto probe = MakeRef<IdentifyProbe>(5);
    std::vector<std::string> shown;
    std::vector<std::thread::id> guiThreads;
    probe->OnProgress = [&](const std::string& id, const CProgressInfo& info) {
        shown.push_back(id + " " + info.GetDescription() + " " +
                        std::to_string(info.GetPosition()) + "/" +
                        std::to_string(info.GetMaximum()));
        guiThreads.push_back(std::this_thread::get_id());
    };
    probe->SetCommSource(source.get());
    bool done = false;
    handler.AfterCompleted = [&](const std::string&) { done = true; };
    handler.Add(CRefPtr<IdentifyProbe>::Share(probe.get()));
    ASSERT_TRUE(handler.Run());
    ASSERT_TRUE(loop.PumpUntil([&] { return done; }));

    EXPECT_EQ(probe->GetResult(), IController::resultOk);
    EXPECT_EQ(source->Writes(), (std::vector<std::string>{"ATI\r", "ATI\r", "ATI\r"}));
    const std::string text = "CIdentifyProbe CIdentifyProbe::actionGetDescriptionString ";
    EXPECT_EQ(shown, (std::vector<std::string>{text + "0/5", text + "1/5", text + "2/5"}));
    for (const std::thread::id& id : guiThreads) {
        EXPECT_EQ(id, std::this_thread::get_id());
    }
    ASSERT_EQ(probe->workThreads.size(), 3u);
    for (const std::thread::id& id : probe->workThreads) {
        EXPECT_NE(id, std::this_thread::get_id());
    }
}

}  // namespace
