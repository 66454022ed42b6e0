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
