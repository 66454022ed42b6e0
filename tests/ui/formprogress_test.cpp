#include "ui/formprogress.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "engine/controller.h"

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

}  // namespace
