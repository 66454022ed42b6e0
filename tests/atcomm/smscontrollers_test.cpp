#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "atcomm/controllerreadsms.h"
#include "atcomm/controllersmartwritesms.h"
#include "atcomm/controllerwritesms.h"
#include "atcommtest.h"
#include "core/textutils.h"
#include "vtlistdata.h"

namespace {

using Stored = std::map<int, CStoredSms>;

const std::string kCtrlZ = "\x1A";

// Windows-1252 text with the at sign and the Swedish letters, which the module keeps on other
// code values ("@" even as the byte 0).
const std::string kSwedish = "D\xF6rr @ \xE5\xE4\xF6 \xC5\xC4\xD6";

CStoredSms Sms(const std::string& address, const std::string& text) {
    return {.address = address, .text = text, .timeStamp = ""};
}

CUnitState UnitWithMessages(const Stored& messages) {
    CUnitState state = UnitFixture::ConfiguredState();
    state.messages = messages;
    return state;
}

Stored UnitMessages(UnitFixture& fixture) {
    return fixture.Unit().State().messages;
}

TEST(SmsControllersTest, ReadDeliversEachMessageAtItsIndex) {
    const CStoredSms received = {.status = "REC UNREAD",
                                 .address = "+46709",
                                 .text = "Call me",
                                 .timeStamp = "24/05/01,12:00:00+08"};
    // Index 0 is unreadable: the reading stops there.
    const std::string unreadable =
        "\r\n+CMGL: 1,\"STO UNSENT\",\"+461\",,\r\nOne\r\n+CMGL: 0,\"STO UNSENT\",\"\",,\r\n"
        "Zero\r\n+CMGL: 2,\"STO UNSENT\",\"+462\",,\r\nTwo\r\n\r\nOK\r\n";
    struct Case {
        const char* name;
        CUnitSimulatorOptions options;
        SmsMessages expected;
        std::size_t listings = 1;  // four: the read gave up
    };
    const std::vector<Case> cases = {
        {"empty store", WithFaults({}), {}},
        // A message beyond the unit's 28 belongs to no row.
        {"every kind of message",
         WithFaults({}, UnitWithMessages({{2, Sms("", "No receiver")},
                                          {3, Sms("+463", "OK")},
                                          {5, Sms("", "")},
                                          {6, received},
                                          {28, Sms("+4628", AnsiToGsm(kSwedish))},
                                          {29, received}})),
         {{2, {"", "No receiver"}},
          {3, {"+463", "OK"}},
          {5, {"", ""}},
          {6, {"+46709", "Call me"}},
          {28, {"+4628", kSwedish}}}},
        {"unreadable index",
         WithFaults({Fault("AT+CMGL", Action::Reply, false, unreadable)}),
         {{1, {"+461", "One"}}}},
        {"no listing",
         WithFaults({Fault("AT+CMGL", Action::Error, true)},
                    UnitWithMessages({{1, Sms("+461", "One")}})),
         {},
         4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto collector = MakeRef<SmsCollectorDouble>();
        UnitFixture fixture(c.options);
        EXPECT_EQ(RunShort(fixture, MakeRef<CControllerReadSms>(collector.get())),
                  Outcome(c.options.faults.empty()));
        EXPECT_EQ(fixture.Commands(), Strings(c.listings, "AT+CMGL=\"ALL\""));
        EXPECT_EQ(collector->messages, c.expected);
    }
}

// It never retries: the first bad reply, or a store at another index than the provider's,
// ends it.
TEST(SmsControllersTest, WriteEndsAtAnotherIndexOrARefusedHeaderOrText) {
    struct Case {
        const char* name;
        CUnitSimulatorOptions options;
        Strings sent;
        Stored stored;
    };
    CUnitSimulatorOptions anotherIndex = WithFaults({});
    anotherIndex.storeIndexFault = 2;  // the second message goes to index 3 instead of 2
    const std::vector<Case> cases = {
        {"stored at another index",
         anotherIndex,
         {"AT+CMGW=\"+461\"", "Alpha" + kCtrlZ, "AT+CMGW=\"+462\"", "Beta" + kCtrlZ},
         {{1, Sms("+461", "Alpha")}, {3, Sms("+462", "Beta")}}},
        {"refused header", WithFaults({Fault("AT+CMGW", Action::Error)}), {"AT+CMGW=\"+461\""}, {}},
        {"refused text",
         WithFaults({Fault("Alpha", Action::Error)}),
         {"AT+CMGW=\"+461\"", "Alpha" + kCtrlZ},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto provider = MakeRef<SmsProviderDouble>(
            std::vector<SmsMessage>{{"+461", "Alpha"}, {"+462", "Beta"}, {"", "Gamma"}});
        UnitFixture fixture(c.options);
        EXPECT_EQ(RunShort(fixture, MakeRef<CControllerWriteSms>(provider.get())),
                  IController::resultFailed);
        EXPECT_EQ(fixture.Commands(), c.sent);
        EXPECT_EQ(UnitMessages(fixture), c.stored);
    }
}

// The smart write on the SMS table as the main window holds it: 28 rows of current text (1),
// current number (2), new text (4), new number (5) and delete mark (7), filled from a full store.
TEST(SmartWriteTest, AStoreAtAnotherIndexSetsTheMismatchARefusedTextDoesNot) {
    constexpr int kNewText = 4;
    Stored stored;
    TVTListData table;
    for (int index = 1; index <= 28; ++index) {
        stored[index] = Sms("+46" + std::to_string(index), "Text " + std::to_string(index));
        table.setData(index - 1, 1, GsmToAnsi(stored[index].text));
        table.setData(index - 1, 2, stored[index].address);
    }
    table.setData(27, 7, "");
    std::unique_ptr<UnitFixture> fixture;
    CRefPtr<CControllerSmartWriteSms> controller;
    const auto run = [&](std::vector<CCommandFault> faults) {
        fixture =
            std::make_unique<UnitFixture>(WithFaults(std::move(faults), UnitWithMessages(stored)));
        controller = MakeRef<CControllerSmartWriteSms>(&table, 5, kNewText, 7, 2, 1);
        EXPECT_EQ(RunShort(*fixture, controller), IController::resultFailed);
    };

    // With index 2 free, the module puts the replacement of message 5 there.
    stored.erase(2);
    table.setData(4, kNewText, "Five");
    table.setData(6, kNewText, "Seven");
    run({});
    EXPECT_TRUE(controller->IsIndexMismatch());
    EXPECT_EQ(fixture->Commands(), (Strings{"AT+CMGD=5", "AT+CMGW=\"+465\"", "Five" + kCtrlZ}));
    const auto after = UnitMessages(*fixture);
    EXPECT_EQ(after.at(2).text, "Five");
    EXPECT_EQ(after.count(5), 0u);

    // A refused text stores nothing, so the store's order is still known.
    table.setData(4, kNewText, "");
    table.setData(6, kNewText, "");
    table.setData(0, kNewText, "Refused");
    run({Fault("Refused", Action::Error)});
    EXPECT_FALSE(controller->IsIndexMismatch());
    EXPECT_EQ(fixture->Commands(), (Strings{"AT+CMGD=1", "AT+CMGW=\"+461\"", "Refused" + kCtrlZ}));
}

}  // namespace
