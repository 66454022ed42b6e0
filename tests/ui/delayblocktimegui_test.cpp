#include "ui/delayblocktimegui.h"

#include <QLineEdit>
#include <string>

#include "presenterfixture.h"

namespace {

class DelayBlockTimeGuiTest : public PresenterTest {
protected:
    void SetUp() override {
        newEdit->setMaxLength(20);
        presenter = Attach<CDelayBlockTimeGui>(current, newEdit);
        presenter->SetNewValue("2");
    }

    QLineEdit* current = new QLineEdit(&window);
    QLineEdit* newEdit = new QLineEdit(&window);
    CDelayBlockTimeGui* presenter = nullptr;
};

TEST_F(DelayBlockTimeGuiTest, UnitValuesAreKeptAsReadAndShownInTheNewEditOnlyInRange) {
    const struct {
        const char* read;
        const char* newShows;
    } cases[] = {
        {"12", "12"}, {"0", "0"},  {"254", "254"}, {"007", "007"},
        {"300", "9"}, {"-1", "9"}, {"abc", "9"},   {"", "9"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.read);
        presenter->SetNewValue("9");
        std::string text = c.read;
        presenter->ShowUnitValue(text);
        EXPECT_EQ(text, c.read);
        EXPECT_EQ(current->text(), c.read);
        EXPECT_EQ(newEdit->text(), c.newShows);
        EXPECT_EQ(presenter->GetValue(ValueKind::Current), c.read);
        EXPECT_EQ(presenter->GetValue(ValueKind::New), c.read);
        EXPECT_FALSE(presenter->IsChanged());
    }
}

TEST_F(DelayBlockTimeGuiTest, ByteTextsFromTheUnitReachTheEditAsTheirCharacters) {
    presenter->ShowUnitValue("5\xE4");
    EXPECT_EQ(current->text(), Utf8("5ä"));
}

TEST_F(DelayBlockTimeGuiTest, ValidNewValuesAreStoredInPlainDecimal) {
    presenter->ShowUnitValue("12");
    for (const char* typed : {" 12", "+12", "$0C", "0x0C", "012"}) {
        SCOPED_TRACE(typed);
        presenter->SetNewValue("5");
        std::string text = typed;
        presenter->SetNewValue(text);
        EXPECT_EQ(text, "12");
        EXPECT_EQ(newEdit->text(), "12");
        EXPECT_EQ(presenter->GetValue(ValueKind::New), "12");
        // The unit holds "12", so nothing is to be written.
        EXPECT_FALSE(presenter->IsChanged());
    }
}

TEST_F(DelayBlockTimeGuiTest, InvalidNewValuesTakeTheCurrentValueOrTwo) {
    const struct {
        const char* unit;
        const char* typed;
        const char* kept;
    } cases[] = {
        {"5", "abc", "5"},   {"5", "255", "5"},   {"5", "-1", "5"},  {"5", "", "5"},
        {"", "abc", "2"},    {"300", "abc", "2"}, {"x", "abc", "2"}, {"$0F", "abc", "15"},
        {"5", "254", "254"}, {"5", "0", "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.unit) + " / " + c.typed);
        presenter->ShowUnitValue(c.unit);
        std::string text = c.typed;
        presenter->SetNewValue(text);
        EXPECT_EQ(text, c.kept);
        EXPECT_EQ(newEdit->text(), c.kept);
        EXPECT_EQ(presenter->GetValue(ValueKind::New), c.kept);
        EXPECT_EQ(presenter->GetValue(ValueKind::Current), c.unit);
        EXPECT_EQ(current->text(), c.unit);
    }
}

TEST_F(DelayBlockTimeGuiTest, LanguageSwitchLeavesTheEdits) {
    presenter->ShowUnitValue("7");
    presenter->SetNewValue("8");
    language->SetLanguage("Svenska");
    EXPECT_EQ(current->text(), "7");
    EXPECT_EQ(newEdit->text(), "8");
    EXPECT_EQ(presenter->GetValue(ValueKind::New), "8");
}

}  // namespace
