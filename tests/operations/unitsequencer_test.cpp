#include "operations/unitsequencer.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "operations/sequencerfixture.h"

namespace {

using Strings = std::vector<std::string>;

int CountPrefix(const Strings& commands, const std::string& prefix) {
    return static_cast<int>(std::count_if(commands.begin(), commands.end(),
                                          [&](const auto& c) { return c.rfind(prefix, 0) == 0; }));
}

std::string Cell(const TVTListData& table, int row, int column) {
    return table.getData(row, column);
}

// The error text of a failed run names the controller on its second line.
std::string FailedController(const RecordingView& view) {
    const std::optional<std::string> error = view.Find("Error: ");
    if (!error) {
        return {};
    }
    const std::size_t first = error->find('\n');
    const std::size_t second = error->find('\n', first + 1);
    return error->substr(first + 1, second == std::string::npos ? second : second - first - 1);
}

}  // namespace

// --- Connect ---------------------------------------------------------------------------------

TEST(UnitSequencerConnect, ReadsAUnitConfiguredInTheModuleStoreWithoutVisitingTheSim) {
    SequencerFixture f("unit-me.json");
    ASSERT_TRUE(f.Connect());
    ASSERT_EQ(f.View().outcome, ERunOutcome::ready) << ::testing::PrintToString(f.View().events);
    const Strings commands = f.UnitCommands();
    EXPECT_EQ(CountPrefix(commands, "AT+CPBS=SM"), 0);
    EXPECT_EQ(CountPrefix(commands, "AT+CPBR=64"), 1);
    EXPECT_EQ(f.Sequencer().GetStoreFlag(), 0);
    EXPECT_EQ(f.Model().GetPhoneBookSize(), 100);

    // Current side filled: first alarm text and number, an access number, the settings.
    EXPECT_EQ(Cell(f.Model().SmsTable(), 0, 1), "Input 1 high");
    EXPECT_EQ(Cell(f.Model().SmsTable(), 0, 2), "+46701234567");
    EXPECT_EQ(Cell(f.Model().PhoneBookTable(), 0, 1), "+46701234567");
    EXPECT_EQ(f.Presenter(10).GetValue(ValueKind::Current), "2");  // input 6 delay, position 58

    // The progress display closes as the poll starts, and the poll keeps reporting.
    EXPECT_EQ(f.View().events.back(), "HideProgress");
    EXPECT_TRUE(f.PumpUntil([&] { return f.View().signalReports >= 2; }));
    EXPECT_EQ(f.View().lastSignal, 18);
    EXPECT_TRUE(f.Sequencer().IsOpen());
    // Every described controller told the view what it does.
    EXPECT_FALSE(f.View().descriptions.empty());
    EXPECT_TRUE(std::none_of(f.View().descriptions.begin(), f.View().descriptions.end(),
                             [](const std::string& d) { return d.empty(); }));
}

TEST(UnitSequencerConnect, ASimConfiguredUnitCostsOneStoreSwitchAndOneMoreMarkerRead) {
    SequencerFixture f("unit-demo.json");
    ASSERT_TRUE(f.Connect());
    ASSERT_EQ(f.View().outcome, ERunOutcome::ready);
    const Strings commands = f.UnitCommands();
    const Strings expected = {"AT+CPBS=ME", "AT+CPBR=64", "AT+CPBS=SM", "AT+CPBR=64"};
    auto first = std::find(commands.begin(), commands.end(), expected[0]);
    ASSERT_NE(first, commands.end());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), first));
    EXPECT_EQ(f.Sequencer().GetStoreFlag(), 1);
    EXPECT_EQ(f.Model().GetPhoneBookSize(), 250);
}

TEST(UnitSequencerConnect, AnUnconfiguredUnitAsksForARestartAndClosesThePort) {
    SequencerFixture f("unit-unconfigured.json");
    ASSERT_TRUE(f.Connect());
    EXPECT_EQ(f.View().outcome, ERunOutcome::restartUnit);
    EXPECT_TRUE(f.View().Find("Information: No configuration was found"));
    EXPECT_FALSE(f.View().Find("Error: "));
    EXPECT_FALSE(f.Sequencer().IsOpen());
    EXPECT_EQ(CountPrefix(f.UnitCommands(), "AT+CPBR=64"), 2);
}

