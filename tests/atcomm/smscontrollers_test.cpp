#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "atcomm/controllerdeletesms.h"
#include "atcomm/controllerreadsms.h"
#include "atcomm/controllersmartwritesms.h"
#include "atcomm/controllerwritesms.h"
#include "controllerprobe.h"
#include "core/textutils.h"
#include "datadoubles.h"
#include "support/unitfixture.h"
#include "vtlistdata.h"

namespace {

using Action = CCommandFault::Action;
using Strings = std::vector<std::string>;

constexpr uint32_t kShortTimeoutMs = 250;
const std::string kCtrlZ = "\x1A";

// Windows-1252 text with the at sign and the Swedish letters, which the module keeps on other
// code values ("@" even as the byte 0).
const std::string kSwedish = "D\xF6rr @ \xE5\xE4\xF6 \xC5\xC4\xD6";

CCommandFault Fault(const std::string& pattern, Action action, int nth = 1,
                    bool andFollowing = false) {
    CCommandFault fault;
    fault.pattern = pattern;
    fault.action = action;
    fault.nth = nth;
    fault.andFollowing = andFollowing;
    return fault;
}

CStoredSms Stored(const std::string& address, const std::string& text) {
    CStoredSms sms;
    sms.address = address;
    sms.text = text;
    return sms;
}

CUnitState UnitWithMessages(const std::map<int, CStoredSms>& messages) {
    CUnitState state = UnitFixture::ConfiguredState();
    state.messages = messages;
    return state;
}

std::map<int, CStoredSms> UnitMessages(UnitFixture& fixture) {
    return fixture.Unit().State().messages;
}

struct ReadCase {
    const char* name;
    std::map<int, CStoredSms> stored;
    std::map<int32_t, SmsMessage> expected;
};

TEST(SmsControllersTest, ReadDeliversEachMessageAtItsIndex) {
    CStoredSms received = Stored("+46709", "Call me");
    received.status = "REC UNREAD";
    received.timeStamp = "24/05/01,12:00:00+08";
    CStoredSms receivedBeyond = received;
    receivedBeyond.text = "Outside";

    const std::vector<ReadCase> cases = {
        {"empty store", {}, {}},
        {"two messages",
         {{1, Stored("+46701", "Door open")}, {2, Stored("+46702", "Door shut")}},
         {{1, {"+46701", "Door open"}}, {2, {"+46702", "Door shut"}}}},
        {"empty address and empty text",
         {{1, Stored("", "")}, {2, Stored("", "Second")}, {3, Stored("", "")}, {4, received}},
         {{1, {"", ""}}, {2, {"", "Second"}}, {3, {"", ""}}, {4, {"+46709", "Call me"}}}},
        {"text OK and text ending in OK",
         {{3, Stored("+463", "OK")}, {4, Stored("+464", "Power OK")}, {5, Stored("+465", "x")}},
         {{3, {"+463", "OK"}}, {4, {"+464", "Power OK"}}, {5, {"+465", "x"}}}},
        {"received messages, one beyond the unit's 28",
         {{6, received}, {7, Stored("+467", "Seven")}, {29, receivedBeyond}},
         {{6, {"+46709", "Call me"}}, {7, {"+467", "Seven"}}}},
        {"at sign and Swedish letters",
         {{28, Stored("+4628", AnsiToGsm(kSwedish))}},
         {{28, {"+4628", kSwedish}}}},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto collector = MakeRef<SmsCollectorDouble>();
        UnitFixture fixture(UnitWithMessages(c.stored));
        auto controller = MakeRef<CControllerReadSms>(collector.get());
        ControllerProbe probe;
        probe.Watch(*controller);

        ASSERT_TRUE(fixture.RunToFinish(controller));

        EXPECT_EQ(controller->GetResult(), IController::resultOk);
        EXPECT_EQ(fixture.Commands(), Strings{"AT+CMGL=\"ALL\""});
        EXPECT_EQ(collector->messages, c.expected);
        EXPECT_EQ(probe.keys, Strings{"CONTROLLER_READ_SMS_DESCRIPTION"});
        ASSERT_EQ(probe.progress.size(), 1u);
        EXPECT_EQ(probe.progress[0].maximum, 28);
    }
}

TEST(SmsControllersTest, ReadStopsAtAnUnreadableIndex) {
    auto collector = MakeRef<SmsCollectorDouble>();
    UnitFixture fixture;
    CCommandFault listing = Fault("AT+CMGL", Action::Reply);
    listing.text =
        "\r\n+CMGL: 1,\"STO UNSENT\",\"+461\",,\r\nOne\r\n"
        "+CMGL: 0,\"STO UNSENT\",\"+460\",,\r\nZero\r\n"
        "+CMGL: 2,\"STO UNSENT\",\"+462\",,\r\nTwo\r\n\r\nOK\r\n";
    fixture.Unit().AddFault(listing);
    auto controller = MakeRef<CControllerReadSms>(collector.get());

    ASSERT_TRUE(fixture.RunToFinish(controller));

    EXPECT_EQ(controller->GetResult(), IController::resultFailed);
    EXPECT_EQ(collector->messages, (std::map<int32_t, SmsMessage>{{1, {"+461", "One"}}}));
}

TEST(SmsControllersTest, ReadRepeatsATimedOutListingAndGivesUpAfterFour) {
    auto collector = MakeRef<SmsCollectorDouble>();
    UnitFixture fixture(UnitWithMessages({{1, Stored("+461", "One")}}));
    fixture.Unit().AddFault(Fault("AT+CMGL", Action::Error, 1, true));
    auto controller = MakeRef<CControllerReadSms>(collector.get());
    controller->SetReplyTimeout(kShortTimeoutMs);

    ASSERT_TRUE(fixture.RunToFinish(controller));

    EXPECT_EQ(controller->GetResult(), IController::resultFailed);
    EXPECT_EQ(fixture.Commands(), Strings(4, "AT+CMGL=\"ALL\""));
    EXPECT_TRUE(collector->messages.empty());
}

TEST(SmsControllersTest, WrittenTextsReadBackUnchanged) {
    const std::vector<SmsMessage> messages = {
        {"+46701", kSwedish}, {"", ""}, {"+46703", "Power OK"}, {"", "OK"}};
    auto provider = MakeRef<SmsProviderDouble>(messages);
    auto collector = MakeRef<SmsCollectorDouble>();
    UnitFixture fixture;
    auto write = MakeRef<CControllerWriteSms>(provider.get());
    auto read = MakeRef<CControllerReadSms>(collector.get());
    ControllerProbe probe;
    probe.Watch(*write);
    fixture.Queue(write);
    fixture.Queue(read);

    ASSERT_TRUE(fixture.RunQueued());

    EXPECT_EQ(write->GetResult(), IController::resultOk);
    EXPECT_EQ(read->GetResult(), IController::resultOk);
    EXPECT_EQ(fixture.Commands(),
              (Strings{"AT+CMGW=\"+46701\"", AnsiToGsm(kSwedish) + kCtrlZ, "AT+CMGW", kCtrlZ,
                       "AT+CMGW=\"+46703\"", "Power OK" + kCtrlZ, "AT+CMGW", "OK" + kCtrlZ,
                       "AT+CMGL=\"ALL\""}));
    const auto stored = UnitMessages(fixture);
    ASSERT_EQ(stored.size(), 4u);
    EXPECT_EQ(stored.at(1).text, AnsiToGsm(kSwedish));
    EXPECT_EQ(stored.at(1).text.find('\0'), 5u);
    std::map<int32_t, SmsMessage> expected;
    for (std::size_t i = 0; i < messages.size(); ++i) {
        expected[static_cast<int32_t>(i + 1)] = messages[i];
    }
    EXPECT_EQ(collector->messages, expected);
    EXPECT_EQ(probe.keys, Strings{"CONTROLLER_WRITE_SMS_DESCRIPTION"});
    EXPECT_EQ(probe.Positions(), (std::vector<int32_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(probe.progress.back().maximum, 4);
}

TEST(SmsControllersTest, WriteFailsWhenTheModuleStoresAtAnotherIndex) {
    auto provider = MakeRef<SmsProviderDouble>(
        std::vector<SmsMessage>{{"+461", "A"}, {"+462", "B"}, {"", "C"}});
    UnitFixture fixture;
    // The second message goes to index 3 instead of 2.
    fixture.Unit().SetStoreIndexFault(2);
    auto controller = MakeRef<CControllerWriteSms>(provider.get());

    ASSERT_TRUE(fixture.RunToFinish(controller));

    EXPECT_EQ(controller->GetResult(), IController::resultFailed);
    EXPECT_EQ(fixture.Commands(),
              (Strings{"AT+CMGW=\"+461\"", "A" + kCtrlZ, "AT+CMGW=\"+462\"", "B" + kCtrlZ}));
    const auto stored = UnitMessages(fixture);
    EXPECT_EQ(stored.count(1), 1u);
    EXPECT_EQ(stored.count(3), 1u);
}

TEST(SmsControllersTest, WriteEndsAtARefusedHeaderOrText) {
    for (const char* pattern : {"AT+CMGW", "Refused"}) {
        SCOPED_TRACE(pattern);
        auto provider = MakeRef<SmsProviderDouble>(
            std::vector<SmsMessage>{{"+461", "Refused"}, {"+462", "Never sent"}});
        UnitFixture fixture;
        fixture.Unit().AddFault(Fault(pattern, Action::Error));
        auto controller = MakeRef<CControllerWriteSms>(provider.get());
        controller->SetReplyTimeout(kShortTimeoutMs);

        ASSERT_TRUE(fixture.RunToFinish(controller));

        EXPECT_EQ(controller->GetResult(), IController::resultFailed);
        Strings expected{"AT+CMGW=\"+461\""};
        if (std::string(pattern) == "Refused") {
            expected.push_back("Refused" + kCtrlZ);
        }
        EXPECT_EQ(fixture.Commands(), expected);
        EXPECT_TRUE(UnitMessages(fixture).empty());
    }
}

// The SMS table as the main window holds it: 28 rows of current text (1), current number (2),
// new text (4), new number (5) and delete mark (7), filled from the unit's messages.
class SmartWriteTest : public ::testing::Test {
protected:
    static constexpr int kCurrentText = 1;
    static constexpr int kCurrentNumber = 2;
    static constexpr int kNewText = 4;
    static constexpr int kNewNumber = 5;
    static constexpr int kDelete = 7;

    static std::map<int, CStoredSms> FullStore() {
        std::map<int, CStoredSms> messages;
        for (int index = 1; index <= 28; ++index) {
            messages[index] =
                Stored("+46" + std::to_string(index), "Text " + std::to_string(index));
        }
        return messages;
    }

    void FillTable(const std::map<int, CStoredSms>& messages) {
        for (int row = 0; row < 28; ++row) {
            table.setData(row, 7, "");
        }
        for (const auto& [index, sms] : messages) {
            table.setData(index - 1, kCurrentText, GsmToAnsi(sms.text));
            table.setData(index - 1, kCurrentNumber, sms.address);
        }
    }

    CRefPtr<CControllerSmartWriteSms> MakeController() {
        // The column order of the main window: new number, new text, delete, current number,
        // current text.
        auto controller = MakeRef<CControllerSmartWriteSms>(&table, kNewNumber, kNewText, kDelete,
                                                            kCurrentNumber, kCurrentText);
        probe.Watch(*controller);
        return controller;
    }

    TVTListData table;
    ControllerProbe probe;
};

TEST_F(SmartWriteTest, RewritesOnlyTheChangedRowsAtTheirOwnIndex) {
    const auto before = FullStore();
    FillTable(before);
    table.setData(2, kNewText, "New \xE5\xE4\xF6");  // message 3: new text, current number
    table.setData(5, kNewNumber, "+46999");          // message 6: new number, current text
    table.setData(9, kNewText, "Ignored");           // message 10: deleted, so stored empty
    table.setData(9, kDelete, "X");
    UnitFixture fixture(UnitWithMessages(before));
    auto controller = MakeController();

    ASSERT_TRUE(fixture.RunToFinish(controller));

    EXPECT_EQ(controller->GetResult(), IController::resultOk);
    EXPECT_FALSE(controller->IsIndexMismatch());
    EXPECT_EQ(fixture.Commands(),
              (Strings{"AT+CMGD=3", "AT+CMGW=\"+463\"", AnsiToGsm("New \xE5\xE4\xF6") + kCtrlZ,
                       "AT+CMGD=6", "AT+CMGW=\"+46999\"", "Text 6" + kCtrlZ, "AT+CMGD=10",
                       "AT+CMGW", kCtrlZ}));
    auto expected = before;
    expected[3].text = AnsiToGsm("New \xE5\xE4\xF6");
    expected[6].address = "+46999";
    expected[10] = Stored("", "");
    EXPECT_EQ(UnitMessages(fixture), expected);
    EXPECT_EQ(probe.keys, Strings{"CONTROLLER_SMART_WRITE_SMS_DESCRIPTION"});
    EXPECT_EQ(probe.Positions(), (std::vector<int32_t>{-1, 2, 5, 9}));
    EXPECT_EQ(probe.progress.front().name, "CControllerSmartWriteSms");
    EXPECT_EQ(probe.progress.front().maximum, 28);
}

TEST_F(SmartWriteTest, SendsNothingWithoutAChange) {
    FillTable(FullStore());
    UnitFixture fixture(UnitWithMessages(FullStore()));
    auto controller = MakeController();

    ASSERT_TRUE(fixture.RunToFinish(controller));

    EXPECT_EQ(controller->GetResult(), IController::resultOk);
    EXPECT_TRUE(fixture.Commands().empty());
}

TEST_F(SmartWriteTest, AStoreAtAnotherIndexSetsTheMismatch) {
    // With index 2 free, the module puts the replacement of message 5 there.
    auto messages = FullStore();
    messages.erase(2);
    FillTable(messages);
    table.setData(4, kNewText, "Five");
    table.setData(6, kNewText, "Seven");
    UnitFixture fixture(UnitWithMessages(messages));
    auto controller = MakeController();

    ASSERT_TRUE(fixture.RunToFinish(controller));

    EXPECT_EQ(controller->GetResult(), IController::resultFailed);
    EXPECT_TRUE(controller->IsIndexMismatch());
    EXPECT_EQ(fixture.Commands(), (Strings{"AT+CMGD=5", "AT+CMGW=\"+465\"", "Five" + kCtrlZ}));
    const auto after = UnitMessages(fixture);
    EXPECT_EQ(after.at(2).text, "Five");
    EXPECT_EQ(after.count(5), 0u);
}

TEST_F(SmartWriteTest, ARefusedTextEndsItWithoutTheMismatch) {
    FillTable(FullStore());
    table.setData(0, kNewText, "Refused");
    UnitFixture fixture(UnitWithMessages(FullStore()));
    fixture.Unit().AddFault(Fault("Refused", Action::Error));
    auto controller = MakeController();
    controller->SetReplyTimeout(kShortTimeoutMs);

    ASSERT_TRUE(fixture.RunToFinish(controller));

    EXPECT_EQ(controller->GetResult(), IController::resultFailed);
    EXPECT_FALSE(controller->IsIndexMismatch());
    EXPECT_EQ(fixture.Commands(), (Strings{"AT+CMGD=1", "AT+CMGW=\"+461\"", "Refused" + kCtrlZ}));
}

TEST(SmsControllersTest, DeleteRemovesEveryOfferedIndexAndRepeatsARefusal) {
    std::map<int, CStoredSms> messages;
    for (int index = 1; index <= 5; ++index) {
        messages[index] = Stored("", "x");
    }
    auto indexes = MakeRef<SmsDeleteDouble>(4);
    UnitFixture fixture(UnitWithMessages(messages));
    fixture.Unit().AddFault(Fault("AT+CMGD=2", Action::Error));
    auto controller = MakeRef<CControllerDeleteSms>(indexes.get());
    controller->SetReplyTimeout(kShortTimeoutMs);
    ControllerProbe probe;
    probe.Watch(*controller);

    ASSERT_TRUE(fixture.RunToFinish(controller));

    EXPECT_EQ(controller->GetResult(), IController::resultOk);
    EXPECT_EQ(fixture.Commands(),
              (Strings{"AT+CMGD=1", "AT+CMGD=2", "AT+CMGD=2", "AT+CMGD=3", "AT+CMGD=4"}));
    const auto after = UnitMessages(fixture);
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after.count(5), 1u);
    EXPECT_EQ(probe.keys, Strings{"CONTROLLER_DELETE_SMS_DESCRIPTION"});
}

TEST(SmsControllersTest, DeleteEndsAtTheFourthFailedTryInARow) {
    auto indexes = MakeRef<SmsDeleteDouble>(28);
    UnitFixture fixture(UnitWithMessages({{1, Stored("", "x")}}));
    fixture.Unit().AddFault(Fault("AT+CMGD=1", Action::Ignore, 1, true));
    auto controller = MakeRef<CControllerDeleteSms>(indexes.get());
    controller->SetReplyTimeout(kShortTimeoutMs);

    ASSERT_TRUE(fixture.RunToFinish(controller));

    EXPECT_EQ(controller->GetResult(), IController::resultFailed);
    EXPECT_EQ(fixture.Commands(), Strings(4, "AT+CMGD=1"));
    EXPECT_EQ(UnitMessages(fixture).size(), 1u);
}

}  // namespace
