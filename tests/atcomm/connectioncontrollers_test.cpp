#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "atcomm/controllerconfigure.h"
#include "atcomm/controllerconnectioncheck.h"
#include "support/unitfixture.h"

namespace {

using Action = CCommandFault::Action;
using Strings = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

constexpr uint32_t kShortTimeoutMs = 150;

CCommandFault FaultOn(const std::string& pattern, Action action, bool andFollowing = false) {
    CCommandFault fault;
    fault.pattern = pattern;
    fault.action = action;
    fault.andFollowing = andFollowing;
    return fault;
}

// What a controller showed the GUI thread.
struct ShownProgress {
    void Watch(CControllerBase& controller) {
        controller.OnGetDescription = [this](const std::string& id, std::string& description) {
            keys.push_back(id);
            descriptions.push_back(description);
        };
        controller.OnProgress = [this](const std::string& id, const CProgressInfo& info) {
            names.push_back(id);
            positions.push_back(info.GetPosition());
            maximum = info.GetMaximum();
        };
    }
    Strings keys;
    Strings descriptions;
    Strings names;
    std::vector<int32_t> positions;
    int32_t maximum = -1;
};

TEST(ConnectionCheckTest, AcceptsOnlyTheSupportedMakersAsTheyWriteThemselves) {
    struct Case {
        std::string maker;
        uint8_t result;
        std::size_t identifications;
    };
    // Four attempts: a maker that is not ours costs two of them per answer.
    const std::vector<Case> cases = {
        {"SIEMENS", IController::resultOk, 1},     {"TRIORAIL", IController::resultOk, 1},
        {"Cinterion", IController::resultOk, 1},   {"siemens", IController::resultFailed, 2},
        {"Quectel", IController::resultFailed, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.maker);
        CUnitSimulatorOptions options;
        options.initialState = UnitFixture::ConfiguredState();
        options.maker = c.maker;
        UnitFixture unit(options);
        auto check = MakeRef<CControllerConnectionCheck>(4);
        ASSERT_TRUE(unit.RunToFinish(check));
        EXPECT_EQ(check->GetResult(), c.result);
        EXPECT_EQ(unit.Commands(), Strings(c.identifications, "ATI"));
    }
}

TEST(ConnectionCheckTest, ShowsEachAttemptAsProgress) {
    CUnitSimulatorOptions options;
    options.initialState = UnitFixture::ConfiguredState();
    options.maker = "OtherMaker";
    UnitFixture unit(options);
    auto check = MakeRef<CControllerConnectionCheck>(4);
    ShownProgress shown;
    shown.Watch(*check);
    ASSERT_TRUE(unit.RunToFinish(check));

    EXPECT_EQ(shown.keys, Strings{"CONTROLLER_CONNECTION_CHECK_DESCRIPTION"});
    EXPECT_EQ(shown.descriptions,
              Strings{"CControllerConnectionCheck::actionGetDescriptionString"});
    // The opening progress step, then one after each of the two answered attempts.
    EXPECT_EQ(shown.positions, (std::vector<int32_t>{0, 2, 4}));
    EXPECT_EQ(shown.names, Strings(3, "CControllerConnectionCheck"));
    EXPECT_EQ(shown.maximum, 4);
}

TEST(ConnectionCheckTest, SilenceAndErrorRepliesCostOneAttemptEach) {
    for (const Action action : {Action::Ignore, Action::Error}) {
        SCOPED_TRACE(static_cast<int>(action));
        CUnitSimulatorOptions options;
        options.initialState = UnitFixture::ConfiguredState();
        options.faults = {FaultOn("ATI", action, true)};
        UnitFixture unit(options);
        auto check = MakeRef<CControllerConnectionCheck>(3);
        check->SetReplyTimeout(kShortTimeoutMs);
        ASSERT_TRUE(unit.RunToFinish(check));
        EXPECT_EQ(check->GetResult(), IController::resultFailed);
        EXPECT_EQ(unit.Commands(), Strings(3, "ATI"));
    }
}

TEST(ConnectionCheckTest, NoAttemptsFailsWithoutSendingAnything) {
    UnitFixture unit;
    auto check = MakeRef<CControllerConnectionCheck>(0);
    ASSERT_TRUE(unit.RunToFinish(check));
    EXPECT_EQ(check->GetResult(), IController::resultFailed);
    EXPECT_TRUE(unit.Commands().empty());
    // Without callbacks the default description is what the progress window would show.
    EXPECT_EQ(check->GetProgressInfo().GetDescription(),
              "CControllerConnectionCheck::actionGetDescriptionString");
}

TEST(ConfigureTest, SwitchesEchoOffSelectsTextModeAndStoresBoth) {
    // A unit straight from power-on: echo on, PDU mode.
    UnitFixture unit(CUnitState{});
    auto configure = MakeRef<CControllerConfigure>();
    ShownProgress shown;
    shown.Watch(*configure);
    ASSERT_TRUE(unit.RunToFinish(configure));

    EXPECT_EQ(configure->GetResult(), IController::resultOk);
    EXPECT_EQ(unit.Commands(), (Strings{"ATE0", "AT+CMGF=1", "AT&W"}));
    const CModemProfile stored = unit.Unit().State().profile;
    EXPECT_FALSE(stored.echo);
    EXPECT_TRUE(stored.textMode);
    EXPECT_EQ(shown.keys, Strings{"CONTROLLER_CONFIGURE_DESCRIPTION"});
    EXPECT_EQ(shown.descriptions, Strings{"CControllerConfigure::actionGetDescriptionString"});
    EXPECT_EQ(shown.positions, std::vector<int32_t>{0});
    EXPECT_EQ(shown.maximum, 1);
}

TEST(ConfigureTest, AnErrorToTextModeEndsItAfterTheFullTimeoutBeforeStoring) {
    // The production time-out, waited out once: an error reply is only ever seen as one.
    CUnitSimulatorOptions options;
    options.faults = {FaultOn("AT+CMGF=1", Action::Error)};
    UnitFixture unit(options);
    auto configure = MakeRef<CControllerConfigure>();
    const auto start = Clock::now();
    ASSERT_TRUE(unit.RunToFinish(configure));
    const auto elapsed = Clock::now() - start;

    EXPECT_EQ(configure->GetResult(), IController::resultFailed);
    EXPECT_EQ(unit.Commands(), (Strings{"ATE0", "AT+CMGF=1"}));
    EXPECT_GE(elapsed, std::chrono::milliseconds(CControllerConfigure::kReplyTimeoutMs));
    EXPECT_TRUE(unit.Unit().State().profile.echo);  // nothing was stored
}

TEST(ConfigureTest, TheFirstBadReplyEndsIt) {
    struct Case {
        std::string failing;
        Strings sent;
    };
    const std::vector<Case> cases = {
        {"ATE0", {"ATE0"}},
        {"AT&W", {"ATE0", "AT+CMGF=1", "AT&W"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failing);
        CUnitSimulatorOptions options;
        options.faults = {FaultOn(c.failing, Action::Ignore)};
        UnitFixture unit(options);
        auto configure = MakeRef<CControllerConfigure>();
        configure->SetReplyTimeout(kShortTimeoutMs);
        ASSERT_TRUE(unit.RunToFinish(configure));
        EXPECT_EQ(configure->GetResult(), IController::resultFailed);
        EXPECT_EQ(unit.Commands(), c.sent);
    }
}

}  // namespace