TEST(UnitSequencerConnect, PinLockedSimIsAnsweredAndAWrongPinCostsATry) {
    SequencerFixture f("unit-pinlocked.json");
    f.View().pinAnswer = "1111";
    ASSERT_TRUE(f.Connect());
    EXPECT_EQ(f.View().outcome, ERunOutcome::failed);
    EXPECT_EQ(FailedController(f.View()), "CControllerPin");
    EXPECT_FALSE(f.Sequencer().IsOpen());
    ASSERT_EQ(f.View().codeRequests.size(), 1u);
    EXPECT_EQ(f.View().codeRequests[0].type, EPinKind::SimPin);
    EXPECT_EQ(f.View().codeRequests[0].triesLeft, 3);

    // Connecting again asks anew with the SIM's own count, and the right code opens it.
    f.View() = RecordingView();
    f.View().pinAnswer = "1234";
    ASSERT_TRUE(f.Connect());
    ASSERT_EQ(f.View().outcome, ERunOutcome::ready) << ::testing::PrintToString(f.View().events);
    ASSERT_EQ(f.View().codeRequests.size(), 1u);
    EXPECT_EQ(f.View().codeRequests[0].triesLeft, 2);
}

TEST(UnitSequencerConnect, ASimAskingForItsPukGetsPukAndNewPin) {
    CUnitState state = SequencerFixture::DataState("unit-pinlocked.json");
    state.sim.pinTries = 0;
    SequencerFixture f(state);
    f.View().pinAnswer = "4321";
    f.View().pukAnswer = "12345678";
    ASSERT_TRUE(f.Connect());
    ASSERT_EQ(f.View().outcome, ERunOutcome::ready) << ::testing::PrintToString(f.View().events);
    ASSERT_EQ(f.View().codeRequests.size(), 1u);
    EXPECT_EQ(f.View().codeRequests[0].type, EPinKind::SimPuk);
    EXPECT_EQ(f.Unit().State().sim.pin, "4321");
}

TEST(UnitSequencerConnect, CancellingThePinRequestFailsThePinStepAndSendsNoCode) {
    SequencerFixture f("unit-pinlocked.json");
    ASSERT_TRUE(f.Connect());
    EXPECT_EQ(FailedController(f.View()), "CControllerPin");
    EXPECT_EQ(CountPrefix(f.UnitCommands(), "AT+CPIN="), 0);
    EXPECT_EQ(f.Unit().State().sim.pinTries, 3);
}

TEST(UnitSequencerConnect, AFailedListingNamesTheMessageRead) {
    SequencerFixture f("unit-me.json");
    f.Unit().AddFault({"AT+CMGL", 1, true, CCommandFault::Action::Error, ""});
    ASSERT_TRUE(f.Connect(std::chrono::seconds(30)));
    EXPECT_EQ(f.View().outcome, ERunOutcome::failed);
    EXPECT_EQ(FailedController(f.View()), "CControllerReadSms");
    // The port is closed and the current side cleared; nothing was read into the settings.
    EXPECT_FALSE(f.Sequencer().IsOpen());
    EXPECT_EQ(Cell(f.Model().SmsTable(), 0, 1), "");
}

TEST(UnitSequencerConnect, DisconnectDuringTheRunEndsItWithoutAMessage) {
    CUnitState state = SequencerFixture::DataState("unit-me.json");
    SequencerFixture f(state);
    f.Sequencer().OpenPort(f.Unit().PortPath());
    f.Sequencer().StartConnect();
    ASSERT_TRUE(f.PumpUntil([&] { return CountPrefix(f.UnitCommands(), "AT+CPBS") > 0; }));
    f.Sequencer().Disconnect();
    EXPECT_EQ(f.View().outcome, ERunOutcome::disconnected);
    EXPECT_FALSE(f.View().Find("Error: "));
    EXPECT_FALSE(f.Sequencer().IsOpen());
    EXPECT_FALSE(f.Sequencer().IsRunning());
}

// --- Write -----------------------------------------------------------------------------------

TEST(UnitSequencerWrite, OneChangedTextIsRewrittenInPlaceThenTheSettingsAndThePortCloses) {
    SequencerFixture f("unit-me.json");
    ASSERT_TRUE(f.Connect());
    f.Model().SmsTable().setData(2, 4, "Door open");
    f.Presenter(0).SetNewValue("30");  // active time, position 69
    f.ClearCommands();
    ASSERT_TRUE(f.Sequencer().Write(false));
    ASSERT_TRUE(f.WaitForEnd());
    ASSERT_EQ(f.View().outcome, ERunOutcome::written) << ::testing::PrintToString(f.View().events);

    const Strings commands = f.UnitCommands();
    EXPECT_EQ(CountPrefix(commands, "AT+CMGD="), 1);
    EXPECT_EQ(CountPrefix(commands, "AT+CMGD=3"), 1);
    EXPECT_EQ(CountPrefix(commands, "AT+CMGW="), 1);
    // The changed setting and the call mask; unchanged settings are left as they are.
    EXPECT_EQ(CountPrefix(commands, "AT+CPBW=69,\"30\""), 1);
    EXPECT_EQ(CountPrefix(commands, "AT+CPBW=65"), 1);
    EXPECT_EQ(CountPrefix(commands, "AT+CPBW="), 2);

    const CUnitState unit = f.Unit().State();
    EXPECT_EQ(unit.messages.at(3).text, "Door open");
    EXPECT_EQ(unit.messages.size(), 28u);
    EXPECT_TRUE(f.View().Find("PlugDialog"));
    EXPECT_FALSE(f.Sequencer().IsOpen());
    // The new values stay for the next unit.
    EXPECT_EQ(Cell(f.Model().SmsTable(), 2, 4), "Door open");
}

