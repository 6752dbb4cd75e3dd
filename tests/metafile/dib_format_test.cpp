// Pixel formats and run-length data decoded at full size.

#include <gtest/gtest.h>

#include "metafile/dib_test_builder.h"

namespace {

using namespace dib_test;

// Packs raw pixel values (palette indices, 16-bit words, 0xRRGGBB, 0xAARRGGBB)
// into DIB rows with their padding.
Bytes PackRows(const std::vector<std::vector<std::uint32_t>>& values, int bpp, bool topDown) {
    const int height = static_cast<int>(values.size());
    const int width = static_cast<int>(values[0].size());
    const int stride = (width * bpp + 31) / 32 * 4;
    Bytes b(static_cast<std::size_t>(stride) * height, 0);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row =
            b.data() + static_cast<std::size_t>(topDown ? y : height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = values[y][x];
            if (bpp < 8) {
                row[x * bpp / 8] |= static_cast<std::uint8_t>(v << (8 - bpp - x * bpp % 8));
            } else {
                for (int i = 0; i < bpp / 8; ++i)
                    row[x * bpp / 8 + i] = static_cast<std::uint8_t>(v >> (8 * i));
            }
        }
    }
    return b;
}

QRgb PaletteColour(std::uint32_t i) {
    return qRgb(i, 255 - i, (i * 37) & 0xFF);
}

// Every uncompressed depth, bottom-up and top-down, odd width for padding.
TEST(DibFormat, UncompressedDepthsInBothOrientations) {
    const int width = 5, height = 3;
    for (const int bpp : {1, 4, 8, 16, 24, 32}) {
        std::vector<std::vector<std::uint32_t>> values(height, std::vector<std::uint32_t>(width));
        QImage expected(width, height, QImage::Format_ARGB32);
        const std::uint32_t words16[] = {0x7C00, 0x03E0, 0x001F, 0x7FFF, 0x0000, 0x4210};
        const QRgb colours16[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF,
                                  0xFFFFFFFF, 0xFF000000, 0xFF848484};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const std::uint32_t n = static_cast<std::uint32_t>(x * 7 + y * 3);
                if (bpp <= 8) {
                    values[y][x] = n % (1u << bpp);
                    expected.setPixel(x, y, PaletteColour(values[y][x]));
                } else if (bpp == 16) {
                    values[y][x] = words16[n % 6];
                    expected.setPixel(x, y, colours16[n % 6]);
                } else {
                    // 32 bpp: top byte zero, so not alpha.
                    values[y][x] = (n * 0x0B1D3F) & 0xFFFFFF;
                    expected.setPixel(x, y, 0xFF000000u | values[y][x]);
                }
            }
        for (const bool topDown : {false, true}) {
            SCOPED_TRACE(testing::Message() << bpp << " bpp, top-down " << topDown);
            Dib dib{InfoHeader(width, topDown ? -height : height, bpp),
                    PackRows(values, bpp, topDown)};
            if (bpp <= 8)
                for (std::uint32_t i = 0; i < (1u << bpp); ++i)
                    PutRgbQuad(dib.info, PaletteColour(i));
            const auto view = dib.Parse();
            ASSERT_TRUE(view);
            EXPECT_EQ(view->topDown, topDown);
            const QImage image = mf::DecodeDib(*view);
            ASSERT_EQ(image.size(), expected.size());
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    ASSERT_EQ(image.pixel(x, y), expected.pixel(x, y)) << x << "," << y;
        }
    }
}

TEST(DibFormat, Bitfields32FollowTheMasks) {
    // Two pixels, stored bytes 11 22 33 FF and 10 20 30 40, under masks in a
    // V5 header. Without an alpha mask the top byte is not alpha.
    struct Case {
        const char* name;
        std::uint32_t masks[4];
        bool hasAlpha;
        QRgb first, second;  // premultiplied
    };
    const Case cases[] = {
        {"red low",
         {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000},
         true,
         0xFF112233u,
         0x40102030u},
        {"usual with alpha",
         {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000},
         true,
         0xFF332211u,
         0x40302010u},
        {"usual without alpha",
         {0x00FF0000, 0x0000FF00, 0x000000FF, 0},
         false,
         0xFF332211u,
         0xFF302010u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Dib dib{InfoHeader(2, 1, 32, mf::kBiBitfields, 124, 0, 0, c.masks),
                      {0x11, 0x22, 0x33, 0xFF, 0x10, 0x20, 0x30, 0x40}};
        const auto view = dib.Parse();
        ASSERT_TRUE(view);
        EXPECT_EQ(view->hasAlpha, c.hasAlpha);
        const QImage image = mf::DecodeDib(*view);
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(0));
        EXPECT_EQ(line[0], c.first);
        EXPECT_EQ(line[1], c.second);
    }
}

