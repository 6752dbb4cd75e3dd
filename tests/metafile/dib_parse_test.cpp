// Header, colour table and size checks of ParseDib.

#include <gtest/gtest.h>

#include <QBuffer>

#include "metafile/dib_test_builder.h"

namespace {

using namespace dib_test;

// A 1 bpp 3x2 image with a red/blue table under each header kind must decode
// to the same pixels.
TEST(DibParse, EveryHeaderKindReadsTheSameIndexedImage) {
    struct Case {
        const char* name;
        Bytes info;
        bool rgbTriples;
    };
    const Case cases[] = {
        {"core", CoreHeader(3, 2, 1), true},
        {"info", InfoHeader(3, 2, 1), false},
        {"v4", InfoHeader(3, 2, 1, mf::kBiRgb, 108), false},
        {"v5", InfoHeader(3, 2, 1, mf::kBiRgb, 124), false},
    };
    // Rows bottom-up: bottom row 1,0,1 ; top row 0,1,1.
    const Bytes bits = {0b10100000, 0, 0, 0, 0b01100000, 0, 0, 0};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Dib dib{c.info, bits};
        for (QRgb colour : {0xFFFF0000u, 0xFF0000FFu}) {
            PutRgbQuad(dib.info, colour);
            if (c.rgbTriples) dib.info.pop_back();
        }
        QString why;
        const auto view = dib.Parse(mf::kDibRgbColors, &why);
        ASSERT_TRUE(view) << why.toStdString();
        EXPECT_EQ(view->width, 3);
        EXPECT_EQ(view->height, 2);
        EXPECT_EQ(view->palette.size(), 2u);
        const QImage image = mf::DecodeDib(*view);
        ASSERT_EQ(image.size(), QSize(3, 2));
        const QRgb r = 0xFFFF0000u, b = 0xFF0000FFu;
        EXPECT_EQ(image.pixel(0, 0), r);
        EXPECT_EQ(image.pixel(1, 0), b);
        EXPECT_EQ(image.pixel(2, 0), b);
        EXPECT_EQ(image.pixel(0, 1), b);
        EXPECT_EQ(image.pixel(1, 1), r);
        EXPECT_EQ(image.pixel(2, 1), b);
    }
}

TEST(DibParse, ClrUsedSizesTheColourTable) {
    // 8 bpp with two entries: the bits follow the short table; indices past
    // it are black.
    Dib dib{InfoHeader(4, 1, 8, mf::kBiRgb, 40, 2), {0, 1, 2, 255}};
    PutRgbQuad(dib.info, 0xFF102030u);
    PutRgbQuad(dib.info, 0xFFFFFFFFu);
    const auto view = dib.Parse();
    ASSERT_TRUE(view);
    const QImage image = mf::DecodeDib(*view);
    EXPECT_EQ(image.pixel(0, 0), 0xFF102030u);
    EXPECT_EQ(image.pixel(1, 0), 0xFFFFFFFFu);
    EXPECT_EQ(image.pixel(2, 0), 0xFF000000u);
    EXPECT_EQ(image.pixel(3, 0), 0xFF000000u);

    // biClrUsed 0 means the full table: 256 entries must be there.
    Dib full{InfoHeader(4, 1, 8), {0, 0, 0, 0}};
    for (int i = 0; i < 255; ++i)
        PutRgbQuad(full.info, 0);
    QString why;
    EXPECT_FALSE(full.Parse(mf::kDibRgbColors, &why));
    EXPECT_TRUE(why.contains("colour table")) << why.toStdString();
    PutRgbQuad(full.info, 0);
    EXPECT_TRUE(full.Parse());
}