TEST(UnitSequencerWrite, AWriteMarkedAccessNumberIsWritten) {
    SequencerFixture f("unit-me.json");
    ASSERT_TRUE(f.Connect());
    f.Model().PhoneBookTable().setData(7, 2, "+46709998877");
    f.Model().PhoneBookTable().setData(7, 3, "X");
    f.ClearCommands();
    ASSERT_TRUE(f.Sequencer().Write(false));
    ASSERT_TRUE(f.WaitForEnd());
    ASSERT_EQ(f.View().outcome, ERunOutcome::written);
    EXPECT_EQ(f.Unit().State().phonebooks.at("ME").entries.at(8).number, "+46709998877");
    EXPECT_EQ(CountPrefix(f.UnitCommands(), "AT+CMGW="), 0);
}

TEST(UnitSequencerWrite, AnotherStorageIndexFallsBackToRewritingEveryMessageInOrder) {
    SequencerFixture f("unit-me.json");
    ASSERT_TRUE(f.Connect());
    f.Model().SmsTable().setData(0, 4, "Changed");
    f.Unit().SetStoreIndexFault(1);
    f.ClearCommands();
    ASSERT_TRUE(f.Sequencer().Write(false));
    ASSERT_TRUE(f.WaitForEnd(std::chrono::seconds(60)));
    ASSERT_EQ(f.View().outcome, ERunOutcome::written) << ::testing::PrintToString(f.View().events);
    EXPECT_FALSE(f.View().Find("Error: "));

    const Strings commands = f.UnitCommands();
    EXPECT_EQ(CountPrefix(commands, "AT+CMGW="), 1 + 28);
    // Indexes 1 to 28 hold the messages in row order again. (The stray copy the module put
    // at another index stays where it went: only indexes 1 to 28 are the unit's.)
    const CUnitState unit = f.Unit().State();
    for (int index = 1; index <= 28; ++index) {
        ASSERT_TRUE(unit.messages.count(index)) << index;
    }
    EXPECT_EQ(unit.messages.at(1).text, "Changed");
    EXPECT_EQ(unit.messages.at(2).text, "Input 1 high");
    EXPECT_EQ(CountPrefix(commands, "AT+CPBW=65"), 1);
}

TEST(UnitSequencerWrite, InvalidValuesAreRefusedBeforeAnythingIsStoppedOrSent) {
    SequencerFixture f("unit-me.json");
    ASSERT_TRUE(f.Connect());
    f.Model().SmsTable().setData(4, 4, "Tilde ~ here");
    f.ClearCommands();
    EXPECT_FALSE(f.Sequencer().Write(false));
    EXPECT_TRUE(f.View().Find("Error: Some of the new values are not valid"));
    // Still connected, the poll still running, nothing stored.
    EXPECT_TRUE(f.Sequencer().IsOpen());
    const int reports = f.View().signalReports;
    EXPECT_TRUE(f.PumpUntil([&] { return f.View().signalReports > reports; }));
    const Strings commands = f.UnitCommands();
    EXPECT_EQ(CountPrefix(commands, "AT+CMG"), 0);
    EXPECT_EQ(CountPrefix(commands, "AT+CPBW"), 0);
}

TEST(UnitSequencerWrite, AStoreTooSmallForTheSettingsIsRefused) {
    CUnitState state = SequencerFixture::DataState("unit-me.json");
    CPhonebook& me = state.phonebooks.at("ME");
    me.capacity = 64;
    std::erase_if(me.entries, [](const auto& entry) { return entry.first > 64; });
    SequencerFixture f(state);
    ASSERT_TRUE(f.Connect());
    ASSERT_EQ(f.Model().GetPhoneBookSize(), 64);
    EXPECT_FALSE(f.Sequencer().Write(false));
    EXPECT_TRUE(f.View().Find("Error: Some of the new values are not valid"));
    EXPECT_EQ(CountPrefix(f.UnitCommands(), "AT+CPBW"), 0);
}