// Index i of the run-length tests shows as this colour.
QRgb RleColour(int i) {
    return qRgb(i * 20, 100, 255 - i * 10);
}

Dib RleDib(int width, int height, int bpp, const Bytes& stream) {
    Dib dib{InfoHeader(width, height, bpp, bpp == 8 ? mf::kBiRle8 : mf::kBiRle4, 40, 0,
                       static_cast<std::uint32_t>(stream.size())),
            stream};
    for (int i = 0; i < (1 << bpp); ++i)
        PutRgbQuad(dib.info, RleColour(i));
    return dib;
}

// Top-down rows of palette indices; -1 for a pixel left transparent.
void ExpectRows(const QImage& image, const std::vector<std::vector<int>>& rows) {
    ASSERT_EQ(image.height(), static_cast<int>(rows.size()));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const int i = rows[y][x];
            const QRgb want = i < 0 ? 0u : RleColour(i);
            EXPECT_EQ(reinterpret_cast<const QRgb*>(image.constScanLine(y))[x], want)
                << x << "," << y;
        }
}

TEST(DibFormat, Rle8RunsEscapesAndGaps) {
    const Bytes stream = {
        3, 1,              // bottom row: three of index 1
        0, 3, 2, 3, 4, 0,  // absolute run of three, padded to a word
        0, 0,              // end of line
        0, 2, 2, 1,        // delta: two right, one up (row 1 left unwritten)
        8, 5,              // run longer than the row: cut at the row end
        0, 1,              // end of bitmap: the top row stays unwritten
    };
    const Dib dib = RleDib(6, 4, 8, stream);
    const auto view = dib.Parse();
    ASSERT_TRUE(view);
    ExpectRows(mf::DecodeDib(*view), {
                                         {-1, -1, -1, -1, -1, -1},
                                         {-1, -1, 5, 5, 5, 5},
                                         {-1, -1, -1, -1, -1, -1},
                                         {1, 1, 1, 2, 3, 4},
                                     });
}

TEST(DibFormat, Rle4RunsAlternateNibbles) {
    const Bytes stream = {
        5, 0x12,                       // 1 2 1 2 1
        0, 3,    0x34, 0x50,           // absolute 3 4 5 (two bytes, already a word)
        0, 0,                          // end of line
        0, 5,    0x67, 0x89, 0xA0, 0,  // absolute run of five: three bytes padded to four
        2, 0xBC,                       // B C
        0, 1,
    };
    const Dib dib = RleDib(8, 2, 4, stream);
    const auto view = dib.Parse();
    ASSERT_TRUE(view);
    ExpectRows(mf::DecodeDib(*view), {
                                         {6, 7, 8, 9, 10, 11, 12, -1},
                                         {1, 2, 1, 2, 1, 3, 4, 5},
                                     });
}

TEST(DibFormat, TruncatedRunLengthDataStopsCleanly) {
    const Bytes streams[] = {
        {2, 7, 0},           // odd trailing byte
        {2, 7, 0, 2, 1},     // delta cut short
        {2, 7, 0, 9, 1, 2},  // absolute run cut short
        {2, 7},              // no end of bitmap at all
    };
    for (const Bytes& stream : streams) {
        const Dib dib = RleDib(4, 2, 8, stream);
        const auto view = dib.Parse();
        ASSERT_TRUE(view);
        ExpectRows(mf::DecodeDib(*view), {{-1, -1, -1, -1}, {7, 7, -1, -1}});
    }
}

TEST(DibFormat, BrokenJpegGivesANullImage) {
    const Bytes junk = {0xFF, 0xD8, 0xFF, 0x00, 1, 2, 3};
    const Dib dib{InfoHeader(4, 4, 0, mf::kBiJpeg, 40, 0, 7), junk};
    const auto view = dib.Parse();
    ASSERT_TRUE(view);
    EXPECT_TRUE(mf::DecodeDib(*view).isNull());
}

}  // namespace
