#include <QWidget>

#include "model/settingrulecases.h"
#include "ui/settingcontrols.h"
#include "uitesting.h"

namespace {

using K = ESettingKind;

// The presenters' item texts, and the toggle item in Swedish (Windows-1252 as in a file).
const std::string kLanguages =
    "[English]\nTOGGLE=Toggle\nNOT_IN_USE=Not In Use\nRELAY1=Relay 1\nRELAY2=Relay 2\n"
    "BOTH_RELAYS=Both Relays\nWHEN_ALARM_ACTIVATED=When Alarm Activated\nALWAYS=Always\n"
    "OFF=OFF\nON=ON\nDELAY=Delay\nBLOCK=Block\n"
    "[Svenska]\nTOGGLE=V\xE4xla\n";

// One presenter of each kind with its controls made as the window makes them, attached to the
// language object as the window attaches them (which then holds its only reference), English
// loaded and the window's start value given.
class PresenterTest : public UiTest {
protected:
    PresenterTest() : UiTest(kLanguages) {}

    struct Presenter {
        IGuiHelper* helper;
        QLineEdit* current;
        QComboBox* combo;    // the drop-down lists'
        QLineEdit* newEdit;  // the delays'
        QString NewShows() const { return combo ? combo->currentText() : newEdit->text(); }
    };

    template <class Control>
    IGuiHelper* Attach(ESettingKind kind, QLineEdit* current, Control* control) {
        CControlledSettingGui* presenter =
            MakeRef<CControlledSettingGui>(kind, current, control).Detach();
        language->Attach(presenter);
        return presenter;
    }

    Presenter Make(ESettingKind kind) {
        Presenter p{nullptr, new QLineEdit(&window), nullptr, nullptr};
        if (kind == K::delayBlockTime) {
            p.newEdit = new QLineEdit(&window);
            p.newEdit->setMaxLength(20);
            p.helper = Attach(kind, p.current, p.newEdit);
        } else {
            p.combo = new QComboBox(&window);
            p.combo->setEditable(kind == K::activeTime);
            p.combo->addItems(CControlledSettingGui::FormItems(kind));
            p.helper = Attach(kind, p.current, p.combo);
        }
        language->SetLanguage("English");
        p.helper->SetNewValue(std::string(StartValue(kind)));
        return p;
    }

    QWidget window;
};

// The values the window's presenters keep are those of the presenter without controls.
TEST_F(PresenterTest, KeepWhatThePresentersWithoutControlsKeep) {
    for (const SettingRuleCase& c : rulecases::kCases) {
        rulecases::ExpectKeptValues(*Make(c.kind).helper, c);
    }
}

// What the two controls show once a unit value is read and then a value typed or loaded, and
// once the unit reports nothing after a typed one.
TEST_F(PresenterTest, ControlsShowTheValuesKept) {
    const struct {
        ESettingKind kind;
        const char* unit;   // nullptr: nothing read
        const char* typed;  // nullptr: nothing typed
        const char* currentShows;
        const char* newShows;
    } cases[] = {
        // clang-format off
        // Active time: toggle by its caption, times normalised, invalid unit values as 2 and
        // invalid typed ones (out of range, the caption) as toggle.
        {K::activeTime, "0", nullptr, "Toggle", "Toggle"}, {K::activeTime, "300", nullptr, "", "2"},
        {K::activeTime, "$1E", nullptr, "30", "30"}, {K::activeTime, "30", "0", "30", "Toggle"},
        {K::activeTime, "30", "Toggle", "30", "0"}, {K::activeTime, "30", "255", "30", "0"},
        {K::activeTime, "30", "0x0A", "30", "10"}, {K::activeTime, "30", " 120", "30", "120"},
        // Delays: a unit value shows as read, in the new edit only in range; a typed one in
        // plain decimal, else the current value, else 2.
        {K::delayBlockTime, "007", nullptr, "007", "007"}, {K::delayBlockTime, "300", nullptr, "300", "2"},
        {K::delayBlockTime, "abc", "7", "abc", "7"}, {K::delayBlockTime, "5\xE4", nullptr, "5\xC3\xA4", "2"},
        {K::delayBlockTime, "12", "+12", "12", "12"}, {K::delayBlockTime, "12", "$0C", "12", "12"},
        {K::delayBlockTime, "5", "255", "5", "5"}, {K::delayBlockTime, "300", "abc", "300", "2"},
        {K::delayBlockTime, "$0F", "abc", "$0F", "15"},
        // Drop-down lists: an invalid unit value selects the unit fallback with nothing
        // current; a caption keeps the selection; other invalid values the new fallback.
        {K::activeRelay, "3", nullptr, "Both Relays", "Both Relays"}, {K::activeRelay, "4", nullptr, "", "Relay 1"},
        {K::activeRelay, "0", "caption", "Not In Use", "Not In Use"},
        {K::activeRelay, "0", "0x2", "Not In Use", "Relay 2"}, {K::activeRelay, "0", "4", "Not In Use", "Relay 1"},
        {K::smsAck, "abc", nullptr, "", "Always"}, {K::smsAck, "5", "5", nullptr, "When Alarm Activated"},
        {K::accessControl, "2", "1", "", "ON"}, {K::accessControl, "1", "2", "ON", "OFF"},
        {K::inputBehaviour, "1", nullptr, "Block", "Block"}, {K::inputBehaviour, "9", "caption", "", "Delay"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "kind " << static_cast<int>(c.kind) << ", unit " << (c.unit ? c.unit : "-")
                     << ", typed " << (c.typed ? c.typed : "-"));
        const Presenter p = Make(c.kind);
        if (c.unit != nullptr) {
            p.helper->ShowUnitValue(c.unit);
        }
        if (c.typed != nullptr) {
            p.helper->SetNewValue(c.typed);
        }
        if (c.currentShows != nullptr) {
            EXPECT_EQ(p.current->text(), QString::fromUtf8(c.currentShows));
        }
        EXPECT_EQ(p.NewShows(), QString::fromUtf8(c.newShows));
        if (c.typed != nullptr) {
            // A unit that then reports nothing clears the current side only.
            p.helper->ShowUnitValue("");
            EXPECT_EQ(p.current->text(), "");
            EXPECT_EQ(p.NewShows(), QString::fromUtf8(c.newShows));
        }
    }
}

TEST_F(PresenterTest, LanguageSwitchTranslatesTheToggleItemAndKeepsATypedTime) {
    const Presenter p = Make(K::activeTime);
    p.helper->SetNewValue("0");
    language->SetLanguage("Svenska");
    EXPECT_EQ(p.combo->itemText(0), QString::fromUtf8("Växla"));
    EXPECT_EQ(p.combo->count(), 9);
    EXPECT_EQ(p.combo->currentText(), QString::fromUtf8("Växla"));

    // A typed time stays on display after the switch, so leaving the control keeps it rather
    // than turning it into "toggle".
    p.helper->SetNewValue("15");
    language->SetLanguage("English");
    EXPECT_EQ(p.combo->currentText(), "15");
    p.helper->SetNewValue(p.combo->currentText().toStdString());
    EXPECT_EQ(p.helper->GetValue(ValueKind::New), "15");

    // An editable combo box may add what the user typed as an item of its own.
    p.combo->addItem("17");
    p.combo->setCurrentIndex(p.combo->count() - 1);
    p.helper->SetNewValue("17");
    language->SetLanguage("Svenska");
    EXPECT_EQ(p.combo->count(), 9);
    EXPECT_EQ(p.combo->currentText(), "17");
}

}  // namespace
