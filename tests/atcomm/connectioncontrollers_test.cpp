#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "atcomm/controllerconfigure.h"
#include "atcomm/controllerconnectioncheck.h"
#include "atcommtest.h"

namespace {

// Silence or an error reply costs one attempt, a maker that is not ours two per answer (case
// matters); each attempt moves the progress on.
TEST(ConnectionCheckTest, AcceptsOnlyTheSupportedMakersAsTheyWriteThemselves) {
    struct Case {
        std::string maker;
        int32_t attempts;
        std::vector<CCommandFault> faults;
        bool ok;
        std::size_t identifications;
        std::vector<int32_t> positions;
    };
    const std::vector<Case> cases = {
        {"SIEMENS", 4, {}, true, 1, {0}},
        {"TRIORAIL", 4, {}, true, 1, {0}},
        {"Cinterion", 4, {}, true, 1, {0}},
        {"siemens", 4, {}, false, 2, {0, 2, 4}},
        {"Quectel", 4, {}, false, 2, {0, 2, 4}},
        {"SIEMENS", 3, {Fault("ATI", Action::Ignore, true)}, false, 3, {0, 1, 2, 3}},
        {"SIEMENS", 3, {Fault("ATI", Action::Error, true)}, false, 3, {0, 1, 2, 3}},
        {"SIEMENS", 0, {}, false, 0, {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.maker << ", " << c.attempts << " attempts");
        CUnitSimulatorOptions options = WithFaults(c.faults);
        options.maker = c.maker;
        UnitFixture unit(options);
        auto check = MakeRef<CControllerConnectionCheck>(c.attempts);
        check->SetReplyTimeout(kShortTimeoutMs);
        ProgressProbe probe;
        probe.Watch(*check);
        ASSERT_TRUE(unit.RunToFinish(check));
        EXPECT_EQ(check->GetResult(), c.ok ? IController::resultOk : IController::resultFailed);
        EXPECT_EQ(unit.Commands(), Strings(c.identifications, "ATI"));
        EXPECT_EQ(probe.positions, c.positions);
    }
}

// From power-on (echo on, PDU mode): echo off, text mode, both stored; the first bad reply
// ends it before anything is stored.
TEST(ConfigureTest, SwitchesEchoOffSelectsTextModeAndStoresBoth) {
    struct Case {
        std::vector<CCommandFault> faults;
        Strings sent;
    };
    const std::vector<Case> cases = {
        {{}, {"ATE0", "AT+CMGF=1", "AT&W"}},
        {{Fault("ATE0", Action::Ignore)}, {"ATE0"}},
        {{Fault("AT+CMGF=1", Action::Error)}, {"ATE0", "AT+CMGF=1"}},
        {{Fault("AT&W", Action::Ignore)}, {"ATE0", "AT+CMGF=1", "AT&W"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.faults.empty() ? "no fault" : c.faults[0].pattern);
        UnitFixture unit(WithFaults(c.faults, CUnitState{}));
        auto configure = MakeRef<CControllerConfigure>();
        configure->SetReplyTimeout(kShortTimeoutMs);
        ASSERT_TRUE(unit.RunToFinish(configure));
        const bool ok = c.faults.empty();
        EXPECT_EQ(configure->GetResult(), ok ? IController::resultOk : IController::resultFailed);
        EXPECT_EQ(unit.Commands(), c.sent);
        EXPECT_EQ(unit.Unit().State().profile.echo, !ok);
        EXPECT_EQ(unit.Unit().State().profile.textMode, ok);
    }
}

}  // namespace
