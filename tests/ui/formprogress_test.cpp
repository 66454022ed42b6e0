#include "ui/formprogress.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "engine/controller.h"

namespace {

CProgressInfo Progress(std::string description, int32_t position, int32_t maximum) {
    CProgressInfo info;
    info.SetDescription(std::move(description));
    info.SetPosition(position);
    info.SetMaximum(maximum);
    return info;
}

TEST(FormProgress, ShowsTheReportedTextAndPositionOfMaximum) {
    TFormProgress form;
    EXPECT_EQ(form.CancelButton->text(), "Cancel");
    EXPECT_EQ(form.ProgressBar->maximum(), 100);

    struct Case {
        int32_t position;
        int32_t maximum;
        int expectedValue;
        int expectedMaximum;
    };
    // A report whose position lies beyond the bar's previous maximum must not lose it.
    const Case cases[] = {
        {150, 250, 150, 250}, {1, 1, 1, 1}, {0, 28, 0, 28}, {28, 28, 28, 28}, {5, 3, 3, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.position << " of " << c.maximum);
        form.ShowProgress(Progress("Reading \xE5\xE4\xF6", c.position, c.maximum));
        EXPECT_EQ(form.DescriptionLabel->text(), QString::fromUtf8("Reading åäö"));
        EXPECT_EQ(form.ProgressBar->value(), c.expectedValue);
        EXPECT_EQ(form.ProgressBar->maximum(), c.expectedMaximum);
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
    EXPECT_EQ(cancels, 1);
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_EQ(cancels, 2);
    form.close();
    EXPECT_EQ(cancels, 3);
    // Hiding is the main window's decision, taken after the run has stopped.
    EXPECT_TRUE(form.isVisible());

    form.OnCancel = nullptr;
    QTest::mouseClick(form.CancelButton, Qt::LeftButton);
    EXPECT_TRUE(form.isVisible());
    form.hide();
}

}  // namespace
