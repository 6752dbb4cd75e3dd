// Pens, brushes, paths, clipping and the object table, checked on the dump
// of what small hand-made EMFs draw.
#include <gtest/gtest.h>

#include <QFile>
#include <QRegion>

#include "emf_test_support.h"
#include "metafile/emf/emf_records.h"
#include "support/test_support.h"

namespace {

using mftest::Payload;
namespace emr = mf::emr;

QByteArray Points16(std::initializer_list<QPoint> pts) {
    Payload p;
    p.rect(0, 0, 0, 0).u32(std::uint32_t(pts.size()));
    for (const QPoint& q : pts)
        p.u16(std::uint16_t(q.x())).u16(std::uint16_t(q.y()));
    return p;
}

QByteArray ExtPen(std::uint32_t style, std::uint32_t width, QRgb color,
                  std::vector<std::uint32_t> dashes = {}, std::uint32_t brushStyle = 0) {
    Payload p;
    p.u32(0).u32(0).u32(0).u32(0);  // no bitmap
    p.u32(style).u32(width).u32(brushStyle);
    p.u32(qRed(color) | (qGreen(color) << 8) | (qBlue(color) << 16));
    p.u32(0).u32(std::uint32_t(dashes.size()));
    for (std::uint32_t d : dashes)
        p.u32(d);
    return p;
}

TEST(Pens, StylesWidthsAndNullPen) {
    struct Case {
        const char* what;
        QByteArray pen;        // EXTCREATEPEN payload without the index
        const char* expected;  // the stroke line up to the path
    };
    const Case cases[] = {
        {"cosmetic dash", ExtPen(1, 1, qRgb(255, 0, 0)), "stroke #ff0000 w=1 dash=18/6 copy"},
        {"cosmetic dot", ExtPen(2, 1, qRgb(0, 0, 255)), "stroke #0000ff w=1 dash=3/3 copy"},
        {"geometric wide", ExtPen(0x10000, 6, qRgb(0, 0, 0)), "stroke #000000 w=6 copy"},
        {"geometric dash in widths", ExtPen(0x10001, 4, qRgb(0, 0, 0)),
         "stroke #000000 w=4 dash=3/1 copy"},
        {"user style", ExtPen(0x10007, 2, qRgb(0, 0, 0), {8, 4}),
         "stroke #000000 w=2 dash=4/2 copy"},
    };
    for (const Case& c : cases) {
        mf::EmfWriter w = mftest::SquareWriter();
        w.AppendRecord(emr::SetBkMode, Payload().u32(1));
        w.AppendRecord(emr::ExtCreatePen, Payload().u32(1).raw(c.pen));
        w.AppendRecord(emr::SelectObject, Payload().u32(1));
        w.AppendRecord(emr::Polyline16, Points16({{0, 0}, {50, 0}}));
        const QStringList draws = mftest::Draws(w.Finish());
        ASSERT_EQ(draws.size(), 1) << c.what;
        EXPECT_TRUE(draws[0].startsWith(QString::fromLatin1(c.expected)))
            << c.what << ": " << draws[0].toStdString();
    }
}

// A pen that ExtCreatePen refuses leaves its slot empty, so the line keeps
// the pen selected before (red); a null style is a pen that draws nothing.
TEST(Pens, ExtendedPenRefusalsKeepThePreviousPen) {
    constexpr std::uint32_t kGeometric = 0x10000, kNull = 5, kAlternate = 8, kUserStyle = 7;
    constexpr std::uint32_t kHatched = 2;
    const char* const kNothing = "";
    const char* const kPrevious = "stroke #ff0000";
    const char* const kOwn = "stroke #0000ff";
    struct Case {
        const char* what;
        QByteArray pen;
        const char* expected;
    };
    const std::vector<std::uint32_t> seventeen(17, 2);
    const Case cases[] = {
        {"cosmetic null of width 0", ExtPen(kNull, 0, qRgb(0, 0, 255)), kNothing},
        {"geometric null of width 5", ExtPen(kGeometric | kNull, 5, qRgb(0, 0, 255)), kNothing},
        {"cosmetic of width 0", ExtPen(0, 0, qRgb(0, 0, 255)), kPrevious},
        {"cosmetic of width 3", ExtPen(0, 3, qRgb(0, 0, 255)), kPrevious},
        {"cosmetic hatched", ExtPen(0, 1, qRgb(0, 0, 255), {}, kHatched), kPrevious},
        {"geometric alternate", ExtPen(kGeometric | kAlternate, 2, qRgb(0, 0, 255)), kPrevious},
        {"user style of no entries", ExtPen(kGeometric | kUserStyle, 2, qRgb(0, 0, 255)),
         kPrevious},
        {"user style of 17 entries", ExtPen(kGeometric | kUserStyle, 2, qRgb(0, 0, 255), seventeen),
         kPrevious},
        {"solid style with entries", ExtPen(kGeometric, 2, qRgb(0, 0, 255), {4, 4}), kPrevious},
        {"cosmetic alternate", ExtPen(kAlternate, 1, qRgb(0, 0, 255)), kOwn},
    };
    for (const Case& c : cases) {
        mf::EmfWriter w = mftest::SquareWriter();
        w.AppendRecord(emr::SetBkMode, Payload().u32(1));
        w.AppendRecord(emr::ExtCreatePen, Payload().u32(1).raw(ExtPen(0, 1, qRgb(255, 0, 0))));
        w.AppendRecord(emr::SelectObject, Payload().u32(1));
        w.AppendRecord(emr::ExtCreatePen, Payload().u32(2).raw(c.pen));
        w.AppendRecord(emr::SelectObject, Payload().u32(2));
        w.AppendRecord(emr::Polyline16, Points16({{0, 0}, {50, 0}}));
        const QStringList draws = mftest::Draws(w.Finish());
        if (*c.expected == 0) {
            EXPECT_TRUE(draws.isEmpty()) << c.what << ": " << draws.join(u'|').toStdString();
            continue;
        }
        ASSERT_EQ(draws.size(), 1) << c.what;
        EXPECT_TRUE(draws[0].startsWith(QString::fromLatin1(c.expected)))
            << c.what << ": " << draws[0].toStdString();
    }
}

TEST(Pens, NullPenDrawsNothingAndHugeWidthIsBounded) {
    mf::EmfWriter w = mftest::SquareWriter();
    w.SelectObject(mf::kStockObject | mf::kNullPen);
    w.AppendRecord(emr::Polyline16, Points16({{0, 0}, {50, 0}}));
    w.AppendRecord(emr::ExtCreatePen, Payload().u32(1).raw(ExtPen(0x10000, 2000000000, 0)));
    w.AppendRecord(emr::SelectObject, Payload().u32(1));
    w.AppendRecord(emr::Polyline16, Points16({{0, 0}, {50, 0}}));
    const QStringList draws = mftest::Draws(w.Finish());
    ASSERT_EQ(draws.size(), 1);
    const double width =
        draws[0].section(QLatin1String("w="), 1).section(QLatin1Char(' '), 0, 0).toDouble();
    EXPECT_GT(width, 100);
    EXPECT_LT(width, 1000);
}

TEST(Pens, StyledCosmeticLineOnOpaqueBackgroundFillsItsGaps) {
    mf::EmfWriter w = mftest::SquareWriter();
    w.SetBkMode(mf::kOpaque);
    w.SetBkColor(QColor(0, 255, 0));
    w.AppendRecord(emr::ExtCreatePen, Payload().u32(1).raw(ExtPen(1, 1, qRgb(255, 0, 0))));
    w.AppendRecord(emr::SelectObject, Payload().u32(1));
    w.AppendRecord(emr::Polyline16, Points16({{0, 0}, {50, 0}}));
    const QStringList draws = mftest::Draws(w.Finish());
    ASSERT_EQ(draws.size(), 2);
    EXPECT_TRUE(draws[0].startsWith(QStringLiteral("stroke #00ff00 w=1 copy")));
    EXPECT_TRUE(draws[1].startsWith(QStringLiteral("stroke #ff0000 w=1 dash=18/6")));
}

TEST(Brushes, HatchOnOpaqueBackgroundAndRop2) {
    mf::EmfWriter w = mftest::SquareWriter();
    w.SelectObject(mf::kStockObject | mf::kNullPen);
    w.SetBkMode(mf::kOpaque);
    w.SetBkColor(QColor(255, 255, 0));
    const std::uint32_t hatch = w.CreateBrush(mf::kBsHatched, QColor(0, 0, 255), 5);
    w.SelectObject(hatch);
    w.Rectangle(QRect(0, 0, 10, 10));
    w.SetBkMode(mf::kTransparent);
    w.AppendRecord(emr::SetRop2, Payload().u32(7));  // R2_XORPEN
    w.Rectangle(QRect(0, 0, 10, 10));
    w.AppendRecord(emr::SetRop2, Payload().u32(11));  // R2_NOP
    w.Rectangle(QRect(0, 0, 10, 10));
    const QStringList draws = mftest::Draws(w.Finish());
    ASSERT_EQ(draws.size(), 3);
    EXPECT_TRUE(draws[0].startsWith(QStringLiteral("fill solid #ffff00 copy")));
    EXPECT_TRUE(draws[1].startsWith(QStringLiteral("fill hatch-diagcross #0000ff copy")));
    EXPECT_TRUE(draws[2].startsWith(QStringLiteral("fill hatch-diagcross #0000ff xor")));
}

TEST(Objects, IndexesOutOfRangeOrDeletedAreIgnored) {
    mf::EmfWriter w = mftest::SquareWriter();
    const std::uint32_t red = w.CreatePen(mf::kPsSolid, 1, QColor(255, 0, 0));
    w.SelectObject(red);
    // Creating beyond the header's table, selecting unknown or deleted ones.
    w.AppendRecord(emr::CreatePen, Payload().u32(0x7FFFFFF0).u32(0).i32(1).i32(0).u32(0xFF00));
    w.AppendRecord(emr::SelectObject, Payload().u32(0x7FFFFFF0));
    w.AppendRecord(emr::SelectObject, Payload().u32(0x80000063));
    const std::uint32_t green = w.CreatePen(mf::kPsSolid, 1, QColor(0, 255, 0));
    w.DeleteObject(green);
    w.AppendRecord(emr::SelectObject, Payload().u32(green));
    w.MoveTo(QPoint(0, 0));
    w.LineTo(QPoint(10, 0));
    const QStringList draws = mftest::Draws(w.Finish());
    ASSERT_EQ(draws.size(), 1);
    EXPECT_TRUE(draws[0].startsWith(QStringLiteral("stroke #ff0000"))) << draws[0].toStdString();
}

TEST(Paths, BracketFillsStrokesAndClips) {
    mf::EmfWriter w = mftest::SquareWriter();
    w.AppendRecord(emr::BeginPath, {});
    w.MoveTo(QPoint(0, 0));
    w.LineTo(QPoint(10, 0));
    w.LineTo(QPoint(10, 10));
    w.AppendRecord(emr::CloseFigure, {});
    w.AppendRecord(emr::EndPath, {});
    w.AppendRecord(emr::StrokeAndFillPath, Payload().rect(0, 0, 10, 10));
    w.AppendRecord(emr::StrokePath, Payload().rect(0, 0, 10, 10));  // path already used
    w.AppendRecord(emr::BeginPath, {});
    w.Rectangle(QRect(QPoint(20, 20), QPoint(30, 30)));
    w.AppendRecord(emr::EndPath, {});
    w.AppendRecord(emr::SelectClipPath, Payload().u32(5));
    w.SelectObject(mf::kStockObject | mf::kNullPen);
    w.Rectangle(QRect(QPoint(0, 0), QPoint(90, 90)));  // clips are sent with the next drawing
    QStringList dump = mftest::Dump(w.Finish());
    if (!dump.isEmpty() && dump.first() == QStringLiteral("clip none")) dump.removeFirst();
    dump = dump.mid(0, 3);
    ASSERT_EQ(dump.size(), 3) << dump.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(dump[0].toStdString(), "fill solid #ffffff copy M0,0 L10,0 L10,10 L0,0");
    EXPECT_EQ(dump[1].toStdString(), "stroke #000000 w=1 copy M0,0 L10,0 L10,10 L0,0");
    EXPECT_EQ(dump[2].toStdString(), "clip rect(20,20 30,30)");
}

TEST(Clipping, RectanglesRegionsAndRestore) {
    mf::EmfWriter w = mftest::SquareWriter();
    // Clips reach the output with the next drawing: a dot after each step.
    auto dot = [&w]() { w.AppendRecord(emr::SetPixelV, Payload().i32(1).i32(1).u32(0)); };
    w.AppendRecord(emr::SaveDc, {});
    w.AppendRecord(emr::IntersectClipRect, Payload().rect(10, 10, 50, 50));
    dot();
    w.AppendRecord(emr::IntersectClipRect, Payload().rect(20, 0, 90, 40));
    dot();
    w.AppendRecord(emr::RestoreDc, Payload().i32(-1));
    dot();
    // A region of one rectangle in device units, then a part taken away.
    Payload region;
    region.u32(32).u32(1).u32(1).u32(16).rect(5, 5, 15, 15).rect(5, 5, 15, 15);
    w.AppendRecord(emr::ExtSelectClipRgn, Payload().u32(48).u32(5).raw(region));
    dot();
    w.AppendRecord(emr::ExcludeClipRect, Payload().rect(5, 5, 10, 15));
    dot();
    w.AppendRecord(emr::ExtSelectClipRgn, Payload().u32(0).u32(5));
    dot();
    // A region whose rectangle count overruns the record is skipped.
    Payload bad;
    bad.u32(32).u32(1).u32(1000).u32(16).rect(5, 5, 15, 15);
    w.AppendRecord(emr::ExtSelectClipRgn, Payload().u32(32).u32(5).raw(bad));
    dot();
    const QStringList dump = mftest::Dump(w.Finish()).filter(QStringLiteral("clip"));
    ASSERT_EQ(dump.size(), 6) << dump.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(dump[0].toStdString(), "clip rect(10,10 50,50)");
    EXPECT_EQ(dump[1].toStdString(), "clip rect(20,10 50,40)");
    EXPECT_EQ(dump[2].toStdString(), "clip none");
    EXPECT_EQ(dump[3].toStdString(), "clip rect(5,5 15,15)");
    EXPECT_TRUE(dump[4].startsWith(QStringLiteral("clip M"))) << dump[4].toStdString();
    EXPECT_EQ(dump[5].toStdString(), "clip none");
}

TEST(Clipping, ManyRectanglesStayCheap) {
    // Thousands of excluded rectangles combine as a region (pixel rows), not
    // as ever longer paths.
    mf::EmfWriter w = mftest::SquareWriter();
    for (int i = 0; i < 3000; ++i) {
        const int x = (i * 37) % 90, y = (i * 53) % 90;
        w.AppendRecord(emr::ExcludeClipRect, Payload().rect(x, y, x + 1 + i % 7, y + 1 + i % 5));
    }
    w.Rectangle(QRect(0, 0, 100, 100));
    const QStringList dump = mftest::Dump(w.Finish());
    ASSERT_EQ(dump.filter(QStringLiteral("clip M")).size(), 1);
}

// Rectangles taken out of a rectangular clip leave a shape whose edges all
// run along the axes; thousands of them combine as a region, and the page
// still shows exactly the holes.
TEST(Clipping, RectanglesExcludedFromARectangleLeaveExactHoles) {
    mf::EmfWriter w = mftest::SquareWriter();
    w.AppendRecord(emr::IntersectClipRect, Payload().rect(5, 5, 95, 95));
    QRegion holes;
    for (int i = 0; i < 2000; ++i) {
        const int x = (i * 37) % 90, y = (i * 53) % 90;
        const QRect hole(QPoint(x, y), QPoint(x + i % 7, y + i % 5));
        holes += hole;
        w.AppendRecord(emr::ExcludeClipRect, Payload().rect(hole.left(), hole.top(),
                                                            hole.right() + 1, hole.bottom() + 1));
    }
    w.SelectObject(w.CreateBrush(0, Qt::black));
    w.SelectObject(mf::kStockObject | mf::kNullPen);
    w.Rectangle(QRect(0, 0, 101, 101));
    auto picture = mf::Picture::Load(w.Finish());
    ASSERT_TRUE(picture);
    const QImage image = picture->ToImage(QSize(100, 100));
    const QRegion inked = QRegion(5, 5, 90, 90) - holes;
    int wrong = 0;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 100; ++x) {
            const bool black = qGray(image.pixel(x, y)) < 128;
            if (black != inked.contains(QPoint(x, y))) ++wrong;
        }
    }
    EXPECT_EQ(wrong, 0);
}

