// Damaged EMFs: every fault is skipped or clamped; playing never crashes,
// hangs or allocates beyond what the file justifies.
#include <gtest/gtest.h>

#include <QPainter>
#include <QRandomGenerator>
#include <QtEndian>

#include "emf_test_support.h"
#include "metafile/emf/emf_records.h"

namespace {

using mftest::Payload;
namespace emr = mf::emr;

// Loads and draws at a small size; returns whether it loaded.
bool Survives(const QByteArray& bytes) {
    auto p = mf::Picture::Load(mftest::WithObjectSlots(bytes), nullptr, true);
    if (!p) return false;
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    p->Draw(painter, QRectF(0, 0, 64, 48));
    return true;
}

QByteArray With(const std::vector<std::pair<std::uint32_t, QByteArray>>& records) {
    mf::EmfWriter w = mftest::SquareWriter();
    for (const auto& [type, payload] : records)
        w.AppendRecord(type, payload);
    return w.Finish();
}

TEST(Damage, RecordsThatLieAboutTheirContents) {
    QByteArray bits;
    const QByteArray info = mftest::Dib24(2, 2, {0, 0, 0, 0}, &bits);
    QByteArray bigDib = info;
    qToLittleEndian<qint32>(30000, bigDib.data() + 4);  // promises far more rows than it has
    qToLittleEndian<qint32>(30000, bigDib.data() + 8);
    const std::vector<std::pair<std::uint32_t, QByteArray>> records[] = {
        {{emr::Polyline, Payload().rect(0, 0, 0, 0).u32(0x40000000).i32(1).i32(2)}},
        {{emr::PolyPolygon16, Payload().rect(0, 0, 0, 0).u32(3).u32(10).u32(4).u32(0xFFFFFFFF)}},
        {{emr::PolyDraw, Payload().rect(0, 0, 0, 0).u32(1000)}},
        {{emr::StretchDiBits,
          mftest::StretchDibPayload(QRect(0, 0, 10, 10), QRect(0, 0, 2, 2), bigDib, bits)}},
        {{emr::StretchDiBits,
          mftest::StretchDibPayload(QRect(0, 0, 10, 10), QRect(0, 0, 2, 2), info, bits.left(3))}},
        {{emr::StretchDiBits,
          mftest::StretchDibPayload(QRect(-2000000000, -2000000000, 2147483647, 2147483647),
                                    QRect(0, 0, 2, 2), info, bits)}},
        {{emr::SetMapMode, Payload().u32(8)},
         {emr::SetWindowExtEx, Payload().i32(1).i32(1)},
         {emr::SetViewportExtEx, Payload().i32(2147483647).i32(-2147483647)},
         {emr::Ellipse, Payload().rect(-1000, -1000, 1000, 1000)}},
        {{emr::SetWorldTransform, Payload().f32(1e30f).f32(0).f32(0).f32(1e30f).f32(0).f32(0)},
         {emr::Rectangle, Payload().rect(0, 0, 10, 10)}},
        {{emr::RestoreDc, Payload().i32(-100)}, {emr::RestoreDc, Payload().i32(-2147483647 - 1)}},
        {{emr::SelectObject, Payload().u32(0xFFFFFFFF)},
         {emr::DeleteObject, Payload().u32(0x12345678)}},
        {{emr::ExtSelectClipRgn, Payload().u32(0xFFFFFFF0).u32(1)}},
        {{emr::FillRgn, Payload().rect(0, 0, 0, 0).u32(64).u32(0x80000004)}},
        {{emr::GradientFill, Payload().rect(0, 0, 0, 0).u32(0x7FFFFFFF).u32(1).u32(2)}},
        {{emr::SmallTextOut,
          Payload().i32(0).i32(0).u32(0x7FFFFFFF).u32(0x300).u32(1).f32(1).f32(1)}},
        {{emr::ExtCreatePen,
          Payload().u32(1).u32(0).u32(0).u32(0).u32(0).u32(0x10007).u32(5).u32(0).u32(0).u32(0).u32(
              0xFFFFFFFF)}},
        {{emr::AngleArc, Payload().i32(0).i32(0).u32(0xFFFFFFFF).f32(0).f32(1e30f)}},
    };
    for (const auto& r : records)
        EXPECT_TRUE(Survives(With(r)));
}

TEST(Damage, AbsurdDrawingWorkIsBounded) {
    // A dashed cosmetic pen along an enormous polyline, a very wide geometric
    // pen, and a huge font: each is clamped or skipped, so the draw ends
    // (the test's timeout would catch a hang).
    Payload line;
    line.rect(0, 0, 0, 0).u32(2).i32(-2000000000).i32(5).i32(2000000000).i32(5);
    Payload dashedPen;
    dashedPen.u32(1).u32(0).u32(0).u32(0).u32(0).u32(2).u32(1).u32(0).u32(0).u32(0).u32(0);
    Payload widePen;
    widePen.u32(2)
        .u32(0)
        .u32(0)
        .u32(0)
        .u32(0)
        .u32(0x10000)
        .u32(2000000000)
        .u32(0)
        .u32(0)
        .u32(0)
        .u32(0);
    Payload font;
    font.i32(-2000000000).i32(0).i32(0).i32(0).i32(400).u32(0);
    for (int i = 0; i < 32; ++i)
        font.u16(i == 0 ? 'A' : 0);
    const QString text = QStringLiteral("AAAA");
    Payload textOut;
    textOut.rect(0, 0, 0, 0)
        .u32(1)
        .f32(1)
        .f32(1)
        .i32(0)
        .i32(0)
        .u32(4)
        .u32(76)
        .u32(0)
        .rect(0, 0, -1, -1)
        .u32(0);
    textOut.raw(QByteArray(reinterpret_cast<const char*>(text.utf16()), 8));
    EXPECT_TRUE(Survives(With({{emr::ExtCreatePen, dashedPen},
                               {emr::SelectObject, Payload().u32(1)},
                               {emr::Polyline, line},
                               {emr::ExtCreatePen, widePen},
                               {emr::SelectObject, Payload().u32(2)},
                               {emr::Polyline, line},
                               {emr::ExtCreateFontIndirectW, Payload().u32(3).raw(font)},
                               {emr::SelectObject, Payload().u32(3)},
                               {emr::ExtTextOutW, textOut}})));
}

TEST(Damage, OutlinesPastTheDrawBudgetAreLeftOut) {
    // A polyline of many points zigzags along the top edge; a line across the
    // middle follows. Wide pens pay per element, thin ones per pixel of
    // length: past either budget the rest of the draw strokes nothing, below
    // it everything is drawn.
    struct Case {
        int penWidth;
        int points;
        bool lineDrawn;
    };
    const Case cases[] = {{3, 250000, false}, {3, 1000, true}, {0, 250000, false}, {0, 1000, true}};
    for (const Case& c : cases) {
        mf::EmfWriter w = mftest::SquareWriter();
        w.SelectObject(w.CreatePen(mf::kPsSolid, c.penWidth, Qt::black));
        Payload zigzag;
        zigzag.rect(0, 0, 99, 0).u32(std::uint32_t(c.points));
        for (int i = 0; i < c.points; ++i)
            zigzag.u16(i % 2 ? 99 : 0).u16(0);
        w.AppendRecord(emr::Polyline16, zigzag);
        w.MoveTo(QPoint(0, 50));
        w.LineTo(QPoint(99, 50));
        const auto picture = mf::Picture::Load(w.Finish());
        ASSERT_TRUE(picture);
        QImage image(100, 100, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        picture->Draw(painter, QRectF(0, 0, 100, 100));
        painter.end();
        bool drawn = false;
        for (int y = 48; y <= 52; ++y)
            drawn = drawn || image.pixel(50, y) != qRgb(255, 255, 255);
        EXPECT_EQ(drawn, c.lineDrawn) << c.penWidth << " " << c.points;
    }
}

TEST(Damage, ClipRectanglesBeyondIntegers) {
    // A clip rectangle scaled by the world transform past any integer still
    // clips: one around everything lets a square through, one far away hides it.
    struct Case {
        int left, right;
        bool squareDrawn;
    };
    const Case cases[] = {{-1000000, 1000000, true}, {1000000, 2000000, false}};
    for (const Case& c : cases) {
        mf::EmfWriter w = mftest::SquareWriter();
        w.SelectObject(w.CreateBrush(0, Qt::black));
        w.AppendRecord(emr::SetWorldTransform,
                       Payload().f32(1e6f).f32(0).f32(0).f32(1e6f).f32(0).f32(0));
        w.AppendRecord(emr::IntersectClipRect, Payload().rect(c.left, c.left, c.right, c.right));
        w.AppendRecord(emr::ModifyWorldTransform,
                       Payload().f32(1).f32(0).f32(0).f32(1).f32(0).f32(0).u32(1));
        w.Rectangle(QRect(QPoint(10, 10), QPoint(50, 50)));
        const auto picture = mf::Picture::Load(w.Finish());
        ASSERT_TRUE(picture);
        QImage image(100, 100, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        picture->Draw(painter, QRectF(0, 0, 100, 100));
        painter.end();
        EXPECT_EQ(image.pixel(30, 30) == qRgb(0, 0, 0), c.squareDrawn) << c.left;
    }
}

TEST(Damage, HeaderFrameFromBoundsStaysInRange) {
    // An empty frame falls back to the bounds, scaled by the reference
    // device's millimetres per pixel; absurd devices or bounds are refused
    // rather than overflowing the frame.
    struct Case {
        QRect bounds;      // left, top, right, bottom as stored
        QSize pixels, mm;  // reference device
        QSize natural;     // empty: refused
    };
    const Case cases[] = {
        {QRect(QPoint(0, 0), QPoint(49, 29)), QSize(100, 100), QSize(20, 20), QSize(50, 30)},
        {QRect(QPoint(0, 0), QPoint(249, 99)), QSize(1024, 768), QSize(761000000, 761000000),
         QSize()},
        {QRect(QPoint(-2147483647 - 1, 0), QPoint(2147483647, 10)), QSize(100, 100), QSize(20, 20),
         QSize()},
    };
    const QByteArray valid = mftest::SquareWriter().Finish();
    for (const Case& c : cases) {
        QByteArray bytes = valid;
        char* h = bytes.data();
        qToLittleEndian<qint32>(c.bounds.left(), h + 8);
        qToLittleEndian<qint32>(c.bounds.top(), h + 12);
        qToLittleEndian<qint32>(c.bounds.right(), h + 16);
        qToLittleEndian<qint32>(c.bounds.bottom(), h + 20);
        for (int i = 24; i < 40; ++i)
            h[i] = 0;  // empty frame
        qToLittleEndian<qint32>(c.pixels.width(), h + 72);
        qToLittleEndian<qint32>(c.pixels.height(), h + 76);
        qToLittleEndian<qint32>(c.mm.width(), h + 80);
        qToLittleEndian<qint32>(c.mm.height(), h + 84);
        const auto picture = mf::Picture::Load(bytes);
        if (c.natural.isEmpty()) {
            EXPECT_FALSE(picture) << c.bounds.left() << " " << c.mm.width();
        } else {
            ASSERT_TRUE(picture);
            EXPECT_EQ(picture->naturalSize(), c.natural);
        }
    }
}

TEST(Damage, RandomMutationsOfAValidFile) {
    QByteArray bits;
    const QByteArray info = mftest::Dib24(2, 2, {0xFF0000, 0xFF00, 0xFF, 0}, &bits);
    mf::EmfWriter w = mftest::SquareWriter();
    const std::uint32_t pen = w.CreatePen(mf::kPsDash, 1, QColor(1, 2, 3));
    w.SelectObject(pen);
    w.AppendRecord(emr::SaveDc, {});
    w.AppendRecord(emr::IntersectClipRect, Payload().rect(1, 1, 90, 90));
    w.Rectangle(QRect(5, 5, 50, 50));
    w.AppendRecord(emr::StretchDiBits,
                   mftest::StretchDibPayload(QRect(0, 0, 30, 30), QRect(0, 0, 2, 2), info, bits));
    const std::uint32_t font = w.CreateFont(QStringLiteral("Arial"), -12);
    w.SelectObject(font);
    w.ExtTextOut(QPoint(10, 10), QStringLiteral("Text テキスト"), 12);
    w.AppendRecord(emr::RestoreDc, Payload().i32(-1));
    const QByteArray valid = w.Finish();
    ASSERT_TRUE(Survives(valid));
    QRandomGenerator random(1234);
    for (int round = 0; round < 400; ++round) {
        QByteArray bytes = valid;
        const int changes = 1 + int(random.bounded(8));
        for (int i = 0; i < changes; ++i) {
            const int at = 80 + int(random.bounded(quint32(bytes.size() - 80)));
            bytes[at] =
                char(random.bounded(2) ? random.bounded(256) : (random.bounded(2) ? 0xFF : 0x7F));
        }
        if (round % 7 == 0) bytes.truncate(100 + int(random.bounded(quint32(bytes.size() - 100))));
        Survives(bytes);
    }
}

}  // namespace
