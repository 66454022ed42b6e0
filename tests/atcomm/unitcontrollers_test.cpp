#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "atcomm/controllerchangemode.h"
#include "atcomm/controllercheckmode.h"
#include "atcomm/controllerconfigure.h"
#include "atcomm/controllerconnectioncheck.h"
#include "atcomm/controllerreadsetting.h"
#include "atcomm/controllersignalcheck.h"
#include "atcomm/controllerwaitforsim.h"
#include "atcommtest.h"
#include "core/event.h"
#include "support/waituntil.h"

// The controllers of the connect sequence that talk to the module and the SIM's stores. Whole
// connects against the simulated unit are the operation tests' job; these cover the paths a
// healthy unit never takes.

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Silence or an error reply costs one attempt, a maker that is not ours two per answer (case
// matters); each attempt moves the progress on.
TEST(ConnectionCheckTest, AcceptsOnlyTheSupportedMakersAsTheyWriteThemselves) {
    struct Case {
        std::string maker;
        int32_t attempts;
        std::vector<CCommandFault> faults;
        std::size_t identifications;
        std::vector<int32_t> positions;
    };
    const std::vector<Case> cases = {
        {"SIEMENS", 4, {}, 1, {0}},
        {"TRIORAIL", 4, {}, 1, {0}},
        {"Cinterion", 4, {}, 1, {0}},
        {"siemens", 4, {}, 2, {0, 2, 4}},
        {"SIEMENS", 3, {Fault("ATI", Action::Error, true)}, 3, {0, 1, 2, 3}},
        {"SIEMENS", 0, {}, 0, {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.maker << ", " << c.attempts << " attempts");
        CUnitSimulatorOptions options = WithFaults(c.faults);
        options.maker = c.maker;
        UnitFixture unit(options);
        auto check = MakeRef<CControllerConnectionCheck>(c.attempts);
        std::vector<int32_t> positions;
        check->OnProgress = [&](const std::string&, const CProgressInfo& info) {
            positions.push_back(info.GetPosition());
        };
        EXPECT_EQ(RunShort(unit, check), Outcome(c.identifications == 1));
        EXPECT_EQ(unit.Commands(), Strings(c.identifications, "ATI"));
        EXPECT_EQ(positions, c.positions);
    }
}

// From power-on (echo on, PDU mode) the first bad reply ends it before anything is stored.
// A bad reply is known only by the reply time-out, which is kept short; on a loaded machine a
// good reply can come later than that and end the run a command early. The unit's own log
// tells the two apart: it then never receives the faulty command. Such a run is repeated with
// four times the time-out, so only the fault, not the machine's load, decides the outcome.
TEST(ConfigureTest, EndsAtTheFirstBadReplyBeforeStoringTheProfile) {
    const std::vector<std::pair<CCommandFault, Strings>> cases = {
        {Fault("ATE0", Action::Ignore), {"ATE0"}},
        {Fault("AT+CMGF=1", Action::Error), {"ATE0", "AT+CMGF=1"}},
        {Fault("AT&W", Action::Ignore), {"ATE0", "AT+CMGF=1", "AT&W"}},
    };
    for (const auto& [fault, sent] : cases) {
        SCOPED_TRACE(fault.pattern);
        for (uint32_t timeoutMs = 200;; timeoutMs *= 4) {
            UnitFixture unit(WithFaults({fault}, CUnitState{}));
            auto configure = MakeRef<CControllerConfigure>();
            configure->SetReplyTimeout(timeoutMs);
            ASSERT_TRUE(unit.RunToFinish(configure));
            EXPECT_EQ(configure->GetResult(), IController::resultFailed);
            const bool reachedTheFault = WaitUntil(
                [&] { return unit.Commands().size() >= sent.size(); }, milliseconds(2000));
            if (!reachedTheFault && timeoutMs < 3200) {
                continue;
            }
            EXPECT_EQ(unit.Commands(), sent);
            EXPECT_FALSE(unit.Unit().State().profile.textMode);
            break;
        }
    }
}

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
        wait->SetPinPauses(300, 200);
        const auto start = Clock::now();
        const bool ok = !c.locked || c.busyMs > 0;
        EXPECT_EQ(RunShort(unit, wait), Outcome(ok));
        const auto polls = static_cast<int32_t>(unit.Commands().size());
        EXPECT_EQ(unit.Commands(), Strings(polls, "AT+CPBR=45"));  // always the same position
        if (ok) {
            EXPECT_EQ(polls > 1, c.busyMs > 0);
            EXPECT_EQ(wait->GetAttemptsLeft(), c.attempts + 1 - polls);
        } else {
            EXPECT_EQ(polls, c.attempts);
        }
        if (c.pinAsked) {
            EXPECT_GE(Clock::now() - start, milliseconds(500));
        }
    }
}