// A plain WMF of about 8,000 ExcludeClipRect records once took seconds.
TEST(Clipping, ThousandsOfExclusionsFromFuzzingDraw) {
    QFile file(sharedDir() + QStringLiteral("/corpus/fuzz-found/exclude-clip-8000.wmf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
    auto picture = mf::Picture::Load(file.readAll(), nullptr, true);
    ASSERT_TRUE(picture);
    const QImage image = picture->ToImage(picture->naturalSize());
    EXPECT_FALSE(image.isNull());
}

TEST(Bitmaps, SourceRowsCountFromTheBottomAndHalftoneAverages) {
    QByteArray bits;
    // 2 x 2: top row red, blue; bottom row white, black.
    const QByteArray info = mftest::Dib24(
        2, 2, {qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(255, 255, 255), qRgb(0, 0, 0)}, &bits);
    mf::EmfWriter w = mftest::SquareWriter();
    // StretchDIBits' source y of a bottom-up DIB counts from the bottom row.
    w.AppendRecord(emr::StretchDiBits,
                   mftest::StretchDibPayload(QRect(0, 0, 10, 10), QRect(0, 0, 1, 1), info, bits));
    w.AppendRecord(emr::StretchDiBits,
                   mftest::StretchDibPayload(QRect(0, 0, 10, 10), QRect(1, 1, 1, 1), info, bits));
    // Shrinking the bottom row to one pixel: nearest by default, averaged in HALFTONE.
    w.AppendRecord(emr::StretchDiBits,
                   mftest::StretchDibPayload(QRect(0, 0, 1, 1), QRect(0, 0, 2, 1), info, bits));
    w.AppendRecord(emr::SetStretchBltMode, Payload().u32(4));
    w.AppendRecord(emr::StretchDiBits,
                   mftest::StretchDibPayload(QRect(0, 0, 1, 1), QRect(0, 0, 2, 1), info, bits));
    // Mirrored destination.
    w.AppendRecord(emr::StretchDiBits,
                   mftest::StretchDibPayload(QRect(10, 0, -10, 10), QRect(0, 1, 2, 1), info, bits));
    const QStringList draws = mftest::Draws(w.Finish());
    ASSERT_EQ(draws.size(), 5) << draws.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(draws[0].toStdString(), "image 10x10 at 0,0 size 10x10 copy first=ffffffff");
    EXPECT_EQ(draws[1].toStdString(), "image 10x10 at 0,0 size 10x10 copy first=ff0000ff");
    EXPECT_EQ(draws[2].section(QLatin1String("first="), 1).toStdString(), "ff000000");
    EXPECT_EQ(draws[3].section(QLatin1String("first="), 1).toStdString(), "ff808080");
    EXPECT_EQ(draws[4].section(QLatin1String("first="), 1).toStdString(), "ff0000ff");
}

// A mirrored bitmap stretched far beyond the output decodes only the part
// that shows, and shows it as the same stretch of the mirrored bitmap does.
TEST(Bitmaps, AMirroredStretchFarBeyondTheOutputDecodesOnlyItsVisiblePart) {
    const std::vector<QRgb> pixels = {qRgb(255, 0, 0),   qRgb(0, 0, 255),     qRgb(0, 255, 0),
                                      qRgb(255, 255, 0), qRgb(255, 255, 255), qRgb(0, 0, 0),
                                      qRgb(0, 255, 255), qRgb(255, 0, 255),   qRgb(128, 128, 128)};
    std::vector<QRgb> turned(pixels.rbegin(), pixels.rend());  // both ways round
    const auto scene = [](const std::vector<QRgb>& dib, QRect dest) {
        QByteArray bits;
        const QByteArray info = mftest::Dib24(3, 3, dib, &bits);
        mf::EmfWriter w = mftest::SquareWriter();
        w.AppendRecord(emr::StretchDiBits,
                       mftest::StretchDibPayload(dest, QRect(0, 0, 3, 3), info, bits));
        return w.Finish();
    };
    // 6000 pixels a side, its middle over the 100 x 100 output.
    const QByteArray mirrored = scene(pixels, QRect(3050, 3050, -6000, -6000));
    const QByteArray plain = scene(turned, QRect(-2950, -2950, 6000, 6000));
    const QStringList draws = mftest::Draws(mirrored);
    ASSERT_EQ(draws.size(), 1);
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("image (\\d+)x(\\d+)")).match(draws[0]);
    ASSERT_TRUE(m.hasMatch()) << draws[0].toStdString();
    EXPECT_LT(m.captured(1).toInt(), 6000) << draws[0].toStdString();
    EXPECT_LT(m.captured(2).toInt(), 6000);
    const auto render = [](const QByteArray& emf) {
        auto picture = mf::Picture::Load(mftest::WithObjectSlots(emf), nullptr, true);
        return picture ? picture->ToImage(QSize(100, 100)) : QImage();
    };
    const QImage expected = render(plain);
    ASSERT_FALSE(expected.isNull());
    EXPECT_EQ(render(mirrored), expected);
    EXPECT_EQ(expected.pixelColor(50, 50), QColor(255, 255, 255));  // the middle pixel
}

TEST(Bitmaps, PatternOnlyRasterOperations) {
    mf::EmfWriter w = mftest::SquareWriter();
    const std::uint32_t brush = w.CreateBrush(mf::kBsSolid, QColor(0, 0, 255));
    w.SelectObject(brush);
    Payload blt;  // BitBlt without a source bitmap
    blt.rect(0, 0, 0, 0).i32(0).i32(0).i32(10).i32(10);
    auto rop = [&](std::uint32_t code) {
        Payload p = blt;
        p.u32(code).i32(0).i32(0);
        for (int i = 0; i < 6; ++i)
            p.f32(i == 0 || i == 3 ? 1 : 0);
        p.u32(0).u32(0).u32(0).u32(0).u32(0).u32(0);
        return QByteArray(p);
    };
    w.AppendRecord(emr::BitBlt, rop(0xF00021));  // PATCOPY
    w.AppendRecord(emr::BitBlt, rop(0x5A0049));  // PATINVERT
    w.AppendRecord(emr::BitBlt, rop(0x550009));  // DSTINVERT
    w.AppendRecord(emr::BitBlt, rop(0x000042));  // BLACKNESS
    const QStringList draws = mftest::Draws(w.Finish());
    ASSERT_EQ(draws.size(), 4);
    EXPECT_TRUE(draws[0].startsWith(QStringLiteral("fill solid #0000ff copy")));
    EXPECT_TRUE(draws[1].startsWith(QStringLiteral("fill solid #0000ff xor")));
    EXPECT_TRUE(draws[2].contains(QStringLiteral(" notdest ")));
    EXPECT_TRUE(draws[3].startsWith(QStringLiteral("fill solid #000000 copy")));
}

}  // namespace
