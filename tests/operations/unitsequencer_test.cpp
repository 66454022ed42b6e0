#include "operations/unitsequencer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "atcomm/controllerconnectioncheck.h"
#include "seriallink/comport.h"
#include "support/sequencerfixture.h"
#include "support/waituntil.h"

// The window's tests prove each operation through the window; here only what they do not
// reach: a step failing in the middle of the read, after the configuration store was found.
// The run ends on that step alone, its queued followers never run, and the next connect reads
// the whole unit again.
TEST(UnitSequencer, AStepFailingMidReadEndsTheRunAndTheNextConnectStartsClean) {
    SequencerFixture f(DataState("unit-me.json"));
    f.Unit().AddFault({"AT+CMGL", 1, true, CCommandFault::Action::Error, ""});
    ASSERT_TRUE(f.Connect(ERunOutcome::failed));
    EXPECT_EQ(f.View().errors,
              Strings{"The operation failed. Check the connection to the unit and try again.\n"
                      "Reading alarm messages..."});
    EXPECT_FALSE(f.Sequencer().IsOpen());
    EXPECT_EQ(CountPrefix(f.Commands(), "AT+CPBR=1,"), 0);
    EXPECT_EQ(CountPrefix(f.Unit().CommandLog(), "AT+CSQ"), 0);

    f.Unit().ClearFaults();
    f.Unit().ClearCommandLog();
    ASSERT_TRUE(f.Connect());
    EXPECT_EQ(CountPrefix(f.Commands(), "AT+CMGL"), 1);
    EXPECT_EQ(f.Model().SmsTable().getData(0, 1), "Input 1 high");
    EXPECT_EQ(f.Model().PhoneBookTable().getData(0, 1), "+46701234567");
}

// The module stores a changed message at an index beyond the unit's 28 (index 29 holds a
// received message, so the next free one is 30): the rewrite of all 28 also deletes index 30,
// and the received message stays.
TEST(UnitSequencer, TheRewriteAfterAMisplacedMessageDeletesItFromTheStore) {
    SequencerFixture f(DataState("unit-demo.json"));
    ASSERT_TRUE(f.Connect());
    f.Model().SmsTable().setData(4, 4, "Moved");
    f.Unit().SetStoreIndexFault(1);
    ASSERT_TRUE(f.Write());
    EXPECT_EQ(CountPrefix(f.Commands(), "AT+CMGD=30"), 1);
    const CUnitState state = f.Unit().State();
    EXPECT_EQ(state.messages.count(30), 0u);
    EXPECT_EQ(state.messages.count(29), 1u);
    for (int index = 1; index <= 28; ++index) {
        EXPECT_EQ(state.messages.count(index), 1u) << index;
    }
    EXPECT_EQ(state.messages.at(5).text, "Moved");
}

namespace {

const std::string kEsc = "\x1B";

// Leaves the unit waiting for message text, as a program that stopped after the prompt would:
// the unit takes each command after that for more text.
void LeaveAtTextPrompt(CUnitSimulator& unit) {
    CComPort other;
    other.SetPortName(unit.PortPath());
    other.SetSettings(CUnitSequencer::kPortSettings);
    other.SetWritePause(std::chrono::milliseconds(0));
    other.Open();
    const std::string header = "AT+CMGW\r";
    other.Write(header.data(), static_cast<uint32_t>(header.size()));
    ASSERT_TRUE(WaitUntil([&] { return unit.CommandCount() == 1; }));
}

}  // namespace

// Whoever left the unit at its text prompt, the connect releases it with ESC before its first
// "ATI", instead of spending every attempt on a unit that takes "ATI" for text.
TEST(UnitSequencer, AUnitLeftAtItsTextPromptIsReleasedByTheConnect) {
    CUnitState state = DataState("unit-me.json");
    state.profile.textMode = true;
    SequencerFixture f(state);
    // The check keeps its pause after the ESC: the purge before the next write discards what
    // has not left yet, and a pseudo-terminal also what the unit has not read yet.
    const auto quick = f.Sequencer().OnControllerQueued;
    f.Sequencer().OnControllerQueued = [quick](IController& controller) {
        quick(controller);
        if (auto* check = dynamic_cast<CControllerConnectionCheck*>(&controller)) {
            check->SetCommandPauseLimit(CControllerConnectionCheck::kReleasePauseMs);
        }
    };
    LeaveAtTextPrompt(f.Unit());
    ASSERT_TRUE(f.Connect());
    const Strings log = f.Unit().CommandLog();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(Strings(log.begin(), log.begin() + 3), (Strings{"AT+CMGW", kEsc, "ATI"}));
    EXPECT_EQ(f.Unit().State().messages, state.messages);
}

