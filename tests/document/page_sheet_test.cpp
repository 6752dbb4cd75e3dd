// The page on its sheet: paper, turned pages, margins and the picture's rectangle.
#include "document/page_sheet.h"

#include <gtest/gtest.h>

#include <QIODevice>

#include "document/album_document.h"

namespace {

TEST(PageSheet, MarginsMoveTheirEdges) {
    const QSize inner(400, 600);
    // Left and top 5 at 100 %: squeezed at the left and the top.
    EXPECT_EQ(PageDrawRect(inner, {5, 0, 5, 0}, 100), QRect(QPoint(5, 5), QPoint(399, 599)));
    // The same margins at 200 %.
    EXPECT_EQ(PageDrawRect(inner, {5, 0, 5, 0}, 200), QRect(QPoint(10, 10), QPoint(399, 599)));
    // A right margin of -10 ends the picture 10 pixels inside.
    EXPECT_EQ(PageDrawRect(inner, {0, 0, 0, -10}, 100).right() + 1, 390);
    // Positive right and bottom margins reach beyond the sheet (clipped later).
    EXPECT_EQ(PageDrawRect(inner, {0, 7, 0, 7}, 100), QRect(0, 0, 407, 607));
    // Truncation toward zero: 5 * 0.74 = 3.7 -> 3, -5 * 0.74 -> -3.
    EXPECT_EQ(PageDrawRect(inner, {5, -5, 5, -5}, 74), QRect(QPoint(3, 3), QPoint(396, 596)));
    EXPECT_EQ(PageDrawRect(inner, {}, 100), QRect(0, 0, 400, 600));
}

TEST(PageSheet, TurnedPagesExchangePaperWidthAndHeight) {
    AlbumDocument doc;
    doc.pxaFlag = true;
    doc.pageCount = 2;
    doc.pages.resize(3);
    doc.pages[2].orientation = 1;
    SheetGeometry geometry;
    geometry.paperPixels = QSize(794, 1123);
    geometry.margins = {10, 0, 0, -10};
    const PageSheet upright = PageSheetOf(doc, geometry, 1);
    EXPECT_FALSE(upright.turned);
    EXPECT_EQ(upright.paper, QSize(794, 1123));
    EXPECT_EQ(upright.margins, (PageMargins{10, 0, 0, -10}));
    const PageSheet turned = PageSheetOf(doc, geometry, 2);
    EXPECT_TRUE(turned.turned);
    EXPECT_EQ(turned.paper, QSize(1123, 794));
    EXPECT_EQ(turned.PaperAtZoom(50), QSize(561, 397));
    doc.pxaFlag = false;  // only PXA pages turn
    EXPECT_FALSE(PageSheetOf(doc, geometry, 2).turned);
}

}  // namespace
