#include <gtest/gtest.h>

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "dialogtesting.h"
#include "engine/controller.h"
#include "persistence/appsettings.h"
#include "ui/aboutform.h"
#include "ui/formprogress.h"
#include "ui/ledinfoform.h"
#include "ui/pinpukform.h"
#include "ui/pluginfoform.h"
#include "ui/saveprofilechoiceform.h"

// The progress window and the dialogs, each driven as a user drives it.
namespace {

TEST(FormProgress, ShowsTheReportedTextAndPositionOfMaximum) {
    TFormProgress form;
    // A report whose position lies beyond the bar's previous maximum must not lose it.
    const struct {
        int32_t position, maximum, value, barMaximum;
    } cases[] = {{150, 250, 150, 250}, {0, 28, 0, 28}, {28, 28, 28, 28}, {5, 3, 3, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.position << " of " << c.maximum);
        CProgressInfo info;
        info.SetDescription("Reading \xE5\xE4\xF6");
        info.SetPosition(c.position);
        info.SetMaximum(c.maximum);
        form.ShowProgress(info);
        EXPECT_EQ(form.DescriptionLabel->text(), QString::fromUtf8("Reading åäö"));
        EXPECT_EQ(form.ProgressBar->value(), c.value);
        EXPECT_EQ(form.ProgressBar->maximum(), c.barMaximum);
        EXPECT_EQ(form.ProgressBar->minimum(), 0);
    }
}

TEST(FormProgress, EveryWayOfCancellingCallsBackAndTheWindowStaysUp) {
    TFormProgress form;
    int cancels = 0;
    form.OnCancel = [&] { ++cancels; };
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QTest::mouseClick(form.CancelButton, Qt::LeftButton);
    QTest::keyClick(&form, Qt::Key_Escape);
    form.close();
    EXPECT_EQ(cancels, 3);
    // Hiding is the main window's decision, taken after the run has stopped.
    EXPECT_TRUE(form.isVisible());
    form.OnCancel = nullptr;
    QTest::mouseClick(form.CancelButton, Qt::LeftButton);
    EXPECT_TRUE(form.isVisible());
    form.hide();
}

class InfoFormsTest : public DialogTest {};

// Enter confirms the hint as OK does; "Don't show this again" counts only with a confirmation.
TEST_F(InfoFormsTest, LedHintConfirmsWithEnterAndCanBeTurnedOff) {
    const struct {
        bool tick;
        Qt::Key key;
        bool confirmed;
        bool dontShowAgain;
    } cases[] = {{false, Qt::Key_Return, true, false},
                 {true, Qt::Key_Enter, true, true},
                 {true, Qt::Key_Escape, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        ModalSequence driver({[&c](QDialog& dialog) {
            auto* form = qobject_cast<TLedInfoForm*>(&dialog);
            ASSERT_NE(form, nullptr);
            EXPECT_TRUE(form->OkButton->isDefault());
            form->DontShowAgainCheck->setChecked(c.tick);
            Later(form, [form, &c] {
                QTest::keyClick(QApplication::focusWidget() != nullptr
                                    ? QApplication::focusWidget()
                                    : static_cast<QWidget*>(form),
                                c.key);
            });
        }});
        bool dontShowAgain = !c.dontShowAgain;
        EXPECT_EQ(TLedInfoForm::Confirm(nullptr, *language, &dontShowAgain), c.confirmed);
        EXPECT_EQ(dontShowAgain, c.dontShowAgain);
        EXPECT_TRUE(driver.Done());
    }
}

TEST_F(InfoFormsTest, DialogsAreCentredWhiteAndFixedInSize) {
    TLedInfoForm form;
    form.ApplyLanguage(*language);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QRect desktop = form.screen()->availableGeometry();
    EXPECT_LE((form.frameGeometry().center() - desktop.center()).manhattanLength(), 2);
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    // The word-wrapped hint is shown whole.
    EXPECT_GE(form.InfoLabel->height(), form.InfoLabel->heightForWidth(form.InfoLabel->width()));
    form.hide();
}

bool IsPuk(EPinKind type) {
    return type == EPinKind::SimPuk || type == EPinKind::SimPuk2;
}

class PinPukFormTest : public DialogTest {};

// OK follows the code fields: each field asked for needs 4 to 8 decimal digits and nothing
// else. Texts that the number parser would take (a leading blank, a sign, a hexadecimal
// prefix) are still not codes a SIM accepts.
TEST_F(PinPukFormTest, OkNeedsFourToEightDigitsInEveryFieldAskedFor) {
    const struct {
        EPinKind type;
        const char* pin;
        const char* puk;
        bool okEnabled;
    } cases[] = {
        // clang-format off
        {EPinKind::SimPin, "123", "", false},        {EPinKind::SimPin, "12345678", "", true},
        {EPinKind::SimPin, " 123", "", false},       {EPinKind::SimPin, "+1234", "", false},
        {EPinKind::SimPin, "x1A2", "", false},       {EPinKind::SimPin, "12 34", "", false},
        {EPinKind::SimPin2, "0000", "", true},       {EPinKind::SimPuk, "1234", "", false},
        {EPinKind::SimPuk, "1234", "12345678", true}, {EPinKind::SimPuk, "12a4", "12345678", false},
        {EPinKind::SimPuk2, "1234", "123", false},
        // The fields take at most eight characters.
        {EPinKind::SimPuk2, "123456789", "1234567890", true},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << static_cast<int>(c.type) << " pin \"" << c.pin
                                        << "\" puk \"" << c.puk << "\"");
        TPinPukForm form(nullptr, IsPuk(c.type));
        form.Prepare(*language, c.type, 3, false);
        EXPECT_FALSE(form.OKButton->isEnabled());
        QTest::keyClicks(form.PUKEdit, c.puk);
        QTest::keyClicks(form.PINEdit, c.pin);
        EXPECT_EQ(form.OKButton->isEnabled(), c.okEnabled);
        EXPECT_LE(form.PINEdit->text().size(), 8);
        EXPECT_LE(form.PUKEdit->text().size(), 8);
    }
}

// Each kind names its code and opens the PUK field only for a PUK; a rejected code and
// unknown tries are shown as told, in the language's words or as the key it lacks.
TEST_F(PinPukFormTest, PromptFollowsTheKindTriesAndLanguage) {
    const struct {
        EPinKind type;
        int tries;
        bool rejected;
        const char* language;
        const char* instructions;
        const char* pinLabel;
        const char* pukLabel;
        const char* triesLeft;
        const char* incorrect;
        const char* disable;
    } cases[] = {
        {EPinKind::SimPin, 3, false, "English", "Type the PIN", "PIN", "PUK:", "Tries: 3", "",
         "No more PIN"},
        {EPinKind::SimPin2, 3, false, "English", "Type the PIN2", "PIN2", "PUK:", "Tries: 3", "",
         "No more PIN"},
        {EPinKind::SimPuk, -1, true, "English", "Type the PUK and a new PIN", "PIN:", "PUK",
         "Tries: -1", "Wrong code", "No more PIN"},
        {EPinKind::SimPuk2, 3, false, "English", "Type the PUK2 and a new PIN2", "PIN:", "PUK2",
         "Tries: 3", "", "No more PIN"},
        {EPinKind::None, 3, false, "English", "", "PIN:", "PUK:", "Tries: 3", "", "No more PIN"},
        {EPinKind::SimPin, 3, false, "Svenska", "Ange PIN-koden f\xC3\xB6r SIM-kortet", "PIN",
         "PUK:", "F\xC3\xB6rs\xC3\xB6k kvar: 3", "", "CONTROLLER_PIN_DISABLE_CODE"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.type) << " " << c.language);
        language->SetLanguage(c.language);
        TPinPukForm form(nullptr, IsPuk(c.type));
        form.Prepare(*language, c.type, c.tries, c.rejected);
        EXPECT_EQ(form.InstructionsLabel->text(), QString::fromUtf8(c.instructions));
        EXPECT_EQ(form.PINLabel->text(), c.pinLabel);
        EXPECT_EQ(form.PUKLabel->text(), c.pukLabel);
        EXPECT_EQ(form.TriesLeftLabel->text(), QString::fromUtf8(c.triesLeft));
        EXPECT_EQ(form.IncorrectPasswordLabel->text(), c.incorrect);
        EXPECT_EQ(form.DisableCheck->text(), c.disable);
        EXPECT_TRUE(form.DisableCheck->isChecked());
        EXPECT_EQ(form.PUKEdit->isEnabled(), IsPuk(c.type));
        EXPECT_EQ(form.PUKEdit->isReadOnly(), !IsPuk(c.type));
        // A field not asked for looks grey.
        EXPECT_EQ(
            form.PUKEdit->palette().color(QPalette::Base) == form.palette().color(QPalette::Button),
            !IsPuk(c.type));
        // The codes are hidden until the user asks to see them.
        for (QLineEdit* code : {form.PINEdit, form.PUKEdit}) {
            EXPECT_EQ(code->echoMode(), QLineEdit::Password);
        }
        form.ShowCodesCheck->setChecked(true);
        for (QLineEdit* code : {form.PINEdit, form.PUKEdit}) {
            EXPECT_EQ(code->echoMode(), QLineEdit::Normal);
        }
        EXPECT_EQ(form.CancelButton->text().toStdString(), language->GetText("CANCEL"));
    }
}

