#include <gtest/gtest.h>

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

// The OK and Cancel buttons are pressed in the whole-window tests; Escape is a refusal too.
TEST_F(InfoFormsTest, LedHintConfirmsOnlyWithOk) {
    for (const bool ok : {true, false}) {
        SCOPED_TRACE(ok);
        ModalSequence driver({[&](QDialog& dialog) {
            auto* form = qobject_cast<TLedInfoForm*>(&dialog);
            ASSERT_NE(form, nullptr);
            EXPECT_EQ(form->InfoLabel->text(), "Is the green LED lit?");
            EXPECT_EQ(form->CancelButton->text(), "Cancel it");
            if (ok) {
                QTest::mouseClick(form->OkButton, Qt::LeftButton);
            } else {
                QTest::keyClick(form, Qt::Key_Escape);
            }
        }});
        EXPECT_EQ(TLedInfoForm::Confirm(nullptr, *language), ok);
        EXPECT_TRUE(driver.Done());
    }
}

TEST_F(InfoFormsTest, AboutBoxClosesWithButton1AndShowsTheUnit) {
    TAboutForm form;
    EXPECT_FALSE(form.ProductLabel->text().isEmpty());
    // The drawn unit is a picture, not an empty square.
    const QImage picture = form.Image1->pixmap().toImage();
    ASSERT_FALSE(picture.isNull());
    EXPECT_NE(picture.pixelColor(32, 40).alpha(), 0);
    EXPECT_EQ(picture.pixelColor(1, 1).alpha(), 0);
    ModalSequence driver({[](QDialog& dialog) {
        QTest::mouseClick(dialog.findChild<QPushButton*>("Button1"), Qt::LeftButton);
    }});
    EXPECT_EQ(form.exec(), mrOk);
    EXPECT_TRUE(driver.Done());
}

// The main window and its code find the dialogs' controls by these names.
TEST_F(InfoFormsTest, EveryControlCarriesItsName) {
    std::vector<std::pair<std::unique_ptr<QWidget>, const char*>> cases;
    cases.emplace_back(std::make_unique<TFormProgress>(),
                       "DescriptionLabel ProgressBar CancelButton");
    cases.emplace_back(std::make_unique<TSaveProfileChoiceForm>(nullptr, nullptr, nullptr),
                       "GroupBox1 NewValueChoice CurrentValueChoice CancelButton SaveButton");
    cases.emplace_back(std::make_unique<TPinPukForm>(nullptr, false),
                       "Bevel2 Bevel1 InstructionsLabel TriesLeftLabel PINLabel ProgressLabel "
                       "PINEdit DisableCheck CancelButton OKButton PUKLabel PUKEdit "
                       "IncorrectPasswordLabel");
    cases.emplace_back(std::make_unique<TLedInfoForm>(),
                       "OkButton InfoLabel Bevel1 Bevel2 CancelButton");
    cases.emplace_back(std::make_unique<TPlugInfoForm>(), "Bevel1 InfoLabel Bevel2 OkButton");
    cases.emplace_back(std::make_unique<TAboutForm>(), "Button1");
    for (const auto& [form, names] : cases) {
        for (const QString& name : QString::fromLatin1(names).split(QLatin1Char(' '))) {
            EXPECT_NE(form->findChild<QWidget*>(name), nullptr)
                << form->metaObject()->className() << " " << name.toStdString();
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
