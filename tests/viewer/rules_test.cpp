// The viewer's rules as plain functions: layout, zoom steps, navigation,
// status texts, contents lines and selection, page jump, page geometry.

#include <gtest/gtest.h>

#include "viewer/contents_rules.h"
#include "viewer/navigation_state.h"
#include "viewer/sheet_layout.h"
#include "viewer/zoom_choices.h"
#include "viewer/zoom_stepping.h"

namespace {

const QSize kA4(794, 1123);

TEST(SheetLayout, FitChoicesAndFixedPercentages) {
    struct Case {
        QSize paper, client;
        int index;
        int zoom;
        QRect sheet;
        int horz, vert;
    } cases[] = {
        // Fit width: cut(590 / 794 * 100) = 74.
        {kA4, {600, 400}, 0, 74, {6, 5, 587, 831}, 598, 841},
        // Fit page: min(74, cut(390 / 1123 * 100) = 34); top cut(19 / 2.5) = 7.
        {kA4, {600, 400}, 1, 34, {165, 7, 269, 381}, 439, 393},
        // 100 %: the paper's own size; no room, so the 5-pixel gaps.
        {kA4, {600, 400}, 7, 100, {5, 5, 794, 1123}, 804, 1133},
        // 50 % in a large area: centred, 40 % of the free height above.
        {kA4, {1000, 1000}, 2, 50, {301, 175, 397, 561}, 703, 741},
        // A setting outside the choices lays out at 100 %.
        {kA4, {600, 400}, 42, 100, {5, 5, 794, 1123}, 804, 1133},
        // Turned page (the caller exchanges the paper): fits its height as width.
        {kA4.transposed(), {600, 400}, 0, 52, {8, 5, 583, 412}, 596, 422},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "index " << c.index << " client " << c.client.width());
        const auto layout = LayoutSheet(c.paper, c.client, c.index, ZoomSelectorItems());
        ASSERT_TRUE(layout);
        EXPECT_EQ(layout->zoomPercent, c.zoom);
        EXPECT_EQ(layout->sheet, c.sheet);
        EXPECT_EQ(layout->horzRange, c.horz);
        EXPECT_EQ(layout->vertRange, c.vert);
    }
}

TEST(SheetLayout, NoPaperNoLayoutAndTinyAreaStillPositive) {
    EXPECT_FALSE(LayoutSheet({0, 1123}, {600, 400}, 0, ZoomSelectorItems()));
    EXPECT_FALSE(LayoutSheet({794, 0}, {600, 400}, 0, ZoomSelectorItems()));
    const auto tiny = LayoutSheet(kA4, {8, 8}, 1, ZoomSelectorItems());
    ASSERT_TRUE(tiny);
    EXPECT_GE(tiny->zoomPercent, 1);
}

TEST(ZoomChoices, PercentagesComeFromTheItemTexts) {
    const QStringList items = ZoomSelectorItems();
    ASSERT_EQ(items.size(), kZoomChoiceCount);
    const int expected[] = {0, 0, 50, 60, 70, 80, 90, 100, 120, 150, 200};
    for (int i = 0; i < kZoomChoiceCount; ++i)
        EXPECT_EQ(ZoomItemPercent(items[i]), expected[i]);
    // A changed item text changes the layout's percentage.
    QStringList changed = items;
    changed[8] = QStringLiteral(" 125 %");
    EXPECT_EQ(ZoomPercentFor(kA4, {600, 400}, 8, changed), 125);
}

TEST(ZoomStepping, StepsLandOnFixedPercentages) {
    const QStringList items = ZoomSelectorItems();
    struct Case {
        int zoom, up, down;
    } cases[] = {
        {74, 5, 4},     // fit width at 74 %: 80 % up, 70 % down
        {34, 2, -1},    // fit page at 34 %: 50 % up, nothing below
        {250, -1, 10},  // fit width at 250 %: nothing above, 200 % down
        {200, -1, 9},  {50, 3, -1}, {100, 8, 6},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ZoomStepUp(items, c.zoom), c.up) << c.zoom;
        EXPECT_EQ(ZoomStepDown(items, c.zoom), c.down) << c.zoom;
    }
}

TEST(ZoomStepping, ButtonsFollowZoomAndPages) {
    struct Case {
        int pages, zoom;
        bool big, small;
    } cases[] = {
        {5, 34, true, false}, {5, 250, false, true}, {5, 200, false, true},
        {5, 50, true, false}, {5, 74, true, true},   {0, 100, false, false},
    };
    for (const Case& c : cases) {
        const ZoomButtonsState s = ZoomButtonsFor(c.pages, c.zoom);
        EXPECT_EQ(s.big, c.big) << c.pages << " " << c.zoom;
        EXPECT_EQ(s.small, c.small) << c.pages << " " << c.zoom;
    }
}

