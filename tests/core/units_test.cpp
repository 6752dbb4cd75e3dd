#include <gtest/gtest.h>

#include "core/units.h"

TEST(RoundFixed, HalvesGoAwayFromZero) {
    EXPECT_EQ(RoundFixed(25000), 3);
    EXPECT_EQ(RoundFixed(24999), 2);
    EXPECT_EQ(RoundFixed(-25000), -3);
    EXPECT_EQ(RoundFixed(-24999), -2);
    EXPECT_EQ(RoundFixed(0), 0);
    EXPECT_EQ(RoundFixed(INT64_MAX), INT64_MAX / 10000 + 1);
    EXPECT_EQ(RoundFixed(INT64_MIN), INT64_MIN / 10000 - 1);
}

TEST(MmToScreenPixels, PaperAndMarginsAt96Ppi) {
    EXPECT_EQ(MmToScreenPixels(WholeMm(210), 96), 794);
    EXPECT_EQ(MmToScreenPixels(WholeMm(297), 96), 1123);
    EXPECT_EQ(MmToScreenPixels(132000, 96), 50);  // 13.2 mm
    EXPECT_EQ(MmToScreenPixels(-132000, 96), -50);
    EXPECT_EQ(MmToScreenPixels(0, 96), 0);
    // Uses 0.39375 in/cm: 25.4 mm is 96.012 px, not 96.
    EXPECT_EQ(MmToScreenPixels(254000, 96), 96);
    EXPECT_EQ(MmToScreenPixels(WholeMm(210), 120), 992);  // 992.25
}

TEST(MmToScreenPixels, ExtremeValuesSaturate) {
    EXPECT_EQ(MmToScreenPixels(INT64_MAX, 96), INT32_MAX);
    EXPECT_EQ(MmToScreenPixels(INT64_MIN, 96), INT32_MIN);
}

TEST(ScreenPixelsToMm, TenthsOfMillimetres) {
    EXPECT_EQ(ScreenPixelsToMm(10, 96), 26000);    // 2.6 mm
    EXPECT_EQ(ScreenPixelsToMm(-10, 96), -26000);  // -2.6 mm
    EXPECT_EQ(ScreenPixelsToMm(50, 96), 132000);   // 13.2 mm
    EXPECT_EQ(ScreenPixelsToMm(0, 96), 0);
    EXPECT_EQ(ScreenPixelsToMm(794, 96), 2101000);  // 210.05 mm rounds up
}

TEST(ParseScaled, DecimalTextToScaled) {
    EXPECT_EQ(ParseScaled(QStringLiteral("3.0")), 30000);
    EXPECT_EQ(ParseScaled(QStringLiteral("-2.6")), -26000);
    EXPECT_EQ(ParseScaled(QStringLiteral("12")), 120000);
    EXPECT_EQ(ParseScaled(QStringLiteral("0.0005")), 5);
    EXPECT_EQ(ParseScaled(QStringLiteral("3.00001")), std::nullopt);
    EXPECT_EQ(ParseScaled(QStringLiteral("3.")), std::nullopt);
    EXPECT_EQ(ParseScaled(QStringLiteral("x")), std::nullopt);
}
