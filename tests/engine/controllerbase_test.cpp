#include "engine/controllerbase.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "support/scriptedsource.h"

namespace {

using namespace std::chrono_literals;

class ProbeController : public CControllerBase {
public:
    explicit ProbeController(uint8_t initial,
                             DefaultDescription description = DefaultDescription::Named,
                             uint32_t timeoutMs = 100)
        : CControllerBase(initial, "CControllerProbe", timeoutMs, "CONTROLLER_PROBE_DESCRIPTION",
                          description) {}

    using CControllerBase::Exchange;
    using CControllerBase::ExchangeForPrompt;
    using CControllerBase::reader;
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

// Description, progress, then work that hands back a progress step each time: the opening
// steps run once, later rounds only show progress again. Without a description callback the
// default description stays; a controller that starts on the worker has no opening steps.
TEST(ControllerBase, OpeningStepsThenWorkWithProgressInBetween) {
    constexpr uint8_t M = IController::stMAIN_STEP;
    constexpr uint8_t W = IController::stWORKER_STEP;
    ProbeController probe(M, CControllerBase::DefaultDescription::Empty);
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
    const std::pair<uint8_t, uint8_t> after[] = {{M, 1}, {W, 2}, {M, 1}, {W, 2}, {M, 1}};
    for (const auto& [state, action] : after) {
        probe.Step();
        EXPECT_EQ(probe.GetState(), state);
        EXPECT_EQ(probe.GetCurrentAction(), action);
    }
    EXPECT_EQ(probe.actions, (std::vector<uint8_t>{2, 2}));
    const std::string shown = "CControllerProbe|Checking the connection|3/7";
    EXPECT_EQ(calls, (std::vector<std::string>{"CONTROLLER_PROBE_DESCRIPTION|", shown, shown}));

    ProbeController named(M);
    named.Step();
    EXPECT_EQ(named.GetProgressInfo().GetDescription(),
              "CControllerProbe::actionGetDescriptionString");

    ProbeController worker(W);
    worker.OnProgress = [](const std::string&, const CProgressInfo&) { ADD_FAILURE(); };
    worker.Step();
    worker.Step();
    EXPECT_EQ(worker.actions, (std::vector<uint8_t>{0, 0}));
}

TEST(ControllerBase, ExchangeWritesTheCommandAndCollectsTheReply) {
    EXPECT_THROW(ProbeController(IController::stWORKER_STEP).Exchange("AT\r"), std::logic_error)
        << "a controller without a source fails instead of crashing";

    ProbeController probe(IController::stWORKER_STEP, CControllerBase::DefaultDescription::Empty,
                          80);
    auto source = MakeRef<ScriptedSource>();
    source->SetResponder([](const std::string& written) -> std::string {
        if (written == "ATI\r") {
            return "ATI\r\r\nSIEMENS\r\nMC35i\r\n\r\nOK\r\n";
        }
        return written.starts_with("AT+CMGW") ? "\r\n> " : "\r\nERROR\r\n";
    });
    probe.SetCommSource(source.get());

    EXPECT_TRUE(probe.Exchange("ATI\r"));
    EXPECT_TRUE(probe.ReplyContains("SIEMENS"));

    // An error reply is a time-out to the controller, with the text kept.
    EXPECT_FALSE(probe.Exchange("AT+CMGF=1\r"));
    EXPECT_TRUE(probe.ReplyContains("ERROR"));

    probe.stringReader.SetExpected(">");
    EXPECT_TRUE(probe.ExchangeForPrompt("AT+CMGW=\"+4912\"\r"));
    EXPECT_TRUE(probe.ReplyContains(">"));

    // Message texts may hold zero bytes; the whole text goes out.
    const std::string text("A\0B\x1A", 4);
    probe.Exchange(text);
    EXPECT_EQ(source->Writes(),
              (std::vector<std::string>{"ATI\r", "AT+CMGF=1\r", "AT+CMGW=\"+4912\"\r", text}));

    // The processor's cancel event reaches both readers: neither waits out its time-out, and
    // what a cancelled read collected is no reply, even where the unit's whole answer was
    // already there.
    CEvent cancel(true);
    probe.SetCancelEvent(&cancel);
    EXPECT_TRUE(probe.IsCancelRequested());
    probe.reader.SetTimeout(20000);
    probe.stringReader.SetTimeout(20000);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(probe.Exchange("AT\r"));
    EXPECT_FALSE(probe.ExchangeForPrompt("AT+CMGW=\"+4912\"\r"));
    EXPECT_FALSE(probe.Exchange("ATI\r"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

}  // namespace
