#include "engine/controllerbase.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/scriptedsource.h"

namespace {

using namespace std::chrono_literals;

// Exposes the exchange helpers every command controller is built on.
class ProbeController : public CControllerBase {
public:
    explicit ProbeController(uint32_t timeoutMs = 100)
        : CControllerBase(stWORKER_STEP, "CControllerProbe", timeoutMs,
                          "CONTROLLER_PROBE_DESCRIPTION", DefaultDescription::Empty) {}

    using CControllerBase::Exchange;
    using CControllerBase::ExchangeForPrompt;
    using CControllerBase::reader;
    using CControllerBase::ReplyContains;
    using CControllerBase::stringReader;

protected:
    void DoAction(uint8_t) override {}
};

TEST(ControllerBase, ExchangeWritesTheCommandAndCollectsTheReply) {
    EXPECT_THROW(ProbeController().Exchange("AT\r"), std::logic_error)
        << "a controller without a source fails instead of crashing";

    // A good reply ends on its OK long before the time-out, however loaded the machine.
    ProbeController probe(1000);
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
