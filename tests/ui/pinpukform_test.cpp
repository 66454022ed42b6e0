#include "ui/pinpukform.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <string>

#include "dialogtesting.h"

namespace {

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

}  // namespace
