#include "support/waituntil.h"
#include "unitline.h"

namespace {

using Action = CCommandFault::Action;

CCommandFault Fault(const std::string& pattern, int nth, Action action,
                    const std::string& text = "", bool andFollowing = false) {
    CCommandFault fault;
    fault.pattern = pattern;
    fault.nth = nth;
    fault.action = action;
    fault.text = text;
    fault.andFollowing = andFollowing;
    return fault;
}

const std::chrono::milliseconds kQuiet(150);

}  // namespace

TEST_F(UnitSimTest, AnErrorFaultRefusesOnlyTheNthMatch) {
    StartUnit(CUnitState(), [](CUnitSimulatorOptions& options) {
        options.faults.push_back(Fault("at+cpbw", 2, Action::Error));
    });
    ExpectReplies({
        {"ATE0\r", "ATE0\r" + kOk},
        {"AT+CPBW=1,\"+461\",145,\"ACCESS\"\r", kOk},
        {"AT+CPBW=2,\"+462\",145,\"ACCESS\"\r", kError},
        {"AT+CPBW=3,\"+463\",145,\"ACCESS\"\r", kOk},
    });
    const auto entries = sim->State().phonebooks.at("SM").entries;
    EXPECT_EQ(entries.count(1) + entries.count(2) + entries.count(3), 2u);
    EXPECT_EQ(entries.count(2), 0u);
}

TEST_F(UnitSimTest, AFaultCanHoldForEveryLaterMatch) {
    StartUnit();
    sim->AddFault(Fault("CSQ", 2, Action::Error, "", true));
    ExpectReplies({
        {"ATE0\r", "ATE0\r" + kOk},
        {"AT+CSQ\r", Info("+CSQ: 20,99")},
        {"AT+CSQ\r", kError},
        {"AT+CSQ\r", kError},
    });
    sim->ClearFaults();
    EXPECT_EQ(line->Exchange("AT+CSQ\r"), Info("+CSQ: 20,99"));
}

TEST_F(UnitSimTest, AnIgnoredCommandGetsNoReplyAndIsNotCarriedOut) {
    StartUnit();
    sim->AddFault(Fault("CPBW=2,", 1, Action::Ignore));
    line->Exchange("ATE0\r");
    line->Send("AT+CPBW=2,\"+462\",145,\"ACCESS\"\r");
    EXPECT_TRUE(line->QuietFor(kQuiet));
    EXPECT_EQ(line->Exchange("AT\r"), kOk);
    EXPECT_EQ(sim->State().phonebooks.at("SM").entries.count(2), 0u);
}

TEST_F(UnitSimTest, ALostReplyCommandIsCarriedOutSilently) {
    StartUnit();
    sim->AddFault(Fault("CPBW=2,", 1, Action::LoseReply));
    line->Exchange("ATE0\r");
    line->Send("AT+CPBW=2,\"+462\",145,\"ACCESS\"\r");
    EXPECT_TRUE(line->QuietFor(kQuiet));
    EXPECT_EQ(sim->State().phonebooks.at("SM").entries.count(2), 1u);
}

TEST_F(UnitSimTest, AReplyFaultAnswersTheGivenBytes) {
    StartUnit();
    sim->AddFault(Fault("CPBS?", 1, Action::Reply, "\r\n+CPBS: \"SM\",0,abc\r\n\r\nOK\r\n"));
    line->Exchange("ATE0\r");
    EXPECT_EQ(line->Exchange("AT+CPBS?\r"), "\r\n+CPBS: \"SM\",0,abc\r\n\r\nOK\r\n");
    EXPECT_EQ(line->Exchange("AT+CPBS?\r"), Info("+CPBS: \"SM\",0,250"));
}

TEST_F(UnitSimTest, UnsolicitedLinesComeBeforeOrAfterRepliesOrBetweenThem) {
    StartUnit();
    sim->AddFault(Fault("CSQ", 1, Action::UnsolicitedBefore, "RING"));
    sim->AddFault(Fault("CREG?", 1, Action::UnsolicitedAfter, "+CREG: 1"));
    line->Exchange("ATE0\r");
    EXPECT_EQ(line->Exchange("AT+CSQ\r"), "\r\nRING\r\n" + Info("+CSQ: 20,99"));
    line->Send("AT+CREG?\r");
    const std::string withUrc = Info("+CREG: 0,1") + "\r\n+CREG: 1\r\n";
    EXPECT_EQ(line->ReadCount(withUrc.size()), withUrc);
    EXPECT_TRUE(line->QuietFor(std::chrono::milliseconds(20)));
    sim->SendUnsolicited("RING");
    EXPECT_EQ(line->ReadCount(8), "\r\nRING\r\n");
}

TEST_F(UnitSimTest, AStoreIndexFaultPutsTheMessageAtAnotherFreeIndex) {
    CUnitState state;
    for (int index = 1; index <= 3; ++index) {
        state.messages[index] = {"STO UNSENT", "", "x", ""};
    }
    StartUnit(state);
    ExpectReplies({{"ATE0\r", "ATE0\r" + kOk}, {"AT+CMGF=1\r", kOk}, {"AT+CMGD=2\r", kOk}});
    sim->SetStoreIndexFault(1);
    ExpectReplies({
        {"AT+CMGW\r", "\r\n> "},
        {"moved\x1A", "\r\n+CMGW: 4\r\n" + kOk},
        {"AT+CMGW\r", "\r\n> "},
        {"in place\x1A", "\r\n+CMGW: 2\r\n" + kOk},
    });
}

TEST_F(UnitSimTest, AHangUpAfterNCommandsLooksLikeAPulledAdapter) {
    StartUnit(CUnitState(), [](CUnitSimulatorOptions& options) { options.hangUpAfter = 2; });
    EXPECT_EQ(line->Exchange("AT\r"), "AT\r" + kOk);
    EXPECT_EQ(line->Exchange("AT\r"), "AT\r" + kOk);
    line->Send("AT\r");
    EXPECT_THROW(line->ReadReply(), CComPort::EComPortException);
    EXPECT_TRUE(WaitUntil([&] { return sim->IsHungUp(); }));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(folder / "port")));
    EXPECT_EQ(sim->CommandCount(), 2u);
    EXPECT_THROW(line->Send("AT\r"), CComPort::EComPortException);
}

TEST_F(UnitSimTest, HangUpDropsTheLineAtOnce) {
    StartUnit();
    EXPECT_EQ(line->Exchange("AT\r"), "AT\r" + kOk);
    sim->HangUp();
    EXPECT_TRUE(WaitUntil([&] { return sim->IsHungUp(); }));
    EXPECT_THROW(line->ReadReply(), CComPort::EComPortException);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(folder / "port")));
}
