// The program's pictures: drawn at the size and scale shown, with an
// engraved disabled form.

#include "shell/program_icons.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>

namespace {

int OpaquePixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += qAlpha(image.pixel(x, y)) > 0;
    return n;
}

bool AllGrey(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() > 0 && (c.red() != c.green() || c.green() != c.blue())) return false;
        }
    return true;
}

TEST(ProgramIcons, EveryToolbarPictureIsSharpAtDoubleScaleAndHasADisabledForm) {
    const QSize size(kToolbarPictureSize, kToolbarPictureSize);
    for (int i = 0; i < kToolbarPictureCount; ++i) {
        const QIcon icon = ToolbarIcon(static_cast<ToolbarPicture>(i));
        const QPixmap normal = icon.pixmap(size, 1.0);
        const QPixmap twice = icon.pixmap(size, 2.0);
        ASSERT_EQ(normal.size(), size) << i;
        EXPECT_EQ(twice.size(), size * 2) << i;
        EXPECT_EQ(twice.devicePixelRatio(), 2.0) << i;
        const QImage small = normal.toImage();
        const QImage large = twice.toImage();
        EXPECT_GT(OpaquePixels(small), size.width() * size.height() / 10) << i;
        // Drawn anew for the scale, not the small picture blown up.
        EXPECT_NE(large.convertToFormat(QImage::Format_ARGB32),
                  small.scaled(size * 2).convertToFormat(QImage::Format_ARGB32))
            << i;

        const QImage disabled = icon.pixmap(size, 1.0, QIcon::Disabled).toImage();
        EXPECT_GT(OpaquePixels(disabled), 0) << i;
        EXPECT_TRUE(AllGrey(disabled)) << i;
        EXPECT_NE(disabled.convertToFormat(QImage::Format_ARGB32),
                  small.convertToFormat(QImage::Format_ARGB32))
            << i;
    }
}

TEST(ProgramIcons, TheProgramIconScalesFromItsScalableSource) {
    const QIcon icon = ApplicationIcon();
    ASSERT_FALSE(icon.isNull());
    for (int side : {16, 32, 48, 256}) {
        const QImage image = icon.pixmap(QSize(side, side), 1.0).toImage();
        EXPECT_EQ(image.size(), QSize(side, side));
        EXPECT_GT(OpaquePixels(image), side * side / 2) << side;
    }
}

TEST(ProgramIcons, TheDisabledFormEngravesTheDarkLines) {
    // A black bar on white: the bar turns shadow grey over a highlight copy
    // one pixel down-right; the white is left out.
    QImage normal(8, 8, QImage::Format_ARGB32_Premultiplied);
    normal.fill(Qt::white);
    for (int x = 2; x < 6; ++x)
        normal.setPixelColor(x, 3, Qt::black);
    const QImage engraved = DisabledPicture(normal, 1);
    EXPECT_EQ(qAlpha(engraved.pixel(0, 0)), 0);
    const QColor shadow = engraved.pixelColor(3, 3);
    const QColor highlight = engraved.pixelColor(6, 4);
    EXPECT_EQ(shadow.alpha(), 255);
    EXPECT_EQ(highlight.alpha(), 255);
    EXPECT_LT(shadow.lightness(), highlight.lightness());
    EXPECT_EQ(engraved.pixelColor(5, 4), highlight);
    EXPECT_EQ(qAlpha(engraved.pixel(1, 3)), 0);
}

}  // namespace