// A cancel ends the wait at once, failed: during the pause after the dialog before any poll,
// and during a poll, whose cut-short read is no answer and costs no attempt.
TEST(WaitForSimTest, ACancelEndsItFailedDuringThePauseOrAPoll) {
    for (const bool pinAsked : {true, false}) {
        SCOPED_TRACE(pinAsked ? "pause after the dialog" : "poll");
        UnitFixture unit;
        auto wait = MakeRef<CControllerWaitForSim>(10, pinAsked);
        // Pauses and a time-out far beyond the bound below: only the cancel ends the step.
        wait->SetPinPauses(60000, 60000);
        wait->SetReplyTimeout(60000);
        CEvent cancel(true);
        wait->SetCommSource(unit.Source());
        wait->SetCancelEvent(&cancel);
        wait->Step();  // description
        wait->Step();  // progress
        ASSERT_EQ(wait->GetState(), IController::stWORKER_STEP);
        const auto start = Clock::now();
        wait->Step();
        EXPECT_LT(Clock::now() - start, milliseconds(20000));
        EXPECT_EQ(wait->GetState(), IController::stFINISHED);
        EXPECT_EQ(wait->GetResult(), IController::resultFailed);
        EXPECT_EQ(wait->GetAttemptsLeft(), 10);
        EXPECT_TRUE(WaitUntil([&] { return unit.Commands().size() == (pinAsked ? 0u : 1u); }));
    }
}

// The store is named without quotes; one refusal is retried once, a second one fails. The
// capacity then comes from the store selected ("SM" 250, "ME" 100); a total that is not a
// number, below 1 or above 1000 is asked for once more, then fails.
TEST(StoreModeTest, SelectsTheStoreAndReadsABelievableCapacity) {
    struct Case {
        bool simStore;
        std::vector<CCommandFault> faults;
        bool changed;
        int32_t capacity;  // 0: the check fails
    };
    const auto total = [](const std::string& total) {
        return Fault("AT+CPBS?", Action::Reply, true,
                     "\r\n+CPBS: \"SM\",0," + total + "\r\n\r\nOK\r\n");
    };
    const std::vector<Case> cases = {
        {false, {}, true, 100},
        {true, {Fault("AT+CPBS=", Action::Error)}, true, 250},
        {true, {Fault("AT+CPBS=", Action::Error, true)}, false, 250},
        {true, {total("1000")}, true, 1000},
        {true, {total("1001")}, true, 0},  // the parser's table has the other unbelievable totals
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.simStore << " " << c.changed << " " << c.capacity);
        UnitFixture unit(WithFaults(c.faults));
        auto change = MakeRef<CControllerChangeMode>();
        change->SetSimStore(c.simStore);
        change->SetReplyTimeout(kShortReplyMs);
        auto check = MakeRef<CControllerCheckMode>();
        unit.Queue(change);
        unit.Queue(check);
        ASSERT_TRUE(unit.RunQueued());
        EXPECT_EQ(change->GetResult(), Outcome(c.changed));
        EXPECT_EQ(check->GetResult(), Outcome(c.capacity > 0));
        const bool retried = c.faults.size() == 1 && c.faults[0].pattern == "AT+CPBS=";
        Strings sent(retried ? 2 : 1, c.simStore ? "AT+CPBS=SM" : "AT+CPBS=ME");
        sent.insert(sent.end(), c.capacity > 0 ? 1 : 2, "AT+CPBS?");
        EXPECT_EQ(unit.Commands(), sent);
        if (c.capacity > 0) {
            EXPECT_EQ(check->GetCapacity(), c.capacity);
        }
    }
}

}  // namespace