TEST(DibParse, PalColorsBecomeGreysUnlessTheCallerMapsThem) {
    // 4 bpp, three 16-bit palette indices instead of RGBQUADs; pixels 0 1 2 3.
    Dib dib{InfoHeader(4, 1, 4, mf::kBiRgb, 40, 3), {0x01, 0x23, 0, 0}};
    for (std::uint32_t index : {0u, 255u, 51u})
        Put16(dib.info, index);
    auto view = dib.Parse(mf::kDibPalColors);
    ASSERT_TRUE(view);
    EXPECT_EQ(view->paletteIndices, (std::vector<std::uint16_t>{0, 255, 51}));
    QImage image = mf::DecodeDib(*view);
    EXPECT_EQ(image.pixel(0, 0), 0xFF000000u);
    EXPECT_EQ(image.pixel(1, 0), 0xFFFFFFFFu);
    EXPECT_EQ(image.pixel(2, 0), 0xFF333333u);
    EXPECT_EQ(image.pixel(3, 0), 0xFF000000u);  // past the table

    // A player with a logical palette maps the indices itself; a short
    // table is padded with black.
    view->palette = {0xFFFF0000u, 0xFF00FF00u};
    image = mf::DecodeDib(*view);
    EXPECT_EQ(image.pixel(1, 0), 0xFF00FF00u);
    EXPECT_EQ(image.pixel(2, 0), 0xFF000000u);
}

TEST(DibParse, BitfieldMasksAfterTheHeaderOrInsideIt) {
    // One 16 bpp 5-6-5 pixel, pure green, both ways.
    const std::uint32_t masks[4] = {0xF800, 0x07E0, 0x001F, 0};
    Dib after{InfoHeader(1, 1, 16, mf::kBiBitfields), {0xE0, 0x07, 0, 0}};
    for (int i = 0; i < 3; ++i)
        Put32(after.info, masks[i]);
    const Dib inside{InfoHeader(1, 1, 16, mf::kBiBitfields, 108, 0, 0, masks), after.bits};
    for (const Dib* dib : std::initializer_list<const Dib*>{&after, &inside}) {
        const auto view = dib->Parse();
        ASSERT_TRUE(view);
        EXPECT_EQ(view->masks[1], 0x07E0u);
        EXPECT_EQ(mf::DecodeDib(*view).pixel(0, 0), 0xFF00FF00u);
    }
    Dib missing{InfoHeader(1, 1, 16, mf::kBiBitfields), after.bits};
    Put32(missing.info, 0xF800);
    EXPECT_FALSE(missing.Parse());
}

