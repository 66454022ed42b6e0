#include "model/configurationmodel.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "modeltestutil.h"
#include "persistence/applanguage.h"
#include "presenterdouble.h"

namespace {

using L = CUnitLayout;
using Strings = std::vector<std::string>;
using Positions = std::vector<int32_t>;

class MapLoader : public ILanguageLoader {
public:
    explicit MapLoader(std::map<std::string, std::string> texts) : texts(std::move(texts)) {}
    void Load(const std::string& /*language*/) override {}
    std::string GetText(const std::string& key) const override {
        const auto found = texts.find(key);
        return found == texts.end() ? key : found->second;
    }
    void GetLanguages(std::vector<std::string>& list) const override { list.clear(); }

private:
    std::map<std::string, std::string> texts;
};

// Rows of the SMS table whose column holds a mark.
std::vector<int32_t> MarkedRows(const TVTListData& table, int32_t column) {
    std::vector<int32_t> rows;
    for (int32_t row = 0; row < L::kMessageCount; ++row) {
        if (!table.getData(row, column).empty()) {
            rows.push_back(row);
        }
    }
    return rows;
}

class ConfigurationModelTest : public ::testing::Test {
protected:
    ConfigurationModelTest() { model.SetPresenters(presenters.Lent()); }

    TVTListData& Sms() { return model.SmsTable(); }
    TVTListData& Book() { return model.PhoneBookTable(); }
    void SetUnitValue(int32_t position, const std::string& value) {
        Book().setData(position - 1, L::kPhoneBookCurrentNumberColumn, value);
    }
    Positions MarkedPositions() {
        model.PhoneBookProvider()->Reset();
        return OfferedPositions(*model.PhoneBookProvider());
    }

