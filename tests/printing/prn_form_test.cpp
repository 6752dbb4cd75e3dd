// The progress window counts the pages and takes a cancel between them.
#include "printing/prn_form.h"

#include <gtest/gtest.h>

#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

TEST(PrnForm, CaptionCountsAndCancelIsSeenAtTheNextPage) {
    TPrnForm form;
    form.ProgressStart(QString(), 3);  // pages 3 to 5
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.size(), QSize(323, 74));
    EXPECT_FALSE(form.ProgressStep(3));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("印刷中 3/3"));
    EXPECT_FALSE(form.ProgressStep(4));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("印刷中 4/4"));
    EXPECT_EQ(form.ProgressBar->maximum(), 4);
    // The click arrives while the next page's step lets input through.
    QTimer::singleShot(0, form.Button, [&form] { QTest::mouseClick(form.Button, Qt::LeftButton); });
    EXPECT_TRUE(form.ProgressStep(5));
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(form.ProgressFinish());
    // Shown again, the window starts without the cancel.
    form.ProgressStart(QStringLiteral("X"), 1);
    EXPECT_FALSE(form.ProgressStep(1));
    EXPECT_FALSE(form.ProgressFinish());
}

}  // namespace
