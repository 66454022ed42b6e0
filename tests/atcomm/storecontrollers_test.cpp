#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "atcomm/controllerchangemode.h"
#include "atcomm/controllercheckmode.h"
#include "atcomm/controllerreadsetting.h"
#include "atcomm/controllerwaitforsim.h"
#include "atcommtest.h"
#include "core/event.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A busy SIM (after a code) or one still locked refuses its stores; its error reply arrives as
// a time-out. After the PIN dialog the wait pauses before each poll and once the SIM is ready.
TEST(WaitForSimTest, PollsUntilTheStoresAnswerOrItsAttemptsAreUsedUp) {
    struct Case {
        const char* name;
        bool pinAsked;
        int32_t attempts;
        bool locked;
        int busyMs;
    };
    const std::vector<Case> cases = {
        {"ready", false, 10, false, 0},
        {"ready, after the dialog", true, 10, false, 0},
        {"busy after the code", true, 10, true, 1000},
        {"locked", false, 3, true, 0},
        {"no attempts", false, 0, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CUnitState state = UnitFixture::ConfiguredState();
        state.sim.lock = c.locked;
        state.sim.busyMs = c.busyMs;
        UnitFixture unit(state);
        if (c.busyMs > 0) {
            ASSERT_EQ(unit.Exchange("AT+CPIN=1234\r"), "\r\nOK\r\n");
            unit.ClearCommands();
        }
        // The wait keeps a reference to the main window's "PIN dialog was shown" flag.
        auto wait = MakeRef<CControllerWaitForSim>(c.attempts, c.pinAsked);
        wait->SetReplyTimeout(kShortTimeoutMs);
        wait->SetPinPauses(300, 200);
        const auto start = Clock::now();
        ASSERT_TRUE(unit.RunToFinish(wait));
        const auto elapsed = Clock::now() - start;
        const bool ok = !c.locked || c.busyMs > 0;
        EXPECT_EQ(wait->GetResult(), ok ? IController::resultOk : IController::resultFailed);
        const Strings sent = unit.Commands();
        const auto polls = static_cast<int32_t>(sent.size());
        EXPECT_EQ(sent, Strings(polls, "AT+CPBR=45"));  // every poll reads the same position
        if (ok) {
            EXPECT_EQ(polls > 1, c.busyMs > 0);
            EXPECT_EQ(wait->GetAttemptsLeft(), c.attempts + 1 - polls);
        } else {
            EXPECT_EQ(polls, c.attempts);
        }
        if (c.pinAsked) {
            EXPECT_GE(elapsed, milliseconds(500));
        }
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
    EXPECT_LT(Clock::now() - start, milliseconds(1000));
    EXPECT_EQ(wait->GetState(), IController::stFINISHED);
    EXPECT_EQ(wait->GetResult(), IController::resultFailed);
    EXPECT_TRUE(unit.Commands().empty());
}

// The store is named without quotes; one refusal is retried once, a second one fails. The
// capacity then comes from the store selected ("SM" 250, "ME" 100).
TEST(ChangeModeTest, SelectsTheStoreAndTheCapacityFollows) {
    struct Case {
        bool simStore;
        std::vector<CCommandFault> faults;
        bool ok;
    };
    const std::vector<Case> cases = {
        {false, {}, true},
        {true, {Fault("AT+CPBS=", Action::Error)}, true},
        {true, {Fault("AT+CPBS=", Action::Error, true)}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.simStore << " " << c.ok);
        UnitFixture unit(WithFaults(c.faults));
        auto change = MakeRef<CControllerChangeMode>();
        change->SetSimStore(c.simStore);
        change->SetReplyTimeout(kShortTimeoutMs);
        auto check = MakeRef<CControllerCheckMode>();
        unit.Queue(change);
        unit.Queue(check);
        ASSERT_TRUE(unit.RunQueued());
        EXPECT_EQ(change->GetResult(), c.ok ? IController::resultOk : IController::resultFailed);
        Strings sent(c.faults.empty() ? 1 : 2, c.simStore ? "AT+CPBS=SM" : "AT+CPBS=ME");
        sent.push_back("AT+CPBS?");
        EXPECT_EQ(unit.Commands(), sent);
        EXPECT_EQ(check->GetCapacity(), c.simStore ? 250 : 100);
    }
}

// A store total that is not a number, below 1 or above 1000 is asked for once more, then fails.
TEST(CheckModeTest, FailsOnATotalThatIsNoBelievableStoreSize) {
    for (const std::string total : {"1000", "1001", "0", "abc"}) {
        SCOPED_TRACE(total);
        UnitFixture unit(WithFaults({Fault("AT+CPBS?", Action::Reply, true,
                                           "\r\n+CPBS: \"SM\",0," + total + "\r\n\r\nOK\r\n")}));
        auto check = MakeRef<CControllerCheckMode>();
        ASSERT_TRUE(unit.RunToFinish(check));
        const bool ok = total == "1000";
        EXPECT_EQ(check->GetResult(), ok ? IController::resultOk : IController::resultFailed);
        EXPECT_EQ(unit.Commands(), Strings(ok ? 1 : 2, "AT+CPBS?"));
        if (ok) {
            EXPECT_EQ(check->GetCapacity(), 1000);
        }
    }
}

TEST(ReadSettingTest, ReadsTheNumberFieldOfOnePosition) {
    struct Case {
        int32_t position;
        std::string value;
        bool ok;
    };
    CUnitState state = UnitFixture::ConfiguredState();
    state.phonebooks["SM"].entries[64] = {"1", 129, ""};
    state.phonebooks["SM"].entries[63] = {"+46701234567", 145, "NAME,\"X\""};
    // 251 lies beyond the 250 positions of "SM": refused, and retried once.
    for (const Case& c : {Case{64, "1", true}, Case{63, "+46701234567", true}, Case{65, "", true},
                          Case{251, "", false}}) {
        SCOPED_TRACE(c.position);
        UnitFixture unit(state);
        auto read = MakeRef<CControllerReadSetting>();
        read->SetPosition(c.position);
        read->SetReplyTimeout(kShortTimeoutMs);
        ASSERT_TRUE(unit.RunToFinish(read));
        EXPECT_EQ(read->GetResult(), c.ok ? IController::resultOk : IController::resultFailed);
        EXPECT_EQ(read->GetValue(), c.value);
        EXPECT_EQ(unit.Commands(), Strings(c.ok ? 1 : 2, "AT+CPBR=" + std::to_string(c.position)));
    }
}

}  // namespace