TEST(DibParse, HasAlphaOnlyWhenTheTopByteIsUsed) {
    QImage image(2, 1, QImage::Format_ARGB32);
    image.fill(0x00336699u);  // alpha byte zero everywhere: plain RGB
    Dib dib = RgbDib(image, 32);
    auto view = dib.Parse();
    ASSERT_TRUE(view);
    EXPECT_FALSE(view->hasAlpha);
    EXPECT_EQ(mf::DecodeDib(*view).pixel(1, 0), 0xFF336699u);

    image.setPixel(1, 0, 0x80336699u);
    dib = RgbDib(image, 32);
    view = dib.Parse();
    ASSERT_TRUE(view);
    EXPECT_TRUE(view->hasAlpha);
    // The alpha is taken as premultiplied; colours above it are clamped.
    const QImage decoded = mf::DecodeDib(*view);
    EXPECT_EQ(decoded.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(qAlpha(reinterpret_cast<const QRgb*>(decoded.constScanLine(0))[1]), 0x80);

    // An ordinary blit ignores the top byte.
    view->hasAlpha = false;
    EXPECT_EQ(mf::DecodeDib(*view).pixel(0, 0), 0xFF336699u);
}

TEST(DibParse, RejectsInconsistentHeadersWithAReason) {
    Bytes table8;
    for (int i = 0; i < 256; ++i)
        PutRgbQuad(table8, 0);
    auto with = [](Bytes a, const Bytes& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    struct Case {
        const char* name;
        Dib dib;
    };
    const Case cases[] = {
        {"no header", {{}, {0}}},
        {"header beyond record",
         {[] {
              Bytes b = InfoHeader(1, 1, 24);
              b.pop_back();
              return b;
          }(),
          {0, 0, 0, 0}}},
        {"unknown header size",
         {[] {
              Bytes b = InfoHeader(1, 1, 24);
              b[0] = 20;
              return b;
          }(),
          {0, 0, 0, 0}}},
        {"zero width", {InfoHeader(0, 1, 24), {0, 0, 0, 0}}},
        {"zero height", {InfoHeader(1, 0, 24), {0, 0, 0, 0}}},
        {"negative width", {InfoHeader(-1, 1, 24), {0, 0, 0, 0}}},
        {"too many pixels", {InfoHeader(1 << 15, 1 << 14, 1), Bytes(1 << 16)}},
        {"side too long", {InfoHeader(1 << 21, 1, 1), Bytes(1 << 18)}},
        {"bits one byte short", {InfoHeader(2, 2, 24), Bytes(15)}},
        {"width beyond the bytes", {InfoHeader(100000, 1000, 24), Bytes(4096)}},
        {"bad bit count", {InfoHeader(1, 1, 7), {0, 0, 0, 0}}},
        {"colour table short", {with(InfoHeader(1, 1, 8), Bytes(1020)), {0, 0, 0, 0}}},
        {"rle8 at 4 bpp", {with(InfoHeader(1, 1, 4, mf::kBiRle8), Bytes(64)), {0, 1}}},
        {"top-down rle", {with(InfoHeader(1, -1, 8, mf::kBiRle8), table8), {0, 1}}},
        {"rle size beyond bits",
         {with(InfoHeader(1, 1, 8, mf::kBiRle8, 40, 0, 10), table8), {0, 1}}},
        {"rle without bits", {with(InfoHeader(1, 1, 8, mf::kBiRle8), table8), {}}},
        {"bit fields at 24 bpp",
         {with(InfoHeader(1, 1, 24, mf::kBiBitfields), Bytes(12)), {0, 0, 0, 0}}},
        {"empty masks", {with(InfoHeader(1, 1, 32, mf::kBiBitfields), Bytes(12)), {0, 0, 0, 0}}},
        {"unknown compression", {InfoHeader(1, 1, 24, 9), {0, 0, 0, 0}}},
        {"core header without bits", {CoreHeader(1, 1, 24), {}}},
    };
    for (const Case& c : cases) {
        QString why;
        EXPECT_FALSE(c.dib.Parse(mf::kDibRgbColors, &why)) << c.name;
        EXPECT_FALSE(why.isEmpty()) << c.name;
    }
    // Unknown colour usage.
    const Dib ok = RgbDib(QImage(1, 1, QImage::Format_ARGB32));
    EXPECT_TRUE(ok.Parse());
    EXPECT_FALSE(ok.Parse(2));
}

TEST(DibParse, PngAlphaIsDetectedFromItsHeader) {
    for (const bool alpha : {false, true}) {
        QImage image(3, 2, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        image.fill(alpha ? 0x80FF0000u : 0xFFFF0000u);
        QByteArray png;
        QBuffer buffer(&png);
        ASSERT_TRUE(image.save(&buffer, "PNG"));
        const Dib dib{
            InfoHeader(3, 2, 0, mf::kBiPng, 40, 0, static_cast<std::uint32_t>(png.size())),
            Bytes(png.begin(), png.end())};
        const auto view = dib.Parse();
        ASSERT_TRUE(view);
        EXPECT_EQ(view->hasAlpha, alpha);
        const QImage decoded = mf::DecodeDib(*view);
        ASSERT_EQ(decoded.size(), QSize(3, 2));
        const QRgb premultiplied = reinterpret_cast<const QRgb*>(decoded.constScanLine(1))[2];
        EXPECT_EQ(premultiplied, alpha ? 0x80800000u : 0xFFFF0000u);
    }
}

}  // namespace
