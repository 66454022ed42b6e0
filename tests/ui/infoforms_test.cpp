#include <gtest/gtest.h>

#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "dialogtesting.h"
#include "ui/aboutform.h"
#include "ui/formprogress.h"
#include "ui/ledinfoform.h"
#include "ui/pinpukform.h"
#include "ui/pluginfoform.h"
#include "ui/saveprofilechoiceform.h"

namespace {

class InfoFormsTest : public DialogTest {};

TEST_F(InfoFormsTest, LedHintConfirmsOnlyWithOk) {
    struct Case {
        const char* way;
        bool confirmed;
    };
    const Case cases[] = {{"ok", true}, {"cancel", false}, {"escape", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.way);
        const std::string way = c.way;
        ModalDriver driver([&](QDialog& dialog) {
            auto* form = qobject_cast<TLedInfoForm*>(&dialog);
            ASSERT_NE(form, nullptr);
            EXPECT_EQ(form->InfoLabel->text(), "Is the green LED lit?");
            EXPECT_EQ(form->CancelButton->text(), "Cancel it");
            EXPECT_EQ(form->OkButton->text(), "OK");
            if (way == "ok") {
                QTest::mouseClick(form->OkButton, Qt::LeftButton);
            } else if (way == "cancel") {
                QTest::mouseClick(form->CancelButton, Qt::LeftButton);
            } else {
                QTest::keyClick(form, Qt::Key_Escape);
            }
        });
        EXPECT_EQ(TLedInfoForm::Confirm(nullptr, *language), c.confirmed);
        EXPECT_TRUE(driver.Acted());
        EXPECT_FALSE(driver.TimedOut());
    }
}

TEST_F(InfoFormsTest, PlugHintShowsItsTextAndCloses) {
    language->SetLanguage("Svenska");
    QString shown;
    ModalDriver driver([&](QDialog& dialog) {
        auto* form = qobject_cast<TPlugInfoForm*>(&dialog);
        ASSERT_NE(form, nullptr);
        shown = form->InfoLabel->text();
        QTest::mouseClick(form->OkButton, Qt::LeftButton);
    });
    TPlugInfoForm::Inform(nullptr, *language);
    EXPECT_TRUE(driver.Acted());
    EXPECT_FALSE(driver.TimedOut());
    EXPECT_EQ(shown, QString::fromUtf8("Sätt i kontakterna igen"));
}

TEST_F(InfoFormsTest, AboutBoxClosesWithButton1AndShowsTheUnit) {
    TAboutForm form;
    EXPECT_EQ(form.windowTitle(), "About");
    EXPECT_FALSE(form.ProductLabel->text().isEmpty());
    // The drawn unit is a picture, not an empty square.
    const QImage picture = form.Image1->pixmap().toImage();
    ASSERT_FALSE(picture.isNull());
    EXPECT_NE(picture.pixelColor(32, 40).alpha(), 0);
    EXPECT_EQ(picture.pixelColor(1, 1).alpha(), 0);

    ModalDriver driver([](QDialog& dialog) {
        auto* about = qobject_cast<TAboutForm*>(&dialog);
        ASSERT_NE(about, nullptr);
        QTest::mouseClick(about->Button1, Qt::LeftButton);
    });
    EXPECT_EQ(form.exec(), mrOk);
    EXPECT_TRUE(driver.Acted());
    EXPECT_FALSE(driver.TimedOut());
}

// The main window and its code find the dialogs' controls by these names.
TEST_F(InfoFormsTest, EveryControlCarriesItsName) {
    struct Case {
        std::unique_ptr<QWidget> form;
        std::vector<const char*> names;
    };
    std::vector<Case> cases;
    cases.push_back(
        {std::make_unique<TFormProgress>(), {"DescriptionLabel", "ProgressBar", "CancelButton"}});
    cases.push_back(
        {std::make_unique<TSaveProfileChoiceForm>(nullptr, nullptr, nullptr),
         {"GroupBox1", "NewValueChoice", "CurrentValueChoice", "CancelButton", "SaveButton"}});
    cases.push_back({std::make_unique<TPinPukForm>(nullptr, false),
                     {"Bevel2", "Bevel1", "InstructionsLabel", "TriesLeftLabel", "PINLabel",
                      "ProgressLabel", "PINEdit", "DisableCheck", "CancelButton", "OKButton",
                      "PUKLabel", "PUKEdit", "IncorrectPasswordLabel"}});
    cases.push_back({std::make_unique<TLedInfoForm>(),
                     {"OkButton", "InfoLabel", "Bevel1", "Bevel2", "CancelButton"}});
    cases.push_back(
        {std::make_unique<TPlugInfoForm>(), {"Bevel1", "InfoLabel", "Bevel2", "OkButton"}});
    cases.push_back({std::make_unique<TAboutForm>(), {"Button1"}});
    for (const Case& c : cases) {
        for (const char* name : c.names) {
            EXPECT_NE(c.form->findChild<QWidget*>(name), nullptr)
                << c.form->metaObject()->className() << " " << name;
        }
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

}  // namespace
