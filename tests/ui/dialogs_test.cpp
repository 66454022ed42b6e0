#include <QCheckBox>
#include <QProgressBar>

#include "engine/controller.h"
#include "persistence/appsettings.h"
#include "ui/pinpukform.h"
#include "uitesting.h"

// The progress window and the dialogs, each driven as a user drives it.
namespace {

TEST(FormProgress, ShowsTheReportedProgressAndEveryWayOfCancellingCallsBack) {
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
    }
    // Every way of cancelling calls back, and the window stays up.
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

bool IsPuk(EPinKind type) {
    return type == EPinKind::SimPuk || type == EPinKind::SimPuk2;
}

using PinPukFormTest = UiTest;

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
    }
}

// Enter confirms only a complete code; the code and the lock choice go back as the PIN
// controller's OnRequestCode hands them on. (OK with a PUK and a new PIN, Cancel, and the
// prompt's texts: the connect tests on the simulated unit.)
TEST_F(PinPukFormTest, RequestCodeHandsBackWhatTheUserConfirmedOrReportsTheAbort) {
    std::string pin = "old pin";
    std::string puk = "old puk";
    bool lock = true;
    bool aborted = true;
    dialogs.Then([](QDialog& dialog) {
        auto* form = qobject_cast<TPinPukForm*>(&dialog);
        ASSERT_NE(form, nullptr);
        QTest::keyClicks(form->PINEdit, "123");
        QTest::keyClick(form->PINEdit, Qt::Key_Return);
        EXPECT_TRUE(form->isVisible());
        form->DisableCheck->setChecked(false);
        QTest::keyClicks(form->PINEdit, "4");
        QTest::keyClick(form->PINEdit, Qt::Key_Return);
    });
    TPinPukForm::RequestCode(nullptr, *language, EPinKind::SimPin, 3, pin, puk, lock, false,
                             aborted);
    EXPECT_EQ(dialogs.Seen().size(), 1u);
    EXPECT_FALSE(aborted);
    EXPECT_EQ(pin, "1234");
    EXPECT_EQ(puk, "");
    EXPECT_FALSE(lock);
}

using SaveProfileChoiceFormTest = UiTest;

// Stored values other than 2 preselect the new values; the choice is stored as the form goes,
// also one made with the arrow keys rather than a click.
TEST_F(SaveProfileChoiceFormTest, PreselectsTheStoredChoiceAndStoresTheOneMade) {
    CAppSettings settings;
    settings.SetFileName(PathOf("settings.txt"));
    const auto stored = [&settings] {
        return settings.ReadValue(kSettingsSection, kSettingSaveProfileChoice, "<missing>");
    };
    for (const auto& [value, choice] :
         {std::pair{"7", 1}, {"abc", 1}, {"", 1}, {" 2", 2}, {"$2", 2}, {"2", 2}}) {
        SCOPED_TRACE(value);
        settings.WriteValue(kSettingsSection, kSettingSaveProfileChoice, value);
        TSaveProfileChoiceForm form(nullptr, &settings, language.get());
        EXPECT_EQ(form.GetChoice(), choice);
        EXPECT_EQ(form.CurrentValueChoice->isChecked(), choice == 2);
    }
    EXPECT_EQ(stored(), "2");
    {
        TSaveProfileChoiceForm form(nullptr, &settings, language.get());
        form.show();
        QApplication::setActiveWindow(&form);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        form.CurrentValueChoice->setFocus();
        QTest::keyClick(form.CurrentValueChoice, Qt::Key_Up);
    }
    EXPECT_EQ(stored(), "1");
}

}  // namespace
