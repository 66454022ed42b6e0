#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "atcomm/controllerchangemode.h"
#include "atcomm/controllercheckmode.h"
#include "atcomm/controllerreadsetting.h"
#include "atcomm/controllerwaitforsim.h"
#include "core/event.h"
#include "support/unitfixture.h"

namespace {

using Action = CCommandFault::Action;
using Strings = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

constexpr uint32_t kShortTimeoutMs = 150;

CCommandFault FaultOn(const std::string& pattern, Action action, bool andFollowing = false,
                      const std::string& text = {}) {
    CCommandFault fault;
    fault.pattern = pattern;
    fault.action = action;
    fault.andFollowing = andFollowing;
    fault.text = text;
    return fault;
}

CUnitSimulatorOptions WithFaults(std::vector<CCommandFault> faults,
                                 CUnitState state = UnitFixture::ConfiguredState()) {
    CUnitSimulatorOptions options;
    options.initialState = std::move(state);
    options.faults = std::move(faults);
    return options;
}

TEST(WaitForSimTest, AReadySimIsPolledOnceWithoutPauses) {
    UnitFixture unit;
    const bool pinAsked = false;
    auto wait = MakeRef<CControllerWaitForSim>(10, pinAsked);
    ASSERT_TRUE(unit.RunToFinish(wait));
    EXPECT_EQ(wait->GetResult(), IController::resultOk);
    EXPECT_EQ(unit.Commands(), Strings{"AT+CPBR=45"});
    EXPECT_EQ(wait->GetProgressInfo().GetDescription(),
              "CControllerWaitForSim::actionGetDescriptionString");
    EXPECT_EQ(wait->GetDescriptionKey(), "CONTROLLER_WAIT_FOR_SIM_DESCRIPTION");
}

TEST(WaitForSimTest, AfterThePinDialogItPausesBeforeThePollAndAfterTheSimIsReady) {
    UnitFixture unit;
    const bool pinAsked = true;
    auto wait = MakeRef<CControllerWaitForSim>(10, pinAsked);
    wait->SetPinPauses(300, 200);
    const auto start = Clock::now();
    ASSERT_TRUE(unit.RunToFinish(wait));
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_EQ(wait->GetResult(), IController::resultOk);
    EXPECT_EQ(unit.Commands(), Strings{"AT+CPBR=45"});
}

TEST(WaitForSimTest, EndsAsFailedOnceItsAttemptsAreUsedUp) {
    struct Case {
        int32_t attempts;
        std::size_t polls;
    };
    for (const Case c : {Case{3, 3}, Case{1, 1}, Case{0, 0}}) {
        SCOPED_TRACE(c.attempts);
        // A SIM still waiting for its PIN refuses its stores for ever.
        CUnitState state = UnitFixture::ConfiguredState();
        state.sim.lock = true;
        UnitFixture unit(state);
        const bool pinAsked = false;
        auto wait = MakeRef<CControllerWaitForSim>(c.attempts, pinAsked);
        wait->SetReplyTimeout(kShortTimeoutMs);
        ASSERT_TRUE(unit.RunToFinish(wait, std::chrono::seconds(5)));
        EXPECT_EQ(wait->GetResult(), IController::resultFailed);
        EXPECT_EQ(unit.Commands(), Strings(c.polls, "AT+CPBR=45"));
    }
}

TEST(WaitForSimTest, ACancelDuringThePauseAfterTheDialogEndsItWithoutAPoll) {
    UnitFixture unit;
    const bool pinAsked = true;
    auto wait = MakeRef<CControllerWaitForSim>(10, pinAsked);  // the production pauses
    CEvent cancel(true);
    wait->SetCommSource(unit.Source());
    wait->SetCancelEvent(&cancel);
    wait->Step();  // description
    wait->Step();  // progress
    ASSERT_EQ(wait->GetState(), IController::stWORKER_STEP);
    const auto start = Clock::now();
    wait->Step();
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1000));
    EXPECT_EQ(wait->GetState(), IController::stFINISHED);
    EXPECT_EQ(wait->GetResult(), IController::resultFailed);
    EXPECT_TRUE(unit.Commands().empty());
}

TEST(ChangeModeTest, SelectsTheStoreByItsUnquotedName) {
    for (const bool simStore : {false, true}) {
        SCOPED_TRACE(simStore);
        UnitFixture unit;
        // Start from the other store, so the switch shows.
        const std::string other = simStore ? "ME" : "SM";
        ASSERT_EQ(unit.Exchange("AT+CPBS=\"" + other + "\"\r"), "\r\nOK\r\n");
        unit.ClearCommands();

        auto change = MakeRef<CControllerChangeMode>();
        change->SetSimStore(simStore);
        ASSERT_TRUE(unit.RunToFinish(change));
        EXPECT_EQ(change->GetResult(), IController::resultOk);
        EXPECT_EQ(change->IsSimStore(), simStore);
        const std::string name = simStore ? "SM" : "ME";
        EXPECT_EQ(unit.Commands(), Strings{"AT+CPBS=" + name});

        // The capacity now comes from the store selected.
        auto check = MakeRef<CControllerCheckMode>();
        ASSERT_TRUE(unit.RunToFinish(check));
        EXPECT_EQ(check->GetResult(), IController::resultOk);
        EXPECT_EQ(check->GetCapacity(), simStore ? 250 : 100);
    }
}

