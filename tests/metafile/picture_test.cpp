// The picture object: loading, kinds, natural size, stretch-drawing and the
// written forms.
#include <gtest/gtest.h>

#include <QPainter>
#include <QtEndian>

#include "emf_test_support.h"
#include "metafile/emf/emf_records.h"

namespace {

using mftest::Payload;

// A red rectangle over the whole frame of an A-size page at 96 ppi.
QByteArray RedPage(QSizeF mm, int dpi = 96) {
    mf::EmfWriter w(mm, dpi);
    const std::uint32_t brush = w.CreateBrush(mf::kBsSolid, QColor(255, 0, 0));
    w.SelectObject(brush);
    w.SelectObject(mf::kStockObject | mf::kNullPen);
    const QSize d = w.deviceSize();
    w.Rectangle(QRect(QPoint(0, 0), QPoint(d.width(), d.height())));
    return w.Finish();
}

// A placeable WMF with one red rectangle over a 1000 x 500 box at 1000 units
// per inch.
QByteArray PlaceableWmf() {
    Payload body;
    auto record = [&](std::uint16_t fn, std::vector<std::int16_t> params) {
        body.u32(std::uint32_t(3 + params.size())).u16(fn);
        for (std::int16_t v : params)
            body.u16(std::uint16_t(v));
    };
    record(0x020B, {0, 0});             // SETWINDOWORG
    record(0x020C, {500, 1000});        // SETWINDOWEXT
    record(0x02FC, {0, 0xFF, 0, 0});    // CREATEBRUSHINDIRECT solid red
    record(0x012D, {0});                // SELECTOBJECT
    record(0x041B, {500, 1000, 0, 0});  // RECTANGLE
    record(0x0000, {});
    Payload header;
    header.u16(1).u16(9).u16(0x0300).u32(std::uint32_t(9 + body.b.size() / 2)).u16(1).u32(7).u16(0);
    Payload placeable;
    placeable.u32(0x9AC6CDD7).u16(0).u16(0).u16(0).u16(1000).u16(500).u16(1000).u32(0);
    std::uint16_t sum = 0;
    for (int i = 0; i < 10; ++i)
        sum ^= qFromLittleEndian<std::uint16_t>(placeable.b.constData() + 2 * i);
    placeable.u16(sum);
    return placeable.b + header.b + body.b;
}

TEST(PictureLoad, EmfKindSizeAndBytes) {
    const QByteArray emf = RedPage(QSizeF(210, 297));
    QString why;
    auto p = mf::Picture::Load(emf, &why);
    ASSERT_TRUE(p) << why.toStdString();
    EXPECT_EQ(p->kind(), mf::Picture::Kind::Emf);
    EXPECT_EQ(p->unitsPerInch(), 96);
    const QSize natural = p->naturalSize();
    EXPECT_NEAR(natural.width(), 794, 1);
    EXPECT_NEAR(natural.height(), 1123, 1);
    EXPECT_NEAR(p->frameHundredthsMm().width(), 21000, 5);
    EXPECT_EQ(p->ToEmf(), emf);
    EXPECT_EQ(p->bytes(), emf);
}

TEST(PictureLoad, NaturalSizeFollowsTheReferenceDevice) {
    auto p = mf::Picture::Load(RedPage(QSizeF(100, 50), 300));
    ASSERT_TRUE(p);
    EXPECT_NEAR(p->naturalSize().width(), 1181, 1);
    EXPECT_NEAR(p->naturalSize().height(), 591, 1);
}

TEST(PictureLoad, RefusesWhatIsNoPicture) {
    QByteArray emf = RedPage(QSizeF(10, 10));
    QByteArray badHeaderSize = emf;
    qToLittleEndian<quint32>(0x7FFFFFF0, badHeaderSize.data() + 4);
    QByteArray badChecksum = PlaceableWmf();
    badChecksum[20] = char(badChecksum[20] ^ 0x55);
    const QByteArray cases[] = {QByteArray(), QByteArray("hello world"),
                                emf.left(90), badHeaderSize,
                                badChecksum,  QByteArray(200, '\0')};
    for (const QByteArray& bytes : cases) {
        QString why;
        EXPECT_FALSE(mf::Picture::Load(bytes, &why));
        EXPECT_FALSE(why.isEmpty());
    }
}

TEST(PictureLoad, PlaceableWmfKeepsKindAndUnits) {
    QString why;
    auto p = mf::Picture::Load(PlaceableWmf(), &why);
    ASSERT_TRUE(p) << why.toStdString();
    EXPECT_EQ(p->kind(), mf::Picture::Kind::Wmf);
    EXPECT_EQ(p->unitsPerInch(), 1000);
    EXPECT_EQ(p->naturalSize(96), QSize(96, 48));
    const QImage image = p->ToImage(QSize(96, 48));
    EXPECT_EQ(image.pixel(48, 24), qRgb(255, 0, 0));
}

TEST(PictureLoad, PlainWmfOnlyWhenAllowed) {
    const QByteArray plain = PlaceableWmf().mid(22);
    EXPECT_FALSE(mf::Picture::Load(plain));
    auto p = mf::Picture::Load(plain, nullptr, true);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->kind(), mf::Picture::Kind::Wmf);
}

