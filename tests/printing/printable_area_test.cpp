// The printable-area overlay on the page view.
#include "printing/printable_area.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(PrintableArea, PrintableAreaAndItsTransposition) {
    // 5 mm offsets, 200 x 287 mm printable at 96 ppi and 100 %.
    const PrintableAreaMm area{WholeMm(5), WholeMm(4), WholeMm(200), WholeMm(287)};
    const QRect plain = PrintableAreaRect(area, 100, 96, false);
    EXPECT_EQ(plain, QRect(MmToScreenPixels(WholeMm(5), 96), MmToScreenPixels(WholeMm(4), 96),
                           MmToScreenPixels(WholeMm(200), 96), MmToScreenPixels(WholeMm(287), 96)));
    const QRect turned = PrintableAreaRect(area, 100, 96, true);
    EXPECT_EQ(turned, QRect(plain.y(), plain.x(), plain.height(), plain.width()));
    // At 50 % the pixel values are halved and rounded half to even.
    const QRect half = PrintableAreaRect(area, 50, 96, false);
    EXPECT_EQ(half.x(), int(std::nearbyint(plain.x() * 0.5)));
    EXPECT_EQ(half.width(), int(std::nearbyint(plain.width() * 0.5)));
}

}  // namespace