// A write that ends while the unit waits for message text (the prompt was lost, so the text
// never went), by Disconnect or by the time-out, sends ESC before the port closes: the unit is
// free at once, and the next connect reads it at its first "ATI".
TEST(UnitSequencer, AWriteEndingAtTheTextPromptReleasesTheUnitBeforeThePortCloses) {
    for (const bool cancelled : {true, false}) {
        SCOPED_TRACE(cancelled ? "disconnected" : "timed out");
        SequencerFixture f(DataState("unit-me.json"), cancelled ? 10000 : 1500);
        ASSERT_TRUE(f.Connect());
        f.Model().SmsTable().setData(0, CUnitSequencer::kNewTextColumn, "Changed");
        f.Unit().AddFault({"AT+CMGW", 1, false, CCommandFault::Action::LoseReply, ""});
        f.Unit().ClearCommandLog();
        if (cancelled) {
            ASSERT_TRUE(f.Sequencer().Write(true));
            ASSERT_TRUE(f.PumpUntil([&] { return CountPrefix(f.Commands(), "AT+CMGW") == 1; }));
            f.Sequencer().Disconnect();
            EXPECT_EQ(f.View().outcome, ERunOutcome::disconnected);
        } else {
            EXPECT_FALSE(f.Write());
            EXPECT_EQ(f.View().outcome, ERunOutcome::failed);
        }
        EXPECT_FALSE(f.Sequencer().IsOpen());
        ASSERT_TRUE(WaitUntil([&] { return f.Commands().size() == 3; }));
        EXPECT_EQ(f.Commands(), (Strings{"AT+CMGD=1", "AT+CMGW=\"+46701234567\"", kEsc}));

        f.Unit().ClearFaults();
        f.Unit().ClearCommandLog();
        ASSERT_TRUE(f.Connect());
        EXPECT_EQ(CountPrefix(f.Commands(), "ATI"), 1);
        EXPECT_EQ(f.Commands().front(), "ATI");
    }
}

// A connect to a unit whose module sends reports at every turn: before each store query,
// before each read of the setting that tells the stores apart, between the lines of the two
// listings and after their final OK. Each reply is read from its own lines and ends at its
// final OK, so the connect finds the configuration in "SM" as on a quiet unit, asks nothing
// twice, and never waits for a reply's time-out.
TEST(UnitSequencer, AConnectAmidUnsolicitedReportsReadsTheUnitWithoutWaitingOutTimeOuts) {
    constexpr uint32_t kReplyTimeoutMs = 10000;
    SequencerFixture f(DataState("unit-demo.json"), kReplyTimeoutMs);
    using enum CCommandFault::Action;
    const std::vector<CCommandFault> reports = {
        {"AT+CPBS?", 1, true, UnsolicitedBefore, "RING"},
        {"AT+CPBR=64", 1, true, UnsolicitedBefore, "+CREG: 1,\"5E25\",\"605F\""},
        {"AT+CPIN?", 1, true, UnsolicitedAfter, "^SYSSTART"},
        {"AT+CMGL", 1, true, UnsolicitedInside, "+CMTI: \"SM\",30"},
        {"AT+CMGL", 1, true, UnsolicitedAfter, "RING"},
        {"AT+CPBR=1,", 1, true, UnsolicitedInside, "+CREG: 5"},
        {"AT+CPBR=1,", 1, true, UnsolicitedAfter, "RING"},
    };
    for (const CCommandFault& report : reports) {
        f.Unit().AddFault(report);
    }
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(f.Connect());
    EXPECT_LT(std::chrono::steady_clock::now() - start,
              std::chrono::milliseconds(kReplyTimeoutMs / 2));
    const Strings sent = f.Commands();
    for (const char* command : {"AT+CPIN?", "AT+CMGL", "AT+CPBR=1,"}) {
        EXPECT_EQ(CountPrefix(sent, command), 1) << command;
    }
    EXPECT_EQ(CountPrefix(sent, "AT+CPBR=64"), 2);  // "ME", then "SM"
    EXPECT_EQ(CountPrefix(sent, "AT+CPBS?"), 1);
    EXPECT_EQ(f.Model().SmsTable().getData(0, 1), "Alarm: front door open");
    EXPECT_EQ(f.Model().SmsTable().getData(4, 1), "Brandlarm i k\xE4llaren!");
    EXPECT_EQ(f.Model().PhoneBookTable().getData(0, 1), "+46701234567");
    EXPECT_EQ(f.Model().PhoneBookTable().getData(63, 1), "1");  // access control, position 64
}