TEST(ChangeModeTest, OneRefusalIsRetriedOnceAndTwoFail) {
    struct Case {
        bool andFollowing;
        uint8_t result;
    };
    for (const Case c :
         {Case{false, IController::resultOk}, Case{true, IController::resultFailed}}) {
        SCOPED_TRACE(c.andFollowing);
        UnitFixture unit(WithFaults({FaultOn("AT+CPBS=", Action::Error, c.andFollowing)}));
        auto change = MakeRef<CControllerChangeMode>();
        change->SetSimStore(true);
        change->SetReplyTimeout(kShortTimeoutMs);
        ASSERT_TRUE(unit.RunToFinish(change));
        EXPECT_EQ(change->GetResult(), c.result);
        EXPECT_EQ(unit.Commands(), Strings(2, "AT+CPBS=SM"));
    }
}

TEST(CheckModeTest, TheStoresTotalBecomesTheCapacity) {
    CUnitState state = UnitFixture::ConfiguredState();
    for (int position = 1; position <= 12; ++position) {
        state.phonebooks["SM"].entries[position] = {"+4670" + std::to_string(position), 145, "A"};
    }
    UnitFixture unit(state);
    auto check = MakeRef<CControllerCheckMode>();
    EXPECT_EQ(check->GetCapacity(), 90);  // before any reply
    ASSERT_TRUE(unit.RunToFinish(check));
    EXPECT_EQ(check->GetResult(), IController::resultOk);
    EXPECT_EQ(check->GetCapacity(), 250);
    EXPECT_EQ(unit.Commands(), Strings{"AT+CPBS?"});
}

TEST(CheckModeTest, FailsOnATotalThatIsNoBelievableStoreSize) {
    struct Case {
        std::string total;
        uint8_t result;
        std::size_t queries;
    };
    const std::vector<Case> cases = {
        {"1", IController::resultOk, 1},      {"1000", IController::resultOk, 1},
        {"0", IController::resultFailed, 2},  {"1001", IController::resultFailed, 2},
        {"-3", IController::resultFailed, 2}, {"abc", IController::resultFailed, 2},
        {"", IController::resultFailed, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("total '" + c.total + "'");
        const std::string reply = "\r\n+CPBS: \"SM\",0," + c.total + "\r\n\r\nOK\r\n";
        UnitFixture unit(WithFaults({FaultOn("AT+CPBS?", Action::Reply, true, reply)}));
        auto check = MakeRef<CControllerCheckMode>();
        ASSERT_TRUE(unit.RunToFinish(check));
        EXPECT_EQ(check->GetResult(), c.result);
        EXPECT_EQ(unit.Commands(), Strings(c.queries, "AT+CPBS?"));
        if (c.result == IController::resultOk) {
            EXPECT_EQ(check->GetCapacity(), std::stoi(c.total));
        }
    }
}

TEST(CheckModeTest, AnEchoedReplyIsNotReadAsAStoreSize) {
    // A unit whose echo is still on puts the command before the reply's own line end.
    UnitFixture unit(CUnitState{});
    auto check = MakeRef<CControllerCheckMode>();
    ASSERT_TRUE(unit.RunToFinish(check));
    EXPECT_EQ(check->GetResult(), IController::resultFailed);
    EXPECT_EQ(check->GetCapacity(), 0);
}

TEST(ReadSettingTest, ReadsTheNumberFieldOfOnePosition) {
    struct Case {
        int32_t position;
        std::string value;
    };
    CUnitState state = UnitFixture::ConfiguredState();
    state.phonebooks["SM"].entries[64] = {"1", 129, ""};
    state.phonebooks["SM"].entries[63] = {"+46701234567", 145, "NAME,\"X\""};
    for (const Case& c : {Case{64, "1"}, Case{63, "+46701234567"}, Case{65, ""}}) {
        SCOPED_TRACE(c.position);
        UnitFixture unit(state);
        auto read = MakeRef<CControllerReadSetting>();
        read->SetPosition(c.position);
        ASSERT_TRUE(unit.RunToFinish(read));
        EXPECT_EQ(read->GetResult(), IController::resultOk);
        EXPECT_EQ(read->GetValue(), c.value);
        EXPECT_EQ(unit.Commands(), Strings{"AT+CPBR=" + std::to_string(c.position)});
    }
}

TEST(ReadSettingTest, APositionTheStoreRefusesFailsAfterOneRetry) {
    UnitFixture unit;
    auto read = MakeRef<CControllerReadSetting>();
    read->SetPosition(251);  // beyond the 250 positions of "SM"
    read->SetReplyTimeout(kShortTimeoutMs);
    ASSERT_TRUE(unit.RunToFinish(read));
    EXPECT_EQ(read->GetResult(), IController::resultFailed);
    EXPECT_EQ(unit.Commands(), Strings(2, "AT+CPBR=251"));
    EXPECT_EQ(read->GetValue(), "");
}

}  // namespace