TEST(UnitSequencerWrite, AnAdapterPulledOutMidWriteEndsTheRunWithThePortsMessage) {
    SequencerFixture f("unit-me.json");
    ASSERT_TRUE(f.Connect());
    f.Model().SmsTable().setData(0, 4, "Changed");
    f.Unit().SetStoreIndexFault(1);
    f.Unit().SetHangUpAfter(20);
    ASSERT_TRUE(f.Sequencer().Write(false));
    ASSERT_TRUE(f.WaitForEnd(std::chrono::seconds(30)));
    EXPECT_EQ(f.View().outcome, ERunOutcome::failed);
    const std::optional<std::string> error = f.View().Find("Error: ");
    ASSERT_TRUE(error);
    // Controller name on the second line, the port's own words on a third.
    EXPECT_EQ(std::count(error->begin(), error->end(), '\n'), 2) << *error;
    EXPECT_FALSE(f.Sequencer().IsOpen());
    EXPECT_FALSE(f.Sequencer().IsRunning());
}

// --- Reset and Clear SIM ---------------------------------------------------------------------

TEST(UnitSequencerReset, ErasesBothStoresWritesTheDefaultsAndReadsThemBack) {
    SequencerFixture f("unit-me.json");
    ASSERT_TRUE(f.Connect());
    f.Sequencer().Reset();
    ASSERT_TRUE(f.WaitForEnd(std::chrono::seconds(60)));
    ASSERT_EQ(f.View().outcome, ERunOutcome::ready) << ::testing::PrintToString(f.View().events);

    const CUnitState unit = f.Unit().State();
    EXPECT_TRUE(unit.messages.empty());
    std::map<int, std::string> settings;
    for (const auto& [position, entry] : unit.phonebooks.at("ME").entries) {
        settings[position] = entry.number;
    }
    // Position p holds table row p - 1: active time at 69, relay at 68, ... input 6 at 58.
    const std::map<int, std::string> expected = {{58, "2"}, {59, "2"}, {60, "2"}, {61, "2"},
                                                 {62, "2"}, {63, "2"}, {64, "0"}, {65, "0"},
                                                 {66, "0"}, {67, "0"}, {68, "1"}, {69, "2"}};
    EXPECT_EQ(settings, expected);
    // The read-back shows them as current values.
    EXPECT_EQ(f.Presenter(0).GetValue(ValueKind::Current), "2");
    EXPECT_EQ(f.Presenter(1).GetValue(ValueKind::Current), "1");
    EXPECT_EQ(Cell(f.Model().SmsTable(), 0, 1), "");
    EXPECT_TRUE(f.Sequencer().IsOpen());
}

TEST(UnitSequencerClearSim, AModuleConfiguredUnitKeepsItsConfiguration) {
    CUnitState state = SequencerFixture::DataState("unit-me.json");
    const CPhonebook moduleStore = state.phonebooks.at("ME");
    ASSERT_FALSE(state.phonebooks.at("SM").entries.empty());
    SequencerFixture f(state);
    ASSERT_TRUE(f.Connect());
    f.Sequencer().ClearSim();
    ASSERT_TRUE(f.WaitForEnd(std::chrono::seconds(60)));
    ASSERT_EQ(f.View().outcome, ERunOutcome::ready) << ::testing::PrintToString(f.View().events);
    const CUnitState unit = f.Unit().State();
    EXPECT_TRUE(unit.phonebooks.at("SM").entries.empty());
    EXPECT_EQ(unit.phonebooks.at("ME"), moduleStore);
    EXPECT_EQ(f.Sequencer().GetStoreFlag(), 0);
    EXPECT_EQ(f.Model().GetPhoneBookSize(), 100);
    EXPECT_EQ(Cell(f.Model().PhoneBookTable(), 0, 1), "+46701234567");
}

TEST(UnitSequencerClearSim, ASimConfiguredUnitLosesItsConfigurationAndAsksForARestartNextTime) {
    SequencerFixture f("unit-demo.json");
    ASSERT_TRUE(f.Connect());
    f.Sequencer().ClearSim();
    ASSERT_TRUE(f.WaitForEnd(std::chrono::seconds(60)));
    ASSERT_EQ(f.View().outcome, ERunOutcome::ready);
    EXPECT_TRUE(f.Unit().State().phonebooks.at("SM").entries.empty());
    EXPECT_EQ(Cell(f.Model().PhoneBookTable(), 63, 1), "");

    f.Sequencer().Disconnect();
    ASSERT_TRUE(f.Connect());
    EXPECT_EQ(f.View().outcome, ERunOutcome::restartUnit);
}
