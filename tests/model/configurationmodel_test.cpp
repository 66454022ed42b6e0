#include "model/configurationmodel.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "modeltestutil.h"
#include "storingpresenters.h"

namespace {

using L = CUnitLayout;
using Strings = std::vector<std::string>;

class ConfigurationModelTest : public ::testing::Test {
protected:
    ConfigurationModelTest() { model.SetPresenters(presenters.Lent()); }

    TVTListData& Sms() { return model.SmsTable(); }
    TVTListData& Book() { return model.PhoneBookTable(); }
    CConfigurationModel model;
    CStoringPresenters presenters;
};

TEST_F(ConfigurationModelTest, AccessNumbersSkipTheSettingPositionsAndFollowTheSize) {
    EXPECT_EQ(model.GetAccessNumberCount(), 238);
    const std::pair<int32_t, int32_t> positions[] = {{1, 1}, {57, 57}, {58, 70}, {238, 250}};
    for (const auto& [number, position] : positions) {
        EXPECT_EQ(L::AccessNumberPosition(number), position) << number;
    }
    // Grid row 57 shows access number 58, whose entry is table row 69.
    EXPECT_EQ(L::AccessGridRowToTableRow(57), 69);
    EXPECT_EQ(Book().getData(237, L::kPhoneBookLabelColumn), "238");
    EXPECT_EQ(Book().getData(238, L::kPhoneBookLabelColumn), "");
    EXPECT_EQ(L::AlarmGridRowToTableRow(6, 3), 27);
    EXPECT_EQ(Sms().rowCount(), 28);

    model.SetPhoneBookSize(100);
    EXPECT_EQ(model.GetAccessNumberCount(), 88);
    EXPECT_EQ(Book().getData(87, L::kPhoneBookLabelColumn), "88");
    EXPECT_EQ(model.PhoneBookCollector()->Last(), 100);
    EXPECT_EQ(model.PhoneBookDeleteProvider()->Last(), 100);
    for (int32_t position : {100, 101, 250}) {
        Book().setData(position - 1, L::kPhoneBookWriteColumn, "X");
    }
    EXPECT_EQ(Offered(*model.PhoneBookProvider()), Strings{"100="});
    // A store too small for the settings leaves no access numbers, never a negative count.
    model.SetPhoneBookSize(5);
    EXPECT_EQ(model.GetAccessNumberCount(), 0);
}

TEST_F(ConfigurationModelTest, CallMaskCountsOnlyTheNewMarkOnTheFirstRowOfEachInput) {
    // Inputs 1 and 3 by their first rows; input 2 only on its second row, input 4 on its
    // fourth (as a profile can leave them); a current mark plays no part.
    for (int32_t row : {0, 8, 5, 15}) {
        Sms().setData(row, L::kSmsNewCallColumn, "X");
    }
    Sms().setData(4, L::kSmsCurrentCallColumn, "X");
    EXPECT_EQ(model.GetCallMask(), 5);
    Sms().setData(24, L::kSmsNewCallColumn, "X");
    EXPECT_EQ(model.GetCallMask(), 69);
}

TEST_F(ConfigurationModelTest, PrepareForWritingAlwaysWritesTheCallMaskAndOnlyChangedSettings) {
    // The marks an earlier write or a reset left on unchanged setting rows go: the window
    // shows those settings unchanged, so nothing of them may be sent.
    Book().setData(65, L::kPhoneBookNewNumberColumn, "1");
    Book().setData(68, L::kPhoneBookNewNumberColumn, "7");
    Book().setData(68, L::kPhoneBookWriteColumn, "X");
    model.PrepareSettingsForWriting();
    EXPECT_EQ(Offered(*model.PhoneBookProvider()), Strings{"65=0"});
    EXPECT_EQ(Book().getData(65, L::kPhoneBookNewNumberColumn), "");

    Sms().setData(0, L::kSmsNewCallColumn, "X");
    Sms().setData(8, L::kSmsNewCallColumn, "X");
    presenters[1].SetNewValue("2");
    presenters[10].SetNewValue("9");
    model.PrepareSettingsForWriting();
    EXPECT_EQ(Offered(*model.PhoneBookProvider(), true),
              (Strings{"58=9,129,\"\"", "65=5,129,\"\"", "68=2,129,\"\""}));
}

// --- Validation -------------------------------------------------------------------------------

using R = CInvalidValue::EReason;
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

// A configuration refused names its first cell.
struct ValidationCase {
    const char* name;
    std::vector<Cell> cells;
    std::optional<R> refused;
    bool checkCountryCode = true;
    int32_t phoneBookSize = 250;
    // Settings typed into their presenters (by index), in the window's order.
    std::vector<std::pair<std::size_t, std::string>> typed = {};
};

std::vector<ValidationCase> ValidationCases() {
    const int32_t text = L::kSmsNewTextColumn;
    const int32_t num = L::kSmsNewNumberColumn;
    const int32_t curText = L::kSmsCurrentTextColumn;
    const int32_t curNum = L::kSmsCurrentNumberColumn;
    const int32_t del = L::kSmsDeleteColumn;
    const int32_t pbNew = L::kPhoneBookNewNumberColumn;
    const int32_t write = L::kPhoneBookWriteColumn;
    const std::string injected = "5\",129,\"x";
    const std::string maxNumber = "+" + std::string(19, '1');
    const auto ok = std::nullopt;
    return {
        {"nothing typed", {}, ok},
        {"left brace", {S(9, text, "Door {1}")}, R::forbiddenCharacter},
        {"tilde, check off", {S(0, text, "a~b")}, R::forbiddenCharacter, false},
        {"a with diaeresis", {S(0, text, "G\xE4rd")}, ok},
        // "Ö" is the module's backslash and travels escaped; a typed backslash has no place.
        {"O with diaeresis before hex digits",
         {S(0, text,
            "\xD6"
            "DE")},
         ok},
        {"backslash", {S(0, text, "C:\\")}, R::forbiddenCharacter},
        {"receiver without country code", {S(3, num, "0701234567")}, R::missingCountryCode},
        {"receiver without country code, check off", {S(3, num, "0701")}, ok, false},
        {"access number, check off", {B(3, pbNew, "0701")}, R::missingCountryCode, false},
        {"setting rows", {B(57, pbNew, "7"), B(63, pbNew, "x"), B(68, pbNew, "")}, ok},
        {"access number beyond the store", {B(100, pbNew, "junk")}, ok, true, 100},
        // The store must hold the setting positions.
        {"store of 68 positions", {B(57, pbNew, "")}, R::storeTooSmall, true, 68},
        {"store of 69 positions", {}, ok, true, 69},
        // Texts and numbers must survive the commands that carry them.
        {"Ctrl-Z", {S(5, text, std::string("Fire\x1A") + "AT+CMGD=1")}, R::controlCharacter},
        {"line feed", {S(5, text, "Two\nlines")}, R::controlCharacter},
        {"DEL", {S(5, text, "Del\x7F")}, R::controlCharacter},
        {"161-byte text", {S(27, text, std::string(161, 'a'))}, R::textTooLong},
        {"160-byte text", {S(27, text, std::string(160, 'a'))}, ok},
        {"current text with ESC, resent", {S(7, curText, "Old\x1B")}, R::controlCharacter},
        {"current text with ESC, new text", {S(7, curText, "\x1B"), S(7, text, "New")}, ok},
        {"current text with ESC, deleted", {S(7, curText, "\x1B"), S(7, del, "X")}, ok},
        {"quote in a receiver number", {S(2, num, "+46\"70")}, R::badNumber},
        {"space in an access number", {B(80, pbNew, "+46 701")}, R::badNumber},
        {"21-character number", {B(0, pbNew, maxNumber + "1")}, R::badNumber},
        {"20-character number", {B(0, pbNew, maxNumber)}, ok},
        {"plus alone", {B(0, pbNew, "+")}, R::badNumber},
        {"letter in a receiver number, check off", {S(2, num, "0701x")}, R::badNumber, false},
        {"current receiver number, resent", {S(2, curNum, "+46,70")}, R::badNumber},
        {"current receiver number, deleted", {S(2, curNum, "+46,70"), S(2, del, "X")}, ok},
        // Setting entries carry a small decimal value and nothing else.
        // What an earlier write, a reset or a profile left on the setting rows is never sent:
        // the write derives their marks afresh from the presenters.
        {"marked setting rows",
         {B(65, pbNew, injected), B(65, write, "X"), B(60, pbNew, "1000"), B(60, write, "X")},
         ok},
        {"marked setting row, changed presenter",
         {B(65, pbNew, injected), B(65, write, "X")},
         ok,
         true,
         250,
         {{4, "1"}}},
        {"marked call mask, recomputed", {B(64, pbNew, injected), B(64, write, "X")}, ok},
        {"presenter value no plain number",
         {B(60, pbNew, "")},
         R::badSettingValue,
         true,
         250,
         {{7, " 12"}}},
        {"presenter value of four digits",
         {B(60, pbNew, "")},
         R::badSettingValue,
         true,
         250,
         {{7, "1000"}}},
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
        CStoringPresenters presenters;
        model.SetPresenters(presenters.Lent());
        model.SetPhoneBookSize(c.phoneBookSize);
        for (const Cell& cell : c.cells) {
            (cell.table == Table::sms ? model.SmsTable() : model.PhoneBookTable())
                .setData(cell.row, cell.column, cell.text);
        }
        for (const auto& [index, value] : c.typed) {
            presenters[index].SetNewValue(value);
        }
        std::optional<CInvalidValue> expected;
        if (c.refused) {
            const Cell& at = c.cells.front();
            expected = CInvalidValue{at.table, at.row, at.column, *c.refused};
        }
        EXPECT_EQ(Describe(model.FindInvalidValue(c.checkCountryCode)), Describe(expected));
        EXPECT_EQ(model.ValidateNewValues(c.checkCountryCode), !c.refused.has_value());
    }
}

}  // namespace
