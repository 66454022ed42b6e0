#include "ui/activetimegui.h"

#include <QComboBox>
#include <QLineEdit>
#include <string>

#include "presenterfixture.h"

namespace {

class ActiveTimeGuiTest : public PresenterTest {
protected:
    void SetUp() override {
        combo->setEditable(true);
        combo->addItems(CActiveTimeGui::FormItems());
        presenter = Attach<CActiveTimeGui>(current, combo);
        presenter->SetNewValue("2");
        language->SetLanguage("English");
    }

    QLineEdit* current = new QLineEdit(&window);
    QComboBox* combo = new QComboBox(&window);
    CActiveTimeGui* presenter = nullptr;
};

struct UnitCase {
    const char* read;
    const char* currentShows;
    const char* comboShows;
    int selected;  // -1: whatever was selected before
    const char* kept;
};

TEST_F(ActiveTimeGuiTest, UnitValuesAreShownNormalisedOrReplacedByTwo) {
    const UnitCase cases[] = {
        {"0", "Toggle", "Toggle", 0, "0"}, {"300", "", "2", 2, "2"},
        {"255", "", "2", 2, "2"},          {"-1", "", "2", 2, "2"},
        {"abc", "", "2", 2, "2"},          {"007", "7", "7", -1, "7"},
        {"254", "254", "254", -1, "254"},  {"$1E", "30", "30", -1, "30"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.read);
        presenter->SetNewValue("15");
        std::string text = c.read;
        presenter->ShowUnitValue(text);
        EXPECT_EQ(text, c.kept);
        EXPECT_EQ(current->text(), c.currentShows);
        EXPECT_EQ(combo->currentText(), c.comboShows);
        if (c.selected >= 0) {
            EXPECT_EQ(combo->currentIndex(), c.selected);
        }
        EXPECT_EQ(presenter->GetValue(ValueKind::Current), c.kept);
        EXPECT_EQ(presenter->GetValue(ValueKind::New), c.kept);
        EXPECT_FALSE(presenter->IsChanged());
    }
}

TEST_F(ActiveTimeGuiTest, AnEmptyUnitValueClearsTheCurrentSideOnly) {
    presenter->ShowUnitValue("30");
    presenter->SetNewValue("15");
    presenter->ShowUnitValue("");
    EXPECT_EQ(current->text(), "");
    EXPECT_EQ(combo->currentText(), "15");
    EXPECT_EQ(presenter->GetValue(ValueKind::Current), "");
    EXPECT_EQ(presenter->GetValue(ValueKind::New), "");
}

TEST_F(ActiveTimeGuiTest, NewValuesOutsideTheRangeBecomeZero) {
    presenter->ShowUnitValue("30");
    const struct {
        const char* typed;
        const char* comboShows;
        const char* kept;
    } cases[] = {
        {"15", "15", "15"},   {"0", "Toggle", "0"},  {"Toggle", "0", "0"},
        {"255", "0", "0"},    {"-3", "0", "0"},      {"", "0", "0"},
        {"0x0A", "10", "10"}, {"254", "254", "254"}, {" 120", "120", "120"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        presenter->SetNewValue("15");
        std::string text = c.typed;
        presenter->SetNewValue(text);
        EXPECT_EQ(text, c.kept);
        EXPECT_EQ(combo->currentText(), c.comboShows);
        EXPECT_EQ(presenter->GetValue(ValueKind::New), c.kept);
        EXPECT_EQ(presenter->GetValue(ValueKind::Current), "30");
        EXPECT_EQ(current->text(), "30");
        EXPECT_EQ(presenter->IsChanged(), std::string(c.kept) != "30");
    }
}

TEST_F(ActiveTimeGuiTest, LanguageSwitchTranslatesTheToggleItemAndKeepsWhatIsShown) {
    presenter->SetNewValue("0");
    language->SetLanguage("Svenska");
    EXPECT_EQ(combo->itemText(0), Utf8("Växla"));
    EXPECT_EQ(combo->count(), 9);
    EXPECT_EQ(combo->itemText(8), "240");
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(combo->currentText(), Utf8("Växla"));

    // A typed time stays on display after the switch, so leaving the control keeps it rather
    // than turning it into "toggle".
    presenter->SetNewValue("15");
    language->SetLanguage("English");
    EXPECT_EQ(combo->currentText(), "15");
    presenter->SetNewValue(combo->currentText().toStdString());
    EXPECT_EQ(presenter->GetValue(ValueKind::New), "15");

    presenter->SetNewValue("60");
    language->SetLanguage("Svenska");
    EXPECT_EQ(combo->currentText(), "60");
    EXPECT_EQ(presenter->GetValue(ValueKind::New), "60");
}

TEST_F(ActiveTimeGuiTest, ATypedTextInsertedAsAnItemSurvivesTheRefill) {
    // An editable combo box may add what the user typed as an item of its own.
    combo->addItem("17");
    combo->setCurrentIndex(combo->count() - 1);
    presenter->SetNewValue("17");
    language->SetLanguage("Svenska");
    EXPECT_EQ(combo->count(), 9);
    EXPECT_EQ(combo->currentText(), "17");
}

}  // namespace
