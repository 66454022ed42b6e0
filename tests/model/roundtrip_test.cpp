#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "atcomm/controllerreadphonebook.h"
#include "atcomm/controllerreadsms.h"
#include "atcomm/controllerwritephonebook.h"
#include "atcomm/controllerwritesms.h"
#include "model/configurationmodel.h"
#include "presenterdouble.h"
#include "support/unitfixture.h"

// The model's providers and collectors driven by the real controllers against the simulated
// unit, as the connect and write sequences use them.

namespace {

using L = CUnitLayout;
using Strings = std::vector<std::string>;

CStoredSms Stored(const std::string& address, const std::string& text) {
    CStoredSms sms;
    sms.address = address;
    sms.text = text;
    return sms;
}

class ModelRoundTripTest : public ::testing::Test {
protected:
    ModelRoundTripTest() { model.SetPresenters(presenters.Lent()); }

    TVTListData& Sms() { return model.SmsTable(); }
    TVTListData& Book() { return model.PhoneBookTable(); }

    CConfigurationModel model;
    PresenterSet presenters;
};

TEST_F(ModelRoundTripTest, PhoneBookReadFillsTheModelAndWriteSendsTheMarkedEntries) {
    CUnitState state = UnitFixture::ConfiguredState();
    auto& entries = state.phonebooks["SM"].entries;
    entries[3] = {"+46701", 145, "ACCESS"};
    entries[70] = {"+46770", 145, "ACCESS"};
    entries[250] = {"+462500", 145, "ACCESS"};
    const std::map<int, std::string> settings = {{58, "16"}, {59, "15"}, {60, "14"}, {61, "13"},
                                                 {62, "12"}, {63, "11"}, {64, "1"},  {65, "5"},
                                                 {66, "1"},  {67, "0"},  {68, "3"},  {69, "30"}};
    for (const auto& [position, value] : settings) {
        entries[position] = {value, 129, ""};
    }
    UnitFixture fixture(state);

    model.PhoneBookCollector()->Reset();
    auto read = MakeRef<CControllerReadPhoneBook>(model.PhoneBookCollector());
    ASSERT_TRUE(fixture.RunToFinish(read));
    ASSERT_EQ(read->GetResult(), IController::resultOk);
    EXPECT_EQ(fixture.Commands(), Strings{"AT+CPBR=1,250"});
    model.ApplyReadSettings();

    EXPECT_EQ(Book().getData(2, L::kPhoneBookCurrentNumberColumn), "+46701");
    // Access number 58 as the grid shows it.
    EXPECT_EQ(Book().getData(L::AccessGridRowToTableRow(57), L::kPhoneBookCurrentNumberColumn),
              "+46770");
    EXPECT_EQ(Book().getData(249, L::kPhoneBookCurrentNumberColumn), "+462500");
    EXPECT_EQ(presenters.activeTime->GetValue(ValueKind::Current), "30");
    EXPECT_EQ(presenters.accessControl->GetValue(ValueKind::Current), "1");
    EXPECT_EQ(presenters.delays[5]->GetValue(ValueKind::Current), "16");
    EXPECT_EQ(Sms().getData(10, L::kSmsNewCallColumn), "X");
    EXPECT_EQ(Sms().getData(4, L::kSmsNewCallColumn), "");
    EXPECT_EQ(model.GetCallMask(), 5);

    // A new access number 58, another active relay, and input 3 no longer calls.
    const int32_t row = L::AccessGridRowToTableRow(57);
    Book().setData(row, L::kPhoneBookNewNumberColumn, "+46999");
    Book().setData(row, L::kPhoneBookWriteColumn, "X");
    presenters.activeRelay->SetNewValue("2");
    Sms().setData(8, L::kSmsNewCallColumn, "");
    ASSERT_TRUE(model.ValidateNewValues(true));
    model.PrepareSettingsForWriting();

    fixture.ClearCommands();
    model.PhoneBookProvider()->Reset();
    auto write = MakeRef<CControllerWritePhoneBook>(model.PhoneBookProvider());
    ASSERT_TRUE(fixture.RunToFinish(write));
    ASSERT_EQ(write->GetResult(), IController::resultOk);
    EXPECT_EQ(fixture.Commands(), (Strings{"AT+CPBW=65,\"1\",129,\"\"", "AT+CPBW=68,\"2\",129,\"\"",
                                           "AT+CPBW=70,\"+46999\",145,\"ACCESS\""}));
    const auto& written = fixture.Unit().State().phonebooks.at("SM").entries;
    EXPECT_EQ(written.at(65), (CPhonebookEntry{"1", 129, ""}));
    EXPECT_EQ(written.at(68), (CPhonebookEntry{"2", 129, ""}));
    EXPECT_EQ(written.at(70), (CPhonebookEntry{"+46999", 145, "ACCESS"}));
    EXPECT_EQ(written.at(3), (CPhonebookEntry{"+46701", 145, "ACCESS"}));
}

TEST_F(ModelRoundTripTest, SmsReadFillsTheRowsOfTheStorageIndexes) {
    CUnitState state = UnitFixture::ConfiguredState();
    state.messages[1] = Stored("+4611", "Alarm one");
    state.messages[5] = Stored("+4615", "Five");
    state.messages[28] = Stored("", "Power fail");
    // A message the unit does not use.
    state.messages[30] = Stored("+4630", "Beyond");
    UnitFixture fixture(state);

    model.SmsCollector()->Reset();
    auto read = MakeRef<CControllerReadSms>(model.SmsCollector());
    ASSERT_TRUE(fixture.RunToFinish(read));
    ASSERT_EQ(read->GetResult(), IController::resultOk);
    Strings texts;
    Strings numbers;
    for (int32_t row : {0, 1, 4, 27}) {
        texts.push_back(Sms().getData(row, L::kSmsCurrentTextColumn));
        numbers.push_back(Sms().getData(row, L::kSmsCurrentNumberColumn));
    }
    EXPECT_EQ(texts, (Strings{"Alarm one", "", "Five", "Power fail"}));
    EXPECT_EQ(numbers, (Strings{"+4611", "", "+4615", ""}));
    EXPECT_EQ(Sms().rowCount(), 28);
}

TEST_F(ModelRoundTripTest, FullSmsWriteStoresAllTwentyEightInIndexOrder) {
    CUnitState state = UnitFixture::ConfiguredState();
    // Beyond the alarm messages: the store's lowest free indexes are still 1 to 28.
    state.messages[30] = Stored("+4630", "Beyond");
    UnitFixture fixture(state);
    // Current values as a read left them, and the user's changes.
    Sms().setData(0, L::kSmsCurrentTextColumn, "Alarm one");
    Sms().setData(0, L::kSmsCurrentNumberColumn, "+4611");
    Sms().setData(4, L::kSmsCurrentTextColumn, "Five");
    Sms().setData(4, L::kSmsCurrentNumberColumn, "+4615");
    Sms().setData(27, L::kSmsCurrentTextColumn, "Power fail");
    Sms().setData(1, L::kSmsNewTextColumn, "Two \xE4!");
    Sms().setData(4, L::kSmsDeleteColumn, "X");
    Sms().setData(27, L::kSmsNewNumberColumn, "+46999");
    ASSERT_TRUE(model.ValidateNewValues(true));

    model.SmsProvider()->Reset();
    auto write = MakeRef<CControllerWriteSms>(model.SmsProvider());
    ASSERT_TRUE(fixture.RunToFinish(write));
    ASSERT_EQ(write->GetResult(), IController::resultOk);
    const auto& messages = fixture.Unit().State().messages;
    EXPECT_EQ(messages.size(), 29u);
    EXPECT_EQ(messages.at(30).text, "Beyond");

    // Read back into the current side, the table shows what the write meant to store.
    model.ClearCurrentValues();
    model.SmsCollector()->Reset();
    auto readBack = MakeRef<CControllerReadSms>(model.SmsCollector());
    ASSERT_TRUE(fixture.RunToFinish(readBack));
    ASSERT_EQ(readBack->GetResult(), IController::resultOk);
    Strings texts;
    Strings numbers;
    for (int32_t row : {0, 1, 2, 4, 27}) {
        texts.push_back(Sms().getData(row, L::kSmsCurrentTextColumn));
        numbers.push_back(Sms().getData(row, L::kSmsCurrentNumberColumn));
    }
    EXPECT_EQ(texts, (Strings{"Alarm one", "Two \xE4!", "", "", "Power fail"}));
    EXPECT_EQ(numbers, (Strings{"+4611", "", "", "", "+46999"}));
}

}  // namespace
