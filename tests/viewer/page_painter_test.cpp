// Drawing a page into the picture area and keeping its rendering.

#include <gtest/gtest.h>

#include <QPainter>

#include "metafile/emf_writer.h"
#include "metafile/picture.h"
#include "viewer/page_painter.h"

namespace {

// A picture that is black all over.
mf::Picture BlackPicture() {
    mf::EmfWriter w(QSizeF(100, 100));
    const std::uint32_t brush = w.CreateBrush(mf::kBsSolid, Qt::black);
    const std::uint32_t pen = w.CreatePen(mf::kPsNull, 0, Qt::black);
    w.SelectObject(brush);
    w.SelectObject(pen);
    const QSize px = w.deviceSize();
    w.Rectangle(QRect(0, 0, px.width() + 1, px.height() + 1));
    auto picture = mf::Picture::Load(w.Finish());
    EXPECT_TRUE(picture);
    return *picture;
}

bool IsBlack(const QImage& image, int x, int y) {
    return qGray(image.pixel(x, y)) < 60;
}

TEST(PagePainter, PictureFillsTheMarginMovedRectangle) {
    const mf::Picture picture = BlackPicture();
    // Left 10 and top 6 at 50 %: the picture starts at (5, 3); right -20 ends it 10 inside.
    const QImage image = RenderPage({100, 80}, 1.0, picture, {6, 0, 10, -20}, 50);
    ASSERT_EQ(image.size(), QSize(100, 80));
    EXPECT_FALSE(IsBlack(image, 4, 40));
    EXPECT_TRUE(IsBlack(image, 6, 40));
    EXPECT_FALSE(IsBlack(image, 50, 2));
    EXPECT_TRUE(IsBlack(image, 50, 4));
    EXPECT_TRUE(IsBlack(image, 88, 40));
    EXPECT_FALSE(IsBlack(image, 91, 40));
    EXPECT_TRUE(IsBlack(image, 50, 79));  // bottom margin 0: to the edge
}

TEST(PagePainter, RendersAtDevicePixels) {
    const QImage image = RenderPage({100, 80}, 2.0, BlackPicture(), {}, 100);
    EXPECT_EQ(image.size(), QSize(200, 160));
    EXPECT_EQ(image.devicePixelRatio(), 2.0);
    EXPECT_TRUE(IsBlack(image, 199, 159));
}

TEST(PagePainter, CachePlaysThePictureOnlyWhenSomethingChanged) {
    const mf::Picture picture = BlackPicture();
    PageRenderCache cache;
    cache.Render(1, {100, 80}, 1.0, picture, {}, 100);
    cache.Render(1, {100, 80}, 1.0, picture, {}, 100);
    EXPECT_EQ(cache.renderCount(), 1);
    cache.Render(1, {100, 80}, 1.0, picture, {}, 120);            // zoom
    cache.Render(2, {100, 80}, 1.0, picture, {}, 120);            // another page
    cache.Render(2, {100, 81}, 1.0, picture, {}, 120);            // size
    cache.Render(2, {100, 81}, 2.0, picture, {}, 120);            // screen scaling
    cache.Render(2, {100, 81}, 2.0, picture, {1, 0, 0, 0}, 120);  // margins
    EXPECT_EQ(cache.renderCount(), 6);
}

}  // namespace
