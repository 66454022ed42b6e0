#include "operations/unitsequencer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "support/sequencerfixture.h"

// The window's tests prove each operation through the window; here only what they do not
// reach: a step failing in the middle of the read, after the configuration store was found.
// The run ends on that step alone, its queued followers never run, and the next connect reads
// the whole unit again.
TEST(UnitSequencer, AStepFailingMidReadEndsTheRunAndTheNextConnectStartsClean) {
    SequencerFixture f(DataState("unit-me.json"), 300);
    f.Unit().AddFault({"AT+CMGL", 1, true, CCommandFault::Action::Error, ""});
    ASSERT_TRUE(f.Connect(ERunOutcome::failed));
    EXPECT_EQ(f.View().errors,
              Strings{"The operation failed. Check the connection to the unit and try again.\n"
                      "CControllerReadSms"});
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