// Write and Reset read the unit back and compare it with what they meant to leave there. A
// module that answers as if it stored a value but holds something else fails the operation,
// naming the place, what was meant and what was found; nothing is rewritten by itself.
TEST(UnitSequencer, TheReadBackAfterAWriteOrResetNamesWhatTheUnitHoldsOtherwise) {
    using enum CCommandFault::Action;
    using V = CRunSummary::EVerification;
    const struct {
        const char* name;
        bool reset;
        std::vector<CCommandFault> faults;
        bool verify;
        V verification;
        const char* difference;  // the first line after the failure text
    } cases[] = {
        {"faithful module", false, {}, true, V::verified, nullptr},
        {"another number stored",
         false,
         {{"AT+CPBW=69", 1, false, Misstore, "7"}},
         true,
         V::differs,
         "Position 69: expected \"30\", found \"7\""},
        {"another text stored",
         false,
         {{"Door open", 1, false, Misstore, "Door shut"}},
         true,
         V::differs,
         "Message 3, Text: expected \"Door open\", found \"Door shut\""},
        {"stored nothing",
         false,
         {{"Door open", 1, false, Reply, "\r\n+CMGW: 3\r\n\r\nOK\r\n"}},
         true,
         V::differs,
         "Message 3, Text: expected \"Door open\", found \"Input 1 low\""},
        {"not verified",
         false,
         {{"AT+CPBW=69", 1, false, Misstore, "7"}},
         false,
         V::notRun,
         nullptr},
        {"reset",
         true,
         {{"AT+CPBW=69,", 1, false, Misstore, "9"}},
         true,
         V::differs,
         "Position 69: expected \"2\", found \"9\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SequencerFixture f(DataState("unit-me.json"));
        ASSERT_TRUE(f.Connect());
        f.Model().SmsTable().setData(2, CUnitSequencer::kNewTextColumn, "Door open");
        f.Presenters()[0].ChooseNewValue("30");
        for (const CCommandFault& fault : c.faults) {
            f.Unit().AddFault(fault);
        }
        f.Sequencer().SetVerify(c.verify);
        const bool differs = c.verification == V::differs;
        if (c.reset) {
            f.Sequencer().Reset();
        } else {
            ASSERT_TRUE(f.Sequencer().Write(true));
        }
        ASSERT_TRUE(f.Await(differs   ? ERunOutcome::failed
                            : c.reset ? ERunOutcome::ready
                                      : ERunOutcome::written));
        const CRunSummary& run = f.Sequencer().LastRun();
        EXPECT_EQ(run.verification, c.verification);
        if (differs) {
            ASSERT_FALSE(f.View().errors.empty());
            const std::string shown = f.View().errors.back();
            EXPECT_EQ(shown.substr(shown.find('\n') + 1, std::string(c.difference).size()),
                      c.difference);
            EXPECT_EQ(run.differences.front(), c.difference);
            EXPECT_FALSE(f.Sequencer().IsOpen());
        }
    }
}

// Reset Unit and Clear SIM erase only the positions the store lists, then check the store's
// own count. A listing that leaves an entry out (garbled here to list one entry only) makes
// that count disagree, and every position is erased one by one: both ways end in the same unit.
TEST(UnitSequencer, ErasingOnlyTheOccupiedPositionsEndsAsTheFullSweepDoes) {
    const std::string oneEntryListed = "\r\n+CPBR: 1,\"+46701234567\",145,\"ACCESS\"\r\n\r\nOK\r\n";
    for (const char* file : {"unit-me.json", "unit-demo.json"}) {
        for (const bool reset : {true, false}) {
            SCOPED_TRACE(std::string(file) + (reset ? " reset" : " clear-sim"));
            std::optional<CUnitState> ended;
            int listedDeletes = 0;
            for (const bool garbled : {false, true}) {
                SequencerFixture f(DataState(file));
                ASSERT_TRUE(f.Connect());
                f.Unit().ClearCommandLog();
                if (garbled) {
                    f.Unit().AddFault(
                        {"AT+CPBR=1,", 1, false, CCommandFault::Action::Reply, oneEntryListed});
                }
                ASSERT_TRUE(reset ? f.Reset() : f.ClearSim());
                // "AT+CPBW=n" alone empties position n.
                int deletes = 0;
                for (const std::string& command : f.Commands()) {
                    deletes +=
                        command.starts_with("AT+CPBW=") && command.find(',') == std::string::npos;
                }
                if (!garbled) {
                    ended = f.Unit().State();
                    listedDeletes = deletes;
                    continue;
                }
                EXPECT_EQ(f.Unit().State(), *ended);
                // The full sweep takes every position of the store; the listing far fewer.
                EXPECT_GE(deletes, 50);
                EXPECT_LT(listedDeletes, 40);
            }
        }
    }
}
