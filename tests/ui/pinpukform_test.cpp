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

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

bool LooksGrey(const QLineEdit& edit, const QWidget& form) {
    return edit.palette().color(QPalette::Base) == form.palette().color(QPalette::Button);
}

class PinPukFormTest : public DialogTest {};

// OK follows the code fields: each field asked for needs 4 to 8 decimal digits and nothing
// else. Texts that the number parser would take (a leading blank, a sign, a hexadecimal
// prefix) are still not codes a SIM accepts.
TEST_F(PinPukFormTest, OkNeedsFourToEightDigitsInEveryFieldAskedFor) {
    struct Case {
        EPinKind type;
        const char* pin;
        const char* puk;
        bool okEnabled;
    };
    const Case cases[] = {
        {EPinKind::SimPin, "123", "", false},
        {EPinKind::SimPin, "1234", "", true},
        {EPinKind::SimPin, "12345678", "", true},
        {EPinKind::SimPin, " 123", "", false},
        {EPinKind::SimPin, "+1234", "", false},
        {EPinKind::SimPin, "-1234", "", false},
        {EPinKind::SimPin, "x1A2", "", false},
        {EPinKind::SimPin, "$1234", "", false},
        {EPinKind::SimPin, "12 34", "", false},
        {EPinKind::SimPin2, "0000", "", true},
        {EPinKind::SimPuk, "1234", "", false},
        {EPinKind::SimPuk, "", "12345678", false},
        {EPinKind::SimPuk, "1234", "12345678", true},
        {EPinKind::SimPuk, "1234", "1234567x", false},
        {EPinKind::SimPuk, "12a4", "12345678", false},
        {EPinKind::SimPuk2, "1234", "123", false},
        {EPinKind::SimPuk2, "87654321", "0001", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << static_cast<int>(c.type) << " pin \"" << c.pin
                                        << "\" puk \"" << c.puk << "\"");
        const bool pukMode = c.type == EPinKind::SimPuk || c.type == EPinKind::SimPuk2;
        TPinPukForm form(nullptr, pukMode);
        form.Prepare(*language, c.type, 3, false);
        EXPECT_FALSE(form.OKButton->isEnabled());
        QTest::keyClicks(form.PUKEdit, c.puk);
        QTest::keyClicks(form.PINEdit, c.pin);
        EXPECT_EQ(form.OKButton->isEnabled(), c.okEnabled);
    }
}

TEST_F(PinPukFormTest, CodeFieldsTakeAtMostEightCharacters) {
    TPinPukForm form(nullptr, true);
    form.Prepare(*language, EPinKind::SimPuk, 10, false);
    QTest::keyClicks(form.PINEdit, "123456789");
    QTest::keyClicks(form.PUKEdit, "1234567890");
    EXPECT_EQ(form.PINEdit->text(), "12345678");
    EXPECT_EQ(form.PUKEdit->text(), "12345678");
    EXPECT_TRUE(form.OKButton->isEnabled());
}

TEST_F(PinPukFormTest, PinPromptWithThreeTriesLeft) {
    TPinPukForm form(nullptr, false);
    form.Prepare(*language, EPinKind::SimPin, 3, false);

    EXPECT_EQ(form.InstructionsLabel->text(), "Type the PIN");
    EXPECT_EQ(form.PINLabel->text(), "PIN");
    EXPECT_EQ(form.PUKLabel->text(), "PUK:");
    EXPECT_EQ(form.TriesLeftLabel->text(), "Tries: 3");
    EXPECT_EQ(form.DisableCheck->text(), "No more PIN");
    EXPECT_TRUE(form.DisableCheck->isChecked());
    EXPECT_TRUE(form.IncorrectPasswordLabel->text().isEmpty());
    EXPECT_FALSE(form.PUKEdit->isEnabled());
    EXPECT_TRUE(form.PUKEdit->isReadOnly());
    EXPECT_TRUE(LooksGrey(*form.PUKEdit, form));

    // OK comes with the fourth digit, not before.
    for (const char* typed : {"1", "2", "3"}) {
        QTest::keyClicks(form.PINEdit, typed);
        EXPECT_FALSE(form.OKButton->isEnabled()) << form.PINEdit->text().toStdString();
    }
    QTest::keyClicks(form.PINEdit, "4");
    EXPECT_TRUE(form.OKButton->isEnabled());
    // Taking a digit away takes OK away again.
    QTest::keyClick(form.PINEdit, Qt::Key_Backspace);
    EXPECT_FALSE(form.OKButton->isEnabled());
}