// What the user types and how the form is left; the codes as the PIN controller's
// OnRequestCode hands them back.
TEST_F(PinPukFormTest, RequestCodeHandsBackWhatTheUserConfirmedOrReportsTheAbort) {
    const struct {
        const char* way;
        EPinKind type;
        const char* pin;
        const char* puk;
        bool lockChecked;
        bool aborted;
        std::string pinBack, pukBack;
    } cases[] = {
        {"ok", EPinKind::SimPuk, "4321", "12345678", false, false, "4321", "12345678"},
        // Enter confirms only a complete code.
        {"enter", EPinKind::SimPin, "1234", "", true, false, "1234", ""},
        {"cancel", EPinKind::SimPin, "1234", "", true, true, "old pin", "old puk"},
        {"escape", EPinKind::SimPin, "1234", "", true, true, "old pin", "old puk"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.way);
        const std::string way = c.way;
        std::string pin = "old pin";
        std::string puk = "old puk";
        bool lock = true;
        bool aborted = false;
        ModalSequence user({[&](QDialog& dialog) {
            auto* form = qobject_cast<TPinPukForm*>(&dialog);
            ASSERT_NE(form, nullptr);
            EXPECT_EQ(form->IsPukMode(), IsPuk(c.type));
            QTest::keyClicks(form->PUKEdit, c.puk);
            QTest::keyClicks(form->PINEdit, c.pin);
            form->DisableCheck->setChecked(c.lockChecked);
            if (way == "ok") {
                QTest::mouseClick(form->OKButton, Qt::LeftButton);
            } else if (way == "cancel") {
                QTest::mouseClick(form->CancelButton, Qt::LeftButton);
            } else if (way == "escape") {
                QTest::keyClick(form->PINEdit, Qt::Key_Escape);
            } else {
                QTest::keyClick(form->PINEdit, Qt::Key_Backspace);
                QTest::keyClick(form->PINEdit, Qt::Key_Return);
                EXPECT_TRUE(form->isVisible());
                QTest::keyClicks(form->PINEdit, "4");
                QTest::keyClick(form->PINEdit, Qt::Key_Return);
            }
        }});
        TPinPukForm::RequestCode(nullptr, *language, c.type, 3, pin, puk, lock, false, aborted);
        EXPECT_TRUE(user.Done());
        EXPECT_EQ(aborted, c.aborted);
        EXPECT_EQ(pin, c.pinBack);
        EXPECT_EQ(puk, c.pukBack);
        EXPECT_EQ(lock, c.lockChecked);
    }
}

class SaveProfileChoiceFormTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        settings.SetFileName(PathOf("settings.txt"));
    }

    std::string Stored() {
        return settings.ReadValue(kSettingsSection, kSettingSaveProfileChoice, "<missing>");
    }

    // Shows the form modally, lets `user` act on it, destroys it; the modal result and choice.
    std::pair<int, int32_t> Run(const std::function<void(TSaveProfileChoiceForm&)>& user) {
        TSaveProfileChoiceForm form(nullptr, &settings, language.get());
        ModalSequence driver({[&](QDialog&) { user(form); }});
        const int result = form.exec();
        EXPECT_TRUE(driver.Done());
        return {result, form.GetChoice()};
    }

    CAppSettings settings;
};

TEST_F(SaveProfileChoiceFormTest, RemembersTheChoiceSavedOrCancelledAndPreselectsItNextTime) {
    EXPECT_EQ(Stored(), "<missing>");
    {
        TSaveProfileChoiceForm first(nullptr, &settings, language.get());
        EXPECT_TRUE(first.NewValueChoice->isChecked());
    }
    EXPECT_EQ(Stored(), "1");
    // Saving through the menu is seen in the profile tests; a cancelled choice is kept too.
    EXPECT_EQ(Run([](TSaveProfileChoiceForm& form) {
                  QTest::mouseClick(form.CurrentValueChoice, Qt::LeftButton);
                  QTest::mouseClick(form.CancelButton, Qt::LeftButton);
              }),
              std::make_pair(int{mrCancel}, int32_t{2}));
    EXPECT_EQ(Stored(), "2");
    TSaveProfileChoiceForm next(nullptr, &settings, language.get());
    EXPECT_TRUE(next.CurrentValueChoice->isChecked());
    EXPECT_FALSE(next.NewValueChoice->isChecked());

    // Escape is a cancel as well; the arrow keys move the choice like clicks do.
    EXPECT_EQ(Run([](TSaveProfileChoiceForm& form) {
                  form.activateWindow();
                  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
                  form.CurrentValueChoice->setFocus();
                  QTest::keyClick(form.CurrentValueChoice, Qt::Key_Up);
                  QTest::keyClick(&form, Qt::Key_Escape);
              }).first,
              mrCancel);
    EXPECT_EQ(Stored(), "1");
}