    CConfigurationModel model;
    PresenterSet presenters;
};

TEST_F(ConfigurationModelTest, AccessNumbersSkipTheSettingPositions) {
    EXPECT_EQ(model.GetPhoneBookSize(), 250);
    EXPECT_EQ(model.GetAccessNumberCount(), 238);
    EXPECT_EQ(L::AccessNumberPosition(1), 1);
    EXPECT_EQ(L::AccessNumberPosition(57), 57);
    EXPECT_EQ(L::AccessNumberPosition(58), 70);
    EXPECT_EQ(L::AccessNumberPosition(238), 250);
    // Grid row 57 shows access number 58, whose entry is table row 69.
    EXPECT_EQ(L::AccessGridRowToTableRow(56), 56);
    EXPECT_EQ(L::AccessGridRowToTableRow(57), 69);
    EXPECT_EQ(Book().getData(0, L::kPhoneBookLabelColumn), "1");
    EXPECT_EQ(Book().getData(237, L::kPhoneBookLabelColumn), "238");
    EXPECT_EQ(Book().getData(238, L::kPhoneBookLabelColumn), "");
    EXPECT_EQ(L::AlarmGridRowToTableRow(6, 3), 27);
    // The smart writer's progress runs over the SMS table's rows.
    EXPECT_EQ(Sms().rowCount(), 28);
    EXPECT_EQ(L::AlarmInput(28), L::kExternalPowerInput);
}

TEST_F(ConfigurationModelTest, PhoneBookSizeReachesTheGridAndTheProviders) {
    model.SetPhoneBookSize(100);
    EXPECT_EQ(model.GetAccessNumberCount(), 88);
    EXPECT_EQ(Book().getData(87, L::kPhoneBookLabelColumn), "88");
    EXPECT_EQ(model.PhoneBookCollector()->Last(), 100);
    EXPECT_EQ(model.PhoneBookProvider()->Last(), 100);
    EXPECT_EQ(model.PhoneBookDeleteProvider()->Last(), 100);
    for (int32_t position : {100, 101, 250}) {
        Book().setData(position - 1, L::kPhoneBookWriteColumn, "X");
    }
    EXPECT_EQ(MarkedPositions(), Positions{100});

    // A store too small for the settings leaves no access numbers, never a negative count.
    model.SetPhoneBookSize(5);
    EXPECT_EQ(model.GetAccessNumberCount(), 0);
    EXPECT_EQ(L::AccessNumberCount(0), 0);
}

TEST_F(ConfigurationModelTest, ReceiverLabelsComeFromTheLanguage) {
    CAppLanguage language(std::make_unique<MapLoader>(
        std::map<std::string, std::string>{{"HIGH", "Hi"}, {"LOW", "Lo"}, {"OK", "Up"}}));
    model.LabelReceivers(language);
    Strings labels;
    for (int32_t row : {0, 1, 2, 3, 4, 23, 24, 25, 26, 27}) {
        labels.push_back(Sms().getData(row, L::kSmsReceiverColumn));
    }
    // A key without a text gives the key itself.
    EXPECT_EQ(labels, (Strings{"1 Hi", "2 Hi", "1 Lo", "2 Lo", "1 Hi", "2 Lo", "1 Up", "2 Up",
                               "1 FAIL", "2 FAIL"}));
}

TEST_F(ConfigurationModelTest, CallMaskReadFromTheUnitSetsTheMarksOfWholeInputs) {
    const std::vector<std::pair<std::string, std::vector<int32_t>>> cases = {
        {"5", {0, 1, 2, 3, 8, 9, 10, 11}},
        {"64", {24, 25, 26, 27}},
        {"", {}},
        {"abc", {}},
    };
    for (const auto& [value, rows] : cases) {
        SCOPED_TRACE(value);
        model.ApplyCallMask(127);
        SetUnitValue(L::kCallMaskPosition, value);
        model.ApplyReadSettings();
        EXPECT_EQ(MarkedRows(Sms(), L::kSmsCurrentCallColumn), rows);
        EXPECT_EQ(MarkedRows(Sms(), L::kSmsNewCallColumn), rows);
    }
}

TEST_F(ConfigurationModelTest, CallMaskCountsOnlyTheFirstRowOfEachInput) {
    // Inputs 1 and 3 by their first rows; input 2 only on its second row, input 4 on its
    // fourth (as a profile can leave them).
    for (int32_t row : {0, 8, 5, 15}) {
        Sms().setData(row, L::kSmsNewCallColumn, "X");
    }
    EXPECT_EQ(model.GetCallMask(), 5);
    Sms().setData(24, L::kSmsNewCallColumn, "X");
    EXPECT_EQ(model.GetCallMask(), 69);
    // The current marks play no part.
    model.ApplyCallMask(0);
    Sms().setData(4, L::kSmsCurrentCallColumn, "X");
    EXPECT_EQ(model.GetCallMask(), 0);
}

TEST_F(ConfigurationModelTest, ReadSettingsReachTheirPresentersInOrder) {
    const std::map<int32_t, std::string> unit = {{58, "16"}, {59, "15"}, {60, "14"}, {61, "13"},
                                                 {62, "12"}, {63, "11"}, {64, "1"},  {65, "0"},
                                                 {66, "1"},  {67, "0"},  {68, "3"},  {69, "30"}};
    for (const auto& [position, value] : unit) {
        SetUnitValue(position, value);
    }
    presenters.log.clear();
    model.ApplyReadSettings();
    EXPECT_EQ(presenters.log, (PresenterDouble::Log{{"activeTime", "30"},
                                                    {"activeRelay", "3"},
                                                    {"smsAck", "0"},
                                                    {"inputBehaviour", "1"},
                                                    {"accessControl", "1"},
                                                    {"delay1", "11"},
                                                    {"delay2", "12"},
                                                    {"delay3", "13"},
                                                    {"delay4", "14"},
                                                    {"delay5", "15"},
                                                    {"delay6", "16"}}));
}

TEST_F(ConfigurationModelTest, PrepareForWritingAlwaysWritesTheCallMaskAndOnlyChangedSettings) {
    // A value a profile left on an unchanged setting row stays, unmarked.
    Book().setData(65, L::kPhoneBookNewNumberColumn, "1");
    model.PrepareSettingsForWriting();
    EXPECT_EQ(MarkedPositions(), Positions{65});
    EXPECT_EQ(Book().getData(64, L::kPhoneBookNewNumberColumn), "0");
    EXPECT_EQ(Book().getData(65, L::kPhoneBookNewNumberColumn), "1");

    Sms().setData(0, L::kSmsNewCallColumn, "X");
    Sms().setData(8, L::kSmsNewCallColumn, "X");
    presenters.activeRelay->SetNewValue("2");
    presenters.delays[5]->SetNewValue("9");
    model.PrepareSettingsForWriting();
    model.PhoneBookProvider()->Reset();
    EXPECT_EQ(Offered(*model.PhoneBookProvider()),
              (std::vector<OfferedEntry>{
                  {58, "9", "129", ""}, {65, "5", "129", ""}, {68, "2", "129", ""}}));
}

TEST_F(ConfigurationModelTest, ResetValuesLeavesAnEmptyConfigurationWithDefaultSettings) {
    for (int32_t row = 0; row < L::kMessageCount; ++row) {
        for (int32_t column = 0; column < L::kSmsColumnCount; ++column) {
            Sms().setData(row, column, "v");
        }
    }
    for (int32_t row = 0; row <= 250; ++row) {
        for (int32_t column = 1; column < L::kPhoneBookColumnCount; ++column) {
            Book().setData(row, column, "v");
        }
    }
    model.ResetValues();

    for (int32_t row = 0; row < L::kMessageCount; ++row) {
        Strings cells;
        for (int32_t column = 0; column < L::kSmsColumnCount; ++column) {
            cells.push_back(Sms().getData(row, column));
        }
        // Labels, current call marks and delete marks stay.
        EXPECT_EQ(cells, (Strings{"v", "", "", "v", "", "", "", "v"})) << "row " << row;
    }
    EXPECT_EQ(Book().getData(250, L::kPhoneBookWriteColumn), "");
    EXPECT_EQ(Book().getData(0, L::kPhoneBookCurrentNumberColumn), "");
    EXPECT_EQ(Book().getData(0, L::kPhoneBookLabelColumn), "1");
    model.PhoneBookProvider()->Reset();
    Strings values;
    for (const OfferedEntry& entry : Offered(*model.PhoneBookProvider())) {
        values.push_back(std::to_string(entry.position) + "=" + entry.number);
    }
    EXPECT_EQ(values, (Strings{"58=2", "59=2", "60=2", "61=2", "62=2", "63=2", "64=0", "65=0",
                               "66=0", "67=0", "68=1", "69=2"}));
}

TEST_F(ConfigurationModelTest, ClearingEmptiesOneSideOnly) {
    Sms().setData(3, L::kSmsCurrentTextColumn, "cur");
    Sms().setData(3, L::kSmsNewTextColumn, "new");
    Sms().setData(3, L::kSmsDeleteColumn, "X");
    Book().setData(249, L::kPhoneBookCurrentNumberColumn, "+1");
    Book().setData(250, L::kPhoneBookWriteColumn, "X");
    Book().setData(249, L::kPhoneBookNewNumberColumn, "+2");

    model.ClearCurrentValues();
    EXPECT_EQ(Sms().getData(3, L::kSmsCurrentTextColumn), "");
    EXPECT_EQ(Sms().getData(3, L::kSmsNewTextColumn), "new");
    EXPECT_EQ(Book().getData(249, L::kPhoneBookCurrentNumberColumn), "");
    EXPECT_EQ(Book().getData(249, L::kPhoneBookNewNumberColumn), "+2");

    model.ClearNewValues();
    EXPECT_EQ(Sms().getData(3, L::kSmsNewTextColumn), "");
    EXPECT_EQ(Sms().getData(3, L::kSmsDeleteColumn), "");
    EXPECT_EQ(Book().getData(249, L::kPhoneBookNewNumberColumn), "");
    // Rows 0 to the phonebook size, both included.
    EXPECT_EQ(Book().getData(250, L::kPhoneBookWriteColumn), "");
}

// --- Validation -------------------------------------------------------------------------------

using Reason = CInvalidValue::EReason;
using Table = CInvalidValue::ETable;

struct Cell {
    Table table;
    int32_t row;
    int32_t column;
    std::string text;
};

Cell S(int32_t row, int32_t column, const std::string& text) {
    return {Table::sms, row, column, text};
}
Cell B(int32_t row, int32_t column, const std::string& text) {
    return {Table::phoneBook, row, column, text};
}

struct ValidationCase {
    const char* name;
    std::vector<Cell> cells;
    // Nothing for a configuration that may be written.
    std::optional<CInvalidValue> expected;
    bool checkCountryCode = true;
    int32_t phoneBookSize = 250;
    // A setting changed in its presenter.
    std::function<void(PresenterSet&)> change = nullptr;
};

std::optional<CInvalidValue> Bad(Table table, int32_t row, int32_t column, Reason reason) {
    return CInvalidValue{table, row, column, reason};
}

constexpr int32_t kText = L::kSmsNewTextColumn;
constexpr int32_t kNum = L::kSmsNewNumberColumn;
constexpr int32_t kCurText = L::kSmsCurrentTextColumn;
constexpr int32_t kCurNum = L::kSmsCurrentNumberColumn;
constexpr int32_t kDel = L::kSmsDeleteColumn;
constexpr int32_t kNew = L::kPhoneBookNewNumberColumn;
constexpr int32_t kWrite = L::kPhoneBookWriteColumn;
constexpr auto kSms = Table::sms;
constexpr auto kBook = Table::phoneBook;

std::vector<ValidationCase> ValidationCases() {
    const std::string injected = "5\",129,\"x";
    return {
        {"nothing typed", {}, std::nullopt},
        {"left brace", {S(9, kText, "Door {1}")}, Bad(kSms, 9, kText, Reason::forbiddenCharacter)},
        {"tilde", {S(0, kText, "a~b")}, Bad(kSms, 0, kText, Reason::forbiddenCharacter), false},
        {"a with diaeresis",
         {S(0, kText,
            "L\xE4"
            "ckage")},
         std::nullopt},
        {"receiver without country code",
         {S(3, kNum, "0701234567")},
         Bad(kSms, 3, kNum, Reason::missingCountryCode)},
        {"receiver without country code, check off",
         {S(3, kNum, "0701234567")},
         std::nullopt,
         false},
        {"access number without country code, check off",
         {B(3, kNew, "0701234567")},
         Bad(kBook, 3, kNew, Reason::missingCountryCode),
         false},
        {"setting rows are no access numbers",
         {B(57, kNew, "7"), B(63, kNew, "x"), B(68, kNew, "")},
         std::nullopt},
        {"access number beyond the store", {B(100, kNew, "junk")}, std::nullopt, true, 100},
        // The store must hold the setting positions.
        {"store of 68 positions", {}, Bad(kBook, 57, kNew, Reason::storeTooSmall), true, 68},
        {"store of 69 positions", {}, std::nullopt, true, 69},
        // Texts and numbers must survive the commands that carry them.
        {"Ctrl-Z",
         {S(5, kText,
            "Fire\x1A"
            "AT+CMGD=1")},
         Bad(kSms, 5, kText, Reason::controlCharacter)},
        {"line feed", {S(5, kText, "Two\nlines")}, Bad(kSms, 5, kText, Reason::controlCharacter)},
        {"DEL", {S(5, kText, "Del\x7F")}, Bad(kSms, 5, kText, Reason::controlCharacter)},
        {"161-byte text",
         {S(27, kText, std::string(161, 'a'))},
         Bad(kSms, 27, kText, Reason::textTooLong)},
        {"160-byte text", {S(27, kText, std::string(160, 'a'))}, std::nullopt},
        {"current text with ESC, resent by a full write",
         {S(7, kCurText, "Old\x1B")},
         Bad(kSms, 7, kCurText, Reason::controlCharacter)},
        {"current text with ESC, new text typed",
         {S(7, kCurText, "Old\x1B"), S(7, kText, "New")},
         std::nullopt},
        {"current text with ESC, marked for deletion",
         {S(7, kCurText, std::string(200, '\x1B')), S(7, kDel, "X")},
         std::nullopt},
        {"quote in a receiver number",
         {S(2, kNum, "+46\"70")},
         Bad(kSms, 2, kNum, Reason::badNumber)},
        {"quote in an access number",
         {B(80, kNew, "+4670\"")},
         Bad(kBook, 80, kNew, Reason::badNumber)},
        {"space in an access number",
         {B(0, kNew, "+46 701")},
         Bad(kBook, 0, kNew, Reason::badNumber)},
        {"21-character number",
         {B(0, kNew, "+" + std::string(20, '1'))},
         Bad(kBook, 0, kNew, Reason::badNumber)},
        {"20-character number", {B(0, kNew, "+" + std::string(19, '1'))}, std::nullopt},
        {"plus alone", {B(0, kNew, "+")}, Bad(kBook, 0, kNew, Reason::badNumber)},
        {"letter in a receiver number, check off",
         {S(2, kNum, "0701x")},
         Bad(kSms, 2, kNum, Reason::badNumber),
         false},
        {"current receiver number resent by a full write",
         {S(2, kCurNum, "+46,70")},
         Bad(kSms, 2, kCurNum, Reason::badNumber)},
        {"current receiver number marked for deletion",
         {S(2, kCurNum, "+46,70"), S(2, kDel, "X")},
         std::nullopt},
        // Setting entries carry a small decimal value and nothing else.
        {"marked setting row with an injected entry",
         {B(65, kNew, injected), B(65, kWrite, "X")},
         Bad(kBook, 65, kNew, Reason::badSettingValue)},
        {"marked setting row with four digits",
         {B(60, kNew, "1000"), B(60, kWrite, "X")},
         Bad(kBook, 60, kNew, Reason::badSettingValue)},
        {"marked setting row left empty",
         {B(60, kWrite, "X")},
         Bad(kBook, 60, kNew, Reason::badSettingValue)},
        {"unmarked setting row", {B(65, kNew, injected)}, std::nullopt},
        {"marked setting row replaced by its changed presenter",
         {B(65, kNew, injected), B(65, kWrite, "X")},
         std::nullopt,
         true,
         250,
         [](PresenterSet& p) { p.inputBehaviour->SetNewValue("1"); }},
        {"marked call mask row, always recomputed",
         {B(64, kNew, injected), B(64, kWrite, "X")},
         std::nullopt},
        {"changed presenter with a value that is no plain number",
         {},
         Bad(kBook, 60, kNew, Reason::badSettingValue),
         true,
         250,
         [](PresenterSet& p) { p.delays[2]->SetNewValue(" 12"); }},
    };
}

std::string Describe(const std::optional<CInvalidValue>& value) {
    if (!value) {
        return "valid";
    }
    return std::string(value->table == Table::sms ? "sms" : "phonebook") + " row " +
           std::to_string(value->row) + " column " + std::to_string(value->column) + " reason " +
           std::to_string(static_cast<int>(value->reason));
}

TEST(ConfigurationModelValidationTest, RefusesEveryValueThatCannotBeSentAsItIs) {
    for (const ValidationCase& c : ValidationCases()) {
        SCOPED_TRACE(c.name);
        CConfigurationModel model;
        PresenterSet presenters;
        model.SetPresenters(presenters.Lent());
        model.SetPhoneBookSize(c.phoneBookSize);
        for (const Cell& cell : c.cells) {
            TVTListData& table =
                cell.table == Table::sms ? model.SmsTable() : model.PhoneBookTable();
            table.setData(cell.row, cell.column, cell.text);
        }
        if (c.change) {
            c.change(presenters);
        }
        EXPECT_EQ(Describe(model.FindInvalidValue(c.checkCountryCode)), Describe(c.expected));
        EXPECT_EQ(model.ValidateNewValues(c.checkCountryCode), !c.expected.has_value());
    }
}

TEST(ConfigurationModelValidationTest, ResetValuesMayBeWritten) {
    CConfigurationModel model;
    model.SmsTable().setData(0, L::kSmsNewTextColumn, "{");
    model.PhoneBookTable().setData(0, L::kPhoneBookNewNumberColumn, "x");
    model.ResetValues();
    EXPECT_TRUE(model.ValidateNewValues(true));
}

}  // namespace
