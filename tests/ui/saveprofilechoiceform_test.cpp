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

    // Shows the form modally, lets `user` act on it, destroys it; the modal result.
    int Run(const std::function<void(TSaveProfileChoiceForm&)>& user, int32_t* choice = nullptr) {
        TSaveProfileChoiceForm form(nullptr, &settings, language.get());
        ModalDriver driver([&](QDialog&) { user(form); });
        const int result = form.exec();
        EXPECT_TRUE(driver.Acted());
        EXPECT_FALSE(driver.TimedOut());
        if (choice != nullptr) {
            *choice = form.GetChoice();
        }
        return result;
    }

    CAppSettings settings;
};

TEST_F(SaveProfileChoiceFormTest, RemembersTheChoiceAndPreselectsItNextTime) {
    EXPECT_EQ(Stored(), "<missing>");
    {
        TSaveProfileChoiceForm first(nullptr, &settings, language.get());
        EXPECT_EQ(first.GetChoice(), 1);
        EXPECT_TRUE(first.NewValueChoice->isChecked());
    }
    EXPECT_EQ(Stored(), "1");

    int32_t choice = 0;
    EXPECT_EQ(Run(
                  [](TSaveProfileChoiceForm& form) {
                      QTest::mouseClick(form.CurrentValueChoice, Qt::LeftButton);
                      QTest::mouseClick(form.SaveButton, Qt::LeftButton);
                  },
                  &choice),
              mrOk);
    EXPECT_EQ(choice, 2);
    EXPECT_EQ(Stored(), "2");

    TSaveProfileChoiceForm next(nullptr, &settings, language.get());
    EXPECT_EQ(next.GetChoice(), 2);
    EXPECT_TRUE(next.CurrentValueChoice->isChecked());
    EXPECT_FALSE(next.NewValueChoice->isChecked());
}

TEST_F(SaveProfileChoiceFormTest, CancelledChoiceIsStoredToo) {
    int32_t choice = 0;
    EXPECT_EQ(Run(
                  [](TSaveProfileChoiceForm& form) {
                      QTest::mouseClick(form.CurrentValueChoice, Qt::LeftButton);
                      QTest::mouseClick(form.CancelButton, Qt::LeftButton);
                  },
                  &choice),
              mrCancel);
    EXPECT_EQ(choice, 2);
    EXPECT_EQ(Stored(), "2");

    // Escape is a cancel as well; the arrow keys move the choice like clicks do.
    EXPECT_EQ(Run([](TSaveProfileChoiceForm& form) {
                  form.activateWindow();
                  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
                  form.CurrentValueChoice->setFocus();
                  QTest::keyClick(form.CurrentValueChoice, Qt::Key_Up);
                  QTest::keyClick(&form, Qt::Key_Escape);
              }),
              mrCancel);
    EXPECT_EQ(Stored(), "1");
}

TEST_F(SaveProfileChoiceFormTest, StoredValuesOtherThanTwoPreselectNewValues) {
    struct Case {
        const char* stored;
        int32_t choice;
        const char* writtenBack;
    };
    const Case cases[] = {{"7", 1, "1"},  {"abc", 1, "1"}, {"", 1, "1"}, {"0", 1, "1"},
                          {" 2", 2, "2"}, {"$2", 2, "2"},  {"1", 1, "1"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        settings.WriteValue(kSettingsSection, kSettingSaveProfileChoice, c.stored);
        {
            TSaveProfileChoiceForm form(nullptr, &settings, language.get());
            EXPECT_EQ(form.GetChoice(), c.choice);
            EXPECT_EQ(form.NewValueChoice->isChecked(), c.choice == 1);
            EXPECT_EQ(form.CurrentValueChoice->isChecked(), c.choice == 2);
        }
        EXPECT_EQ(Stored(), c.writtenBack);
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
    EXPECT_FALSE(std::filesystem::exists(PathOf("not-a-folder") + "/settings.txt"));
}

TEST_F(SaveProfileChoiceFormTest, TextsFromTheLanguageOrTheFormsOwn) {
    TSaveProfileChoiceForm translated(nullptr, nullptr, language.get());
    EXPECT_EQ(translated.windowTitle(), "Which values?");
    EXPECT_EQ(translated.NewValueChoice->text(), "The new ones");
    EXPECT_EQ(translated.CurrentValueChoice->text(), "The current ones");
    EXPECT_EQ(translated.CancelButton->text(), "Cancel it");
    EXPECT_EQ(translated.SaveButton->text(), "Store");
    EXPECT_TRUE(translated.SaveButton->isDefault());

    language->SetLanguage("Svenska");
    TSaveProfileChoiceForm swedish(nullptr, nullptr, language.get());
    EXPECT_EQ(swedish.windowTitle(), QString::fromUtf8("Välj värden"));
    EXPECT_EQ(swedish.SaveButton->text(), "SAVE_BUTTON");

    // Without settings nothing is read or written; without a language the form keeps its own.
    TSaveProfileChoiceForm plain(nullptr, nullptr, nullptr);
    EXPECT_EQ(plain.windowTitle(), "Choose Profile Values");
    EXPECT_EQ(plain.NewValueChoice->text(), "Save new values");
    EXPECT_EQ(plain.CurrentValueChoice->text(), "Save current values");
    EXPECT_EQ(plain.SaveButton->text(), "Save");
    EXPECT_EQ(plain.GetChoice(), 1);
}

}  // namespace
