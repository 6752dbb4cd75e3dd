// The print job's arithmetic: offered pages, the page rectangle, job splits
// and the progress caption.
#include "printing/print_rules.h"

#include <gtest/gtest.h>

namespace {

TEST(PrintRange, DisplayedNumbersAndNegativeOffsets) {
    const PrintPageRange plain = PrintRangeFor(10, 0);
    EXPECT_EQ(plain.lowest, 1);
    EXPECT_EQ(plain.highest, 10);
    const PrintPageRange shifted = PrintRangeFor(10, 4);
    EXPECT_EQ(shifted.lowest, 5);
    EXPECT_EQ(shifted.highest, 14);
    EXPECT_EQ(shifted.IndexOf(7), 3);
    EXPECT_EQ(shifted.IndexOf(8), 4);
    const PrintPageRange negative = PrintRangeFor(10, -2);
    EXPECT_EQ(negative.lowest, 1);
    EXPECT_EQ(negative.highest, 10);
    EXPECT_EQ(NegativeOffsetMessage(-2),
              QStringLiteral("ページ番号が -1 から開始する特殊なデータですので\r\n"
                             "印刷でページ指定する場合は実際のページに 2 を加算してください。"));
    EXPECT_FALSE(NegativeOffsetMessage(0));
}

TEST(PrintPageRect, MarginsScaleWithTheSheet) {
    const PrinterSheet sheet{QSize(4960, 7016), QPoint(100, 100)};
    EXPECT_EQ(PrintScale(sheet, 794), 62469);  // 6.2469
    const QRect withLeft = PrintPageRect(sheet, 794, PageMargins{0, 0, 10, 0});
    EXPECT_EQ(withLeft.left(), -38);  // truncate(62.469) - 100
    EXPECT_EQ(withLeft.top(), -100);
    EXPECT_EQ(withLeft.right() + 1, 4860);
    // All margins zero: the picture's corners meet the sheet's.
    const QRect none = PrintPageRect(sheet, 794, PageMargins{});
    EXPECT_EQ(none, QRect(-100, -100, 4960, 7016));
    // Negative margins truncate toward zero; right and bottom move their edges.
    const QRect moved = PrintPageRect(sheet, 794, PageMargins{-10, 5, 0, -10});
    EXPECT_EQ(moved.top(), -62 - 100);
    EXPECT_EQ(moved.bottom() + 1, 7016 - 100 + 31);
    EXPECT_EQ(moved.right() + 1, 4960 - 100 - 62);
}

TEST(PrintJob, PerPageOrientationSplitsTheJob) {
    // Pages 1 and 2 portrait, page 3 landscape, printer portrait.
    const int pages[] = {0, 0, 1};
    int printer = 0;
    bool open = false;
    std::vector<JobStep> steps;
    for (int orientation : pages) {
        const JobStep step = NextJobStep(open, true, printer, orientation);
        steps.push_back(step);
        open = true;
        if (step == JobStep::TurnThenBeginDoc || step == JobStep::EndDocTurnThenBeginDoc)
            printer = orientation;
    }
    EXPECT_EQ(steps, (std::vector<JobStep>{JobStep::BeginDoc, JobStep::NewPage,
                                           JobStep::EndDocTurnThenBeginDoc}));
    EXPECT_EQ(NextJobStep(false, true, 0, 1), JobStep::TurnThenBeginDoc);
    EXPECT_EQ(NextJobStep(true, false, 0, 1), JobStep::NewPage);  // no per-page orientation
}

TEST(PrintProgress, CaptionCountsThePagesAndTheMaximumRises) {
    PrintProgress all;
    all.Start(QString(), 10);
    EXPECT_EQ(all.Step(1), QStringLiteral("印刷中 1/10"));
    EXPECT_EQ(all.Step(10), QStringLiteral("印刷中 10/10"));

    PrintProgress some;  // pages 3 to 5
    some.Start(QString(), 3);
    EXPECT_EQ(some.maximum(), 3);
    EXPECT_EQ(some.Step(3), QStringLiteral("印刷中 3/3"));
    EXPECT_EQ(some.Step(4), QStringLiteral("印刷中 4/4"));
    EXPECT_EQ(some.Step(5), QStringLiteral("印刷中 5/5"));
    EXPECT_EQ(some.maximum(), 5);

    PrintProgress none;
    none.Start(QStringLiteral("X"), 0);
    EXPECT_EQ(none.maximum(), 1);
    EXPECT_EQ(none.baseCaption(), QStringLiteral("X"));
}

}  // namespace