TEST(PictureDraw, StretchesOverTheTargetOnly) {
    auto p = mf::Picture::Load(RedPage(QSizeF(50, 50)));
    ASSERT_TRUE(p);
    QImage image(100, 60, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.translate(10, 0);  // the painter's own transform applies
    p->Draw(painter, QRectF(10, 10, 40, 20));
    painter.end();
    EXPECT_EQ(image.pixel(35, 20), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(59, 29), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(15, 20), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(35, 35), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(65, 20), qRgb(255, 255, 255));
}

TEST(PictureWrite, BmpIs24BitAtNaturalSizeOnWhite) {
    mf::EmfWriter w(QSizeF(20, 10), 127);  // 100 x 50 pixels
    w.Rectangle(QRect(QPoint(0, 0), QPoint(10, 10)));
    auto p = mf::Picture::Load(w.Finish());
    ASSERT_TRUE(p);
    const QByteArray bmp = p->ToBmp();
    ASSERT_GT(bmp.size(), 54);
    EXPECT_EQ(bmp.left(2), QByteArray("BM"));
    EXPECT_EQ(qFromLittleEndian<quint16>(bmp.constData() + 28), 24);
    EXPECT_EQ(qFromLittleEndian<qint32>(bmp.constData() + 18), 100);
    EXPECT_EQ(qFromLittleEndian<qint32>(bmp.constData() + 22), 50);
    EXPECT_EQ(bmp.size(), 54 + 300 * 50);
    const QImage back = QImage::fromData(bmp, "BMP");
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.pixel(50, 40), qRgb(255, 255, 255));
    EXPECT_EQ(back.pixel(0, 5), qRgb(0, 0, 0));  // the rectangle's edge
}

TEST(PictureWrite, PlaceableWmfHeaderAndItReloads) {
    for (const QByteArray& source : {RedPage(QSizeF(50, 25)), PlaceableWmf()}) {
        auto p = mf::Picture::Load(source);
        ASSERT_TRUE(p);
        const QByteArray wmf = p->ToPlaceableWmf();
        ASSERT_GT(wmf.size(), 22 + 18);
        EXPECT_EQ(qFromLittleEndian<quint32>(wmf.constData()), 0x9AC6CDD7u);
        std::uint16_t sum = 0;
        for (int i = 0; i < 10; ++i)
            sum ^= qFromLittleEndian<std::uint16_t>(wmf.constData() + 2 * i);
        EXPECT_EQ(sum, qFromLittleEndian<std::uint16_t>(wmf.constData() + 20));
        const int upi = p->unitsPerInch();
        EXPECT_EQ(qFromLittleEndian<quint16>(wmf.constData() + 14), upi);
        const double width = p->frameHundredthsMm().width() * upi / 2540.0;
        EXPECT_NEAR(qFromLittleEndian<qint16>(wmf.constData() + 10), width, 1);
        auto again = mf::Picture::Load(wmf);
        ASSERT_TRUE(again);
        EXPECT_EQ(again->kind(), mf::Picture::Kind::Wmf);
        const QImage image = again->ToImage(again->naturalSize());
        EXPECT_EQ(image.pixel(image.width() / 2, image.height() / 2), qRgb(255, 0, 0));
    }
}

}  // namespace
