#include <QComboBox>
#include <QLineEdit>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>

#include "presenterfixture.h"
#include "ui/accesscontrolgui.h"
#include "ui/activerelaygui.h"
#include "ui/inputbehaviourgui.h"
#include "ui/smsackgui.h"

namespace {

// One drop-down list presenter with its controls, the list filled as the form fills it.
struct ListUnderTest {
    const char* name;
    std::function<IGuiHelper*(PresenterTest&, QLineEdit*, QComboBox*)> make;
    QStringList formItems;
    QStringList englishItems;
    QStringList swedishItems;
    int unitFallback;
    int newFallback;
};

template <class T>
IGuiHelper* Make(PresenterTest& test, QLineEdit* current, QComboBox* combo) {
    return test.Attach<T>(current, combo);
}

class DropDownGuiTest : public PresenterTest, public ::testing::WithParamInterface<ListUnderTest> {
protected:
    void SetUp() override {
        combo->addItems(GetParam().formItems);
        presenter = GetParam().make(*this, current, combo);
        presenter->SetNewValue("0");
    }

    int Count() const { return static_cast<int>(GetParam().formItems.size()); }

    QLineEdit* current = new QLineEdit(&window);
    QComboBox* combo = new QComboBox(&window);
    IGuiHelper* presenter = nullptr;
};

TEST_P(DropDownGuiTest, UnitValuesSelectTheirItemAndInvalidOnesTheUnitFallback) {
    const ListUnderTest& list = GetParam();
    for (int n = 0; n < Count(); ++n) {
        SCOPED_TRACE(n);
        presenter->ShowUnitValue(std::to_string(n));
        EXPECT_EQ(combo->currentIndex(), n);
        EXPECT_EQ(current->text(), list.formItems[n]);
        EXPECT_EQ(presenter->GetValue(ValueKind::Current), std::to_string(n));
        EXPECT_FALSE(presenter->IsChanged());
    }
    for (const std::string& read :
         {std::to_string(Count()), std::string("7"), std::string("-1"), std::string("abc")}) {
        SCOPED_TRACE(read);
        std::string text = read;
        presenter->ShowUnitValue(text);
        const std::string fallback = std::to_string(list.unitFallback);
        EXPECT_EQ(text, fallback);
        EXPECT_EQ(current->text(), "");
        EXPECT_EQ(combo->currentIndex(), list.unitFallback);
        EXPECT_EQ(presenter->GetValue(ValueKind::Current), fallback);
        EXPECT_EQ(presenter->GetValue(ValueKind::New), fallback);
        EXPECT_FALSE(presenter->IsChanged());
    }

    presenter->ShowUnitValue("");
    EXPECT_EQ(current->text(), "");
    EXPECT_EQ(combo->currentIndex(), list.unitFallback);  // the new control is left alone
    EXPECT_EQ(presenter->GetValue(ValueKind::New), "");
}

TEST_P(DropDownGuiTest, NewValuesKeepTheSelectionForCaptionsAndFallBackOtherwise) {
    const ListUnderTest& list = GetParam();
    presenter->ShowUnitValue("1");
    const std::string fallback = std::to_string(list.newFallback);

    // Leaving the list passes its caption, which is no number: the selection is the value.
    combo->setCurrentIndex(0);
    std::string text = list.formItems[0].toStdString();
    presenter->SetNewValue(text);
    EXPECT_EQ(text, "0");
    EXPECT_TRUE(presenter->IsChanged());

    const struct {
        std::string given;
        int selectedBefore;
        std::string kept;
    } cases[] = {
        {"1", 0, "1"},      {"0x1", 0, "1"},           {std::to_string(Count()), 1, fallback},
        {"5", 1, fallback}, {"caption", -1, fallback}, {"", 1, "1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.given);
        combo->setCurrentIndex(c.selectedBefore);
        presenter->SetNewValue(c.given);
        EXPECT_EQ(combo->currentIndex(), std::stoi(c.kept));
        EXPECT_EQ(presenter->GetValue(ValueKind::New), c.kept);
        EXPECT_EQ(presenter->GetValue(ValueKind::Current), "1");
        EXPECT_EQ(current->text(), list.formItems[1]);
    }
}

TEST_P(DropDownGuiTest, LanguageSwitchKeepsSelectionAndValues) {
    const ListUnderTest& list = GetParam();
    presenter->ShowUnitValue("0");
    presenter->SetNewValue("1");
    language->SetLanguage("Svenska");
    QStringList shown;
    for (int i = 0; i < combo->count(); ++i) {
        shown << combo->itemText(i);
    }
    EXPECT_EQ(shown, list.swedishItems);
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_EQ(presenter->GetValue(ValueKind::Current), "0");
    EXPECT_EQ(presenter->GetValue(ValueKind::New), "1");

    language->SetLanguage("English");
    shown.clear();
    for (int i = 0; i < combo->count(); ++i) {
        shown << combo->itemText(i);
    }
    EXPECT_EQ(shown, list.englishItems);
    EXPECT_EQ(combo->currentIndex(), 1);
}

TEST_P(DropDownGuiTest, ControlsGoneLeaveTheValuesWorking) {
    delete combo;
    delete current;
    presenter->ShowUnitValue("1");
    presenter->SetNewValue("0");
    language->SetLanguage("Svenska");
    EXPECT_EQ(presenter->GetValue(ValueKind::Current), "1");
    EXPECT_EQ(presenter->GetValue(ValueKind::New), "0");
    // With no list to ask, a caption falls back.
    presenter->SetNewValue("caption");
    EXPECT_EQ(presenter->GetValue(ValueKind::New), std::to_string(GetParam().newFallback));
}

INSTANTIATE_TEST_SUITE_P(Lists, DropDownGuiTest,
                         ::testing::Values(ListUnderTest{"ActiveRelay",
                                                         &Make<CActiveRelayGui>,
                                                         CActiveRelayGui::FormItems(),
                                                         CActiveRelayGui::FormItems(),
                                                         {Utf8("Används ej"), Utf8("Relä 1"),
                                                          Utf8("Relä 2"), Utf8("Båda reläerna")},
                                                         1,
                                                         1},
                                           ListUnderTest{"SmsAck",
                                                         &Make<CSmsAckGui>,
                                                         CSmsAckGui::FormItems(),
                                                         {"When Alarm Activated", "Always"},
                                                         {"Vid larm", "Alltid"},
                                                         1,
                                                         0},
                                           ListUnderTest{"AccessControl",
                                                         &Make<CAccessControlGui>,
                                                         CAccessControlGui::FormItems(),
                                                         CAccessControlGui::FormItems(),
                                                         {"AV", Utf8("PÅ")},
                                                         0,
                                                         0},
                                           ListUnderTest{"InputBehaviour",
                                                         &Make<CInputBehaviourGui>,
                                                         CInputBehaviourGui::FormItems(),
                                                         CInputBehaviourGui::FormItems(),
                                                         {Utf8("Fördröjning"), "Blockering"},
                                                         0,
                                                         0}),
                         [](const auto& info) { return std::string(info.param.name); });

// The cases the unit's settings single out.
class SettingFallbackTest : public PresenterTest {
protected:
    QLineEdit* current = new QLineEdit(&window);
    QComboBox* combo = new QComboBox(&window);
};

TEST_F(SettingFallbackTest, UnitRelaySevenShowsRelayOne) {
    auto* relay = Attach<CActiveRelayGui>(current, combo);
    language->SetLanguage("English");
    relay->SetNewValue("3");
    relay->ShowUnitValue("7");
    EXPECT_EQ(current->text(), "");
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_EQ(combo->currentText(), "Relay 1");
    EXPECT_EQ(relay->GetValue(ValueKind::Current), "1");
    EXPECT_EQ(relay->GetValue(ValueKind::New), "1");
    EXPECT_FALSE(relay->IsChanged());
}

TEST_F(SettingFallbackTest, SmsAcknowledgeFiveMeansAlwaysFromTheUnitButNotFromAProfile) {
    auto* ack = Attach<CSmsAckGui>(current, combo);
    language->SetLanguage("English");
    ack->ShowUnitValue("5");
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_EQ(combo->currentText(), "Always");
    EXPECT_EQ(ack->GetValue(ValueKind::Current), "1");
    EXPECT_EQ(ack->GetValue(ValueKind::New), "1");

    ack->SetNewValue("5");
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(combo->currentText(), "When Alarm Activated");
    EXPECT_EQ(ack->GetValue(ValueKind::New), "0");
    EXPECT_EQ(ack->GetValue(ValueKind::Current), "1");
    EXPECT_TRUE(ack->IsChanged());
}

}  // namespace
