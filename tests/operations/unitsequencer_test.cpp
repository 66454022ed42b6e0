#include "operations/unitsequencer.h"

#include <gtest/gtest.h>

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
