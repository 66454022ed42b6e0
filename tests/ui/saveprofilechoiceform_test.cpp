#include "ui/saveprofilechoiceform.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>
#include <memory>
#include <string>

#include "dialogtesting.h"
#include "persistence/appsettings.h"

namespace {

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
    const struct {
        QPushButton* const TSaveProfileChoiceForm::*button;
        int result;
    } cases[] = {{&TSaveProfileChoiceForm::SaveButton, mrOk},
                 {&TSaveProfileChoiceForm::CancelButton, mrCancel}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result);
        settings.WriteValue(kSettingsSection, kSettingSaveProfileChoice, "1");
        EXPECT_EQ(Run([&](TSaveProfileChoiceForm& form) {
                      QTest::mouseClick(form.CurrentValueChoice, Qt::LeftButton);
                      QTest::mouseClick(form.*c.button, Qt::LeftButton);
                  }),
                  std::make_pair(c.result, int32_t{2}));
        EXPECT_EQ(Stored(), "2");
    }
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