TEST(Navigation, ButtonsByPosition) {
    struct Case {
        int current, count;
        bool jump, start, back, next, end, pages;
    } cases[] = {
        {1, 1, false, false, false, false, false, true},  // one page: nothing to move to
        {1, 5, true, false, false, true, true, true},
        {3, 5, true, true, true, true, true, true},
        {5, 5, true, true, true, false, false, true},
        {0, 0, false, false, false, false, false, false},
    };
    for (const Case& c : cases) {
        const NavigationState s = NavigationFor(c.current, c.count);
        EXPECT_EQ(s.jump, c.jump) << c.current << "/" << c.count;
        EXPECT_EQ(s.start, c.start) << c.current << "/" << c.count;
        EXPECT_EQ(s.back, c.back) << c.current << "/" << c.count;
        EXPECT_EQ(s.next, c.next) << c.current << "/" << c.count;
        EXPECT_EQ(s.end, c.end) << c.current << "/" << c.count;
        EXPECT_EQ(s.hasPages, c.pages) << c.current << "/" << c.count;
    }
    EXPECT_EQ(NextPageFrom(5, 5), 0);
    EXPECT_EQ(NextPageFrom(4, 5), 5);
    EXPECT_EQ(PreviousPageFrom(1), 0);
    EXPECT_EQ(PreviousPageFrom(2), 1);
}

TEST(Navigation, StatusTexts) {
    const StatusTexts t = StatusTextsFor(QStringLiteral("/albums/工事写真.PXA"), -1, 0, 1, 5, 10);
    EXPECT_EQ(t.title, QStringLiteral("工事写真"));
    EXPECT_EQ(t.contentsPosition, QStringLiteral("0/0"));
    EXPECT_EQ(t.pagePosition, QStringLiteral("11/15"));
    EXPECT_EQ(t.documentTitle, QStringLiteral(" 工事写真"));
    EXPECT_EQ(StatusTextsFor(QString(), 2, 4, 0, 0, 0).title, QStringLiteral("無題"));
    EXPECT_EQ(StatusTextsFor(QString(), 2, 4, 0, 0, 0).contentsPosition, QStringLiteral("3/4"));
    // A dotted name keeps everything before the last dot.
    EXPECT_EQ(DocumentTitle(QStringLiteral("a/b.c.pxb")), QStringLiteral("b.c"));
}

TEST(Contents, LinePageTextsAndSpans) {
    const std::vector<ContentsEntry> entries = {{1, 0}, {4, 1}, {9, 0}, {12, 0}};
    EXPECT_EQ(ContentsPageText(entries, 0, 12, 0), QStringLiteral("1(3)"));
    EXPECT_EQ(ContentsPageText(entries, 1, 12, 0), QStringLiteral("4(5)"));
    EXPECT_EQ(ContentsPageText(entries, 2, 12, 0), QStringLiteral("9(3)"));
    EXPECT_EQ(ContentsPageText(entries, 3, 12, 0), QStringLiteral("12"));
    const std::vector<ContentsEntry> three = {{1, 0}, {4, 0}, {9, 0}};
    EXPECT_EQ(ContentsPageText(three, 2, 12, 0), QStringLiteral("9(4)"));
    EXPECT_EQ(ContentsPageText(three, 0, 12, 4), QStringLiteral("5(3)"));
    // Shown page 0 or less: title only.
    EXPECT_EQ(ContentsPageText(three, 0, 12, -1), QString());
    EXPECT_EQ(ContentsPageText(three, 5, 12, 0), QString());
}

TEST(Contents, SelectionFollowsThePage) {
    const std::vector<ContentsEntry> entries = {{1, 0}, {4, 0}, {9, 0}};
    struct Case {
        int page, index;
    } cases[] = {{1, 0}, {3, 0}, {4, 1}, {6, 1}, {9, 2}, {11, 2}, {12, 2}};
    for (const Case& c : cases)
        EXPECT_EQ(ContentsIndexForPage(entries, c.page), c.index) << c.page;
    EXPECT_EQ(ContentsIndexForPage({}, 3), -1);
    EXPECT_EQ(ContentsIndexForPage({{5, 0}}, 2), 0);  // a single entry is always the one
    // Two entries on one page: the first is chosen.
    EXPECT_EQ(ContentsIndexForPage({{1, 0}, {3, 0}, {3, 1}, {4, 0}}, 3), 1);
}

TEST(Contents, EntriesOutsideTheDocumentGoNowhere) {
    const std::vector<ContentsEntry> entries = {{1, 0}, {0, 0}, {13, 0}, {-3, 0}, {12, 0}};
    EXPECT_EQ(ContentsTargetPage(entries, 0, 12), 1);
    EXPECT_EQ(ContentsTargetPage(entries, 1, 12), std::nullopt);
    EXPECT_EQ(ContentsTargetPage(entries, 2, 12), std::nullopt);
    EXPECT_EQ(ContentsTargetPage(entries, 3, 12), std::nullopt);
    EXPECT_EQ(ContentsTargetPage(entries, 4, 12), 12);
    EXPECT_EQ(ContentsTargetPage(entries, -1, 12), std::nullopt);
}

TEST(PageJump, PromptAndClamping) {
    EXPECT_EQ(JumpPrompt(24, 0), QStringLiteral("ﾍﾟｰｼﾞ指定 (1～24)"));
    EXPECT_EQ(JumpPrompt(12, 4), QStringLiteral("ﾍﾟｰｼﾞ指定 (5～16)"));
    struct Case {
        const char* answer;
        int page;
    } cases[] = {{"7", 3}, {"2", 1}, {"99", 12}, {" 8 ", 4}, {"abc", 1}, {"10頁", 6}, {"-5", 1}};
    for (const Case& c : cases)
        EXPECT_EQ(JumpTargetPage(QString::fromUtf8(c.answer), 12, 4), c.page) << c.answer;
}

}  // namespace
