#include "support/waituntil.h"
#include "unitline.h"

// Faults are written {pattern, nth, andFollowing, action, text}.
using Action = CCommandFault::Action;

TEST_F(UnitSimTest, AnErrorFaultRefusesTheNthMatchOrEveryMatchFromIt) {
    StartUnit(Quiet(), [](CUnitSimulatorOptions& options) {
        options.faults.push_back(CCommandFault{"at+cpbw", 2, false, Action::Error, ""});
        options.faults.push_back(CCommandFault{"CSQ", 2, true, Action::Error, ""});
    });
    ExpectReplies({
        {"AT+CPBW=1,\"+461\",145,\"ACCESS\"\r", kOk},
        {"AT+CPBW=2,\"+462\",145,\"ACCESS\"\r", kError},
        {"AT+CPBW=3,\"+463\",145,\"ACCESS\"\r", kOk},
        {"AT+CSQ\r", Info("+CSQ: 20,99")},
        {"AT+CSQ\r", kError},
        {"AT+CSQ\r", kError},
    });
    const auto entries = sim->State().phonebooks.at("SM").entries;
    EXPECT_EQ(entries.count(1) + entries.count(3), 2u);
    EXPECT_EQ(entries.count(2), 0u);  // a refused command is not carried out
    sim->ClearFaults();
    EXPECT_EQ(line->Exchange("AT+CSQ\r"), Info("+CSQ: 20,99"));
}

TEST_F(UnitSimTest, ReplyFaultsSilenceOrReplaceTheReply) {
    StartUnit(Quiet());
    sim->AddFault({"CPBW=1,", 1, false, Action::Ignore, ""});
    sim->AddFault({"CPBW=2,", 1, false, Action::LoseReply, ""});
    sim->AddFault({"CPBW=3,", 1, false, Action::Reply, "\r\n+CPBW: 7\r\n\r\nOK\r\n"});
    for (const char* position : {"1", "2"}) {
        line->Send(std::string("AT+CPBW=") + position + ",\"+462\"\r");
        EXPECT_TRUE(line->QuietFor(std::chrono::milliseconds(150))) << position;
    }
    EXPECT_EQ(line->Exchange("AT+CPBW=3,\"+463\"\r"), "\r\n+CPBW: 7\r\n\r\nOK\r\n");
    EXPECT_EQ(line->Exchange("AT\r"), kOk);  // no stale reply follows
    // Only the command whose reply was lost was carried out.
    const auto entries = sim->State().phonebooks.at("SM").entries;
    EXPECT_EQ(entries.count(1) + entries.count(3), 0u);
    EXPECT_EQ(entries.count(2), 1u);
}

TEST_F(UnitSimTest, UnsolicitedLinesComeBeforeOrAfterRepliesOrBetweenThem) {
    StartUnit(Quiet());
    sim->AddFault({"CSQ", 1, false, Action::UnsolicitedBefore, "RING"});
    sim->AddFault({"CREG?", 1, false, Action::UnsolicitedAfter, "+CREG: 1"});
    sim->AddFault({"CPBS", 1, true, Action::UnsolicitedInside, "+CMTI: \"SM\",3"});
    EXPECT_EQ(line->Exchange("AT+CSQ\r"), "\r\nRING\r\n" + Info("+CSQ: 20,99"));
    // Inside: between the information lines and the final result code, or before a lone one.
    EXPECT_EQ(line->Exchange("AT+CPBS?\r"),
              "\r\n+CPBS: \"SM\",0,250\r\n\r\n+CMTI: \"SM\",3\r\n" + kOk);
    EXPECT_EQ(line->Exchange("AT+CPBS=SM\r"), "\r\n+CMTI: \"SM\",3\r\n" + kOk);
    line->Send("AT+CREG?\r");
    const std::string withUrc = Info("+CREG: 0,1") + "\r\n+CREG: 1\r\n";
    EXPECT_EQ(line->ReadCount(withUrc.size()), withUrc);
    EXPECT_TRUE(line->QuietFor(std::chrono::milliseconds(20)));
    sim->SendUnsolicited("RING");
    EXPECT_EQ(line->ReadCount(8), "\r\nRING\r\n");
}

TEST_F(UnitSimTest, AStoreIndexFaultPutsTheMessageAtAnotherFreeIndex) {
    CUnitState state;
    for (const int index : {1, 3}) {
        state.messages[index] = {"STO UNSENT", "", "x", ""};
    }
    StartUnit(Quiet(state));
    sim->SetStoreIndexFault(1);
    ExpectReplies({
        {"AT+CMGW\r", "\r\n> "},
        {"moved\x1A", "\r\n+CMGW: 4\r\n" + kOk},
        {"AT+CMGW\r", "\r\n> "},
        {"in place\x1A", "\r\n+CMGW: 2\r\n" + kOk},
    });
}

TEST_F(UnitSimTest, AHangUpLooksLikeAPulledAdapter) {
    for (const bool afterTwoCommands : {true, false}) {
        SCOPED_TRACE(afterTwoCommands);
        StartUnit(CUnitState(), [&](CUnitSimulatorOptions& options) {
            options.hangUpAfter = afterTwoCommands ? 2 : 0;
        });
        EXPECT_EQ(line->Exchange("AT\r"), "AT\r" + kOk);
        EXPECT_EQ(line->Exchange("AT\r"), "AT\r" + kOk);
        if (afterTwoCommands) {
            line->Send("AT\r");  // meets a dead line
        } else {
            sim->HangUp();
        }
        EXPECT_THROW(line->ReadReply(), CComPort::EComPortException);
        EXPECT_TRUE(WaitUntil([&] { return sim->IsHungUp(); }));
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(folder / "port")));
        EXPECT_EQ(sim->CommandCount(), 2u);
        EXPECT_THROW(line->Send("AT\r"), CComPort::EComPortException);
        line.reset();
        sim.reset();
    }
}