TEST_F(SaveProfileChoiceFormTest, StoredValuesOtherThanTwoPreselectNewValues) {
    const struct {
        const char* stored;
        int32_t choice;
    } cases[] = {{"7", 1}, {"abc", 1}, {"", 1}, {" 2", 2}, {"$2", 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        settings.WriteValue(kSettingsSection, kSettingSaveProfileChoice, c.stored);
        {
            TSaveProfileChoiceForm form(nullptr, &settings, language.get());
            EXPECT_EQ(form.GetChoice(), c.choice);
            EXPECT_EQ(form.NewValueChoice->isChecked(), c.choice == 1);
            EXPECT_EQ(form.CurrentValueChoice->isChecked(), c.choice == 2);
        }
        EXPECT_EQ(Stored(), std::to_string(c.choice));
    }
}

TEST_F(SaveProfileChoiceFormTest, FailedSettingsWriteDoesNotStopTheClosing) {
    // The settings file's folder is a plain file: every write fails.
    Put("not-a-folder", "x");
    CAppSettings broken;
    broken.SetFileName(PathOf("not-a-folder") + "/settings.txt");
    ASSERT_FALSE(broken.TryWriteValue(kSettingsSection, kSettingSaveProfileChoice, "1"));
    bool closedAfterwards = false;
    EXPECT_NO_THROW({
        auto form = std::make_unique<TSaveProfileChoiceForm>(nullptr, &broken, language.get());
        QTest::mouseClick(form->CurrentValueChoice, Qt::LeftButton);
        EXPECT_EQ(form->GetChoice(), 2);
        form.reset();
        closedAfterwards = true;
    });
    EXPECT_TRUE(closedAfterwards);
}

TEST_F(SaveProfileChoiceFormTest, TextsFromTheLanguageOrTheFormsOwn) {
    TSaveProfileChoiceForm translated(nullptr, nullptr, language.get());
    EXPECT_EQ(translated.windowTitle(), "Which values?");
    EXPECT_EQ(translated.NewValueChoice->text(), "The new ones");
    EXPECT_EQ(translated.CurrentValueChoice->text(), "The current ones");
    EXPECT_EQ(translated.CancelButton->text(), "Cancel it");
    EXPECT_EQ(translated.SaveButton->text(), "Store");
    EXPECT_TRUE(translated.SaveButton->isDefault());
    // A key the language lacks shows as its own name.
    language->SetLanguage("Svenska");
    TSaveProfileChoiceForm swedish(nullptr, nullptr, language.get());
    EXPECT_EQ(swedish.windowTitle(), QString::fromUtf8("Välj värden"));
    EXPECT_EQ(swedish.SaveButton->text(), "SAVE_BUTTON");
}

}  // namespace