TEST_F(PinPukFormTest, EachKindNamesItsCodeAndOpensThePukFieldOnlyForAPuk) {
    struct Case {
        EPinKind type;
        const char* instructions;
        const char* pinLabel;
        const char* pukLabel;
        bool pukEditable;
    };
    const Case cases[] = {
        {EPinKind::SimPin, "Type the PIN", "PIN", "PUK:", false},
        {EPinKind::SimPin2, "Type the PIN2", "PIN2", "PUK:", false},
        {EPinKind::SimPuk, "Type the PUK and a new PIN", "PIN:", "PUK", true},
        {EPinKind::SimPuk2, "Type the PUK2 and a new PIN2", "PIN:", "PUK2", true},
        {EPinKind::None, "", "PIN:", "PUK:", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.type));
        TPinPukForm form(nullptr, c.type == EPinKind::SimPuk || c.type == EPinKind::SimPuk2);
        form.Prepare(*language, c.type, 1, false);
        EXPECT_EQ(form.InstructionsLabel->text(), c.instructions);
        EXPECT_EQ(form.PINLabel->text(), c.pinLabel);
        EXPECT_EQ(form.PUKLabel->text(), c.pukLabel);
        EXPECT_EQ(form.PUKEdit->isEnabled(), c.pukEditable);
        EXPECT_EQ(form.PUKEdit->isReadOnly(), !c.pukEditable);
        EXPECT_EQ(LooksGrey(*form.PUKEdit, form), !c.pukEditable);
    }
}

TEST_F(PinPukFormTest, RejectedCodeHintAndUnknownTriesFromTheLanguage) {
    TPinPukForm form(nullptr, true);
    form.Prepare(*language, EPinKind::SimPuk, -1, true);
    EXPECT_EQ(form.IncorrectPasswordLabel->text(), "Wrong code");
    EXPECT_EQ(form.TriesLeftLabel->text(), "Tries: -1");

    language->SetLanguage("Svenska");
    TPinPukForm swedish(nullptr, false);
    swedish.Prepare(*language, EPinKind::SimPin, 3, false);
    EXPECT_EQ(swedish.InstructionsLabel->text(), Utf8("Ange PIN-koden för SIM-kortet"));
    EXPECT_EQ(swedish.TriesLeftLabel->text(), Utf8("Försök kvar: 3"));
    // A key the language lacks shows as its own name.
    EXPECT_EQ(swedish.DisableCheck->text(), "CONTROLLER_PIN_DISABLE_CODE");
}

// The codes as the PIN controller's OnRequestCode hands them back.
struct Outcome {
    std::string pin = "old pin";
    std::string puk = "old puk";
    bool disableCodeCheck = true;
    bool userAborted = false;
};

Outcome Request(const CAppLanguage& language, EPinKind type,
                const std::function<void(TPinPukForm&)>& user) {
    Outcome outcome;
    ModalDriver driver([&](QDialog& dialog) {
        auto* form = qobject_cast<TPinPukForm*>(&dialog);
        ASSERT_NE(form, nullptr);
        user(*form);
    });
    TPinPukForm::RequestCode(nullptr, language, type, 3, outcome.pin, outcome.puk,
                             outcome.disableCodeCheck, false, outcome.userAborted);
    EXPECT_TRUE(driver.Acted());
    EXPECT_FALSE(driver.TimedOut());
    return outcome;
}

TEST_F(PinPukFormTest, ConfirmedPukEntryReturnsBothCodesAndTheLockChoice) {
    const Outcome outcome = Request(*language, EPinKind::SimPuk, [](TPinPukForm& form) {
        EXPECT_TRUE(form.IsPukMode());
        QTest::keyClicks(form.PUKEdit, "12345678");
        QTest::keyClicks(form.PINEdit, "4321");
        form.DisableCheck->setChecked(false);
        QTest::mouseClick(form.OKButton, Qt::LeftButton);
    });
    EXPECT_FALSE(outcome.userAborted);
    EXPECT_EQ(outcome.pin, "4321");
    EXPECT_EQ(outcome.puk, "12345678");
    EXPECT_FALSE(outcome.disableCodeCheck);
}

TEST_F(PinPukFormTest, EnterConfirmsOnlyACompleteCode) {
    const Outcome outcome = Request(*language, EPinKind::SimPin, [](TPinPukForm& form) {
        QTest::keyClicks(form.PINEdit, "123");
        QTest::keyClick(form.PINEdit, Qt::Key_Return);
        EXPECT_TRUE(form.isVisible());
        QTest::keyClicks(form.PINEdit, "4");
        QTest::keyClick(form.PINEdit, Qt::Key_Return);
    });
    EXPECT_FALSE(outcome.userAborted);
    EXPECT_EQ(outcome.pin, "1234");
    EXPECT_EQ(outcome.puk, "");
    EXPECT_TRUE(outcome.disableCodeCheck);
}

TEST_F(PinPukFormTest, CancelAndEscapeReportTheAbortAndLeaveTheCodesAlone) {
    const std::function<void(TPinPukForm&)> ways[] = {
        [](TPinPukForm& form) {
            QTest::keyClicks(form.PINEdit, "1234");
            QTest::mouseClick(form.CancelButton, Qt::LeftButton);
        },
        [](TPinPukForm& form) {
            QTest::keyClicks(form.PINEdit, "1234");
            QTest::keyClick(form.PINEdit, Qt::Key_Escape);
        },
    };
    for (const auto& way : ways) {
        const Outcome outcome = Request(*language, EPinKind::SimPin, way);
        EXPECT_TRUE(outcome.userAborted);
        EXPECT_EQ(outcome.pin, "old pin");
        EXPECT_EQ(outcome.puk, "old puk");
        EXPECT_TRUE(outcome.disableCodeCheck);
    }
}

}  // namespace
