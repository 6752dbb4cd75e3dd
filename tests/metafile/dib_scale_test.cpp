// DecodeDibScaled: area averaging and smooth enlargement against
// floating-point references, the nearest-pixel rule, clipping, and
// run-length data read bottom-up.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "metafile/dib_test_builder.h"

namespace {

using namespace dib_test;

// Area average of `image` (Format_ARGB32 holding premultiplied values) over the source rectangle
// mapped to `dst`, in doubles; pixels outside the image count as transparent.
QImage ReferenceBox(const QImage& image, const QRect& src, const QSize& dst) {
    QImage out(dst, QImage::Format_ARGB32_Premultiplied);
    const double fx = double(src.width()) / dst.width();
    const double fy = double(src.height()) / dst.height();
    for (int dy = 0; dy < dst.height(); ++dy)
        for (int dx = 0; dx < dst.width(); ++dx) {
            const double x0 = src.x() + dx * fx, x1 = x0 + fx;
            const double y0 = src.y() + dy * fy, y1 = y0 + fy;
            double sum[4] = {0, 0, 0, 0};
            const int syEnd = std::min<int>(image.height(), int(std::ceil(y1)));
            const int sxEnd = std::min<int>(image.width(), int(std::ceil(x1)));
            for (int sy = std::max(0, int(std::floor(y0))); sy < syEnd; ++sy)
                for (int sx = std::max(0, int(std::floor(x0))); sx < sxEnd; ++sx) {
                    const double w = (std::min<double>(sx + 1, x1) - std::max<double>(sx, x0)) *
                                     (std::min<double>(sy + 1, y1) - std::max<double>(sy, y0));
                    const QRgb c = image.pixel(sx, sy);
                    sum[0] += w * qAlpha(c);
                    sum[1] += w * qRed(c);
                    sum[2] += w * qGreen(c);
                    sum[3] += w * qBlue(c);
                }
            const double area = fx * fy;
            auto v = [&](int i) { return int(std::lround(sum[i] / area)); };
            reinterpret_cast<QRgb*>(out.scanLine(dy))[dx] = qRgba(v(1), v(2), v(3), v(0));
        }
    return out;
}

void ExpectNear(const QImage& got, const QImage& want, int tolerance) {
    ASSERT_EQ(got.size(), want.size());
    ASSERT_EQ(got.format(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < want.height(); ++y)
        for (int x = 0; x < want.width(); ++x) {
            const QRgb g = reinterpret_cast<const QRgb*>(got.constScanLine(y))[x];
            const QRgb w = reinterpret_cast<const QRgb*>(want.constScanLine(y))[x];
            for (int shift : {0, 8, 16, 24}) {
                const int d = int((g >> shift) & 0xFF) - int((w >> shift) & 0xFF);
                ASSERT_LE(std::abs(d), tolerance)
                    << "pixel " << x << "," << y << " got " << std::hex << g << " want " << w;
            }
        }
}

// An 8 bpp DIB with a 256-colour table whose pixels equal `image`'s: indices
// are taken from a noise image and `image` is rebuilt from the table.
struct IndexedCase {
    Dib dib;
    QImage image;
    std::vector<std::vector<std::uint8_t>> indices;  // top-down
};

IndexedCase MakeIndexed(int width, int height) {
    IndexedCase c;
    const QImage noise = NoiseImage(width, height, 7);
    const QImage colours = NoiseImage(256, 1, 99);
    c.image = QImage(width, height, QImage::Format_ARGB32);
    c.dib.info = InfoHeader(width, height, 8);
    for (int i = 0; i < 256; ++i)
        PutRgbQuad(c.dib.info, colours.pixel(i, 0));
    const int stride = (width + 3) / 4 * 4;
    c.dib.bits.assign(static_cast<std::size_t>(stride) * height, 0);
    c.indices.assign(height, std::vector<std::uint8_t>(width));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const auto i = static_cast<std::uint8_t>(noise.pixel(x, y) & 0xFF);
            c.indices[y][x] = i;
            c.dib.bits[static_cast<std::size_t>(height - 1 - y) * stride + x] = i;
            c.image.setPixel(x, y, colours.pixel(i, 0));
        }
    return c;
}

// Run-length encodes top-down index rows: absolute runs of up to 255 pixels,
// two-pixel tails as encoded runs, bottom row first.
Bytes EncodeRle8(const std::vector<std::vector<std::uint8_t>>& rows) {
    Bytes s;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        const auto& row = *it;
        std::size_t x = 0;
        while (x < row.size()) {
            const std::size_t n = std::min<std::size_t>(255, row.size() - x);
            if (n < 3) {
                for (std::size_t i = 0; i < n; ++i)
                    s.insert(s.end(), {1, row[x + i]});
            } else {
                s.insert(s.end(), {0, static_cast<std::uint8_t>(n)});
                s.insert(s.end(), row.begin() + x, row.begin() + x + n);
                if (n % 2) s.push_back(0);
            }
            x += n;
        }
        s.insert(s.end(), {0, 0});
    }
    s.insert(s.end(), {0, 1});
    return s;
}

struct Request {
    QRect src;
    QSize dst;
};

// Shrinks by whole and fractional factors, sub-rectangles, one axis kept,
// and sources reaching outside the bitmap.
const Request kAveragedRequests[] = {
    {{0, 0, 40, 30}, {20, 15}}, {{0, 0, 40, 30}, {13, 7}},  {{0, 0, 40, 30}, {1, 1}},
    {{3, 5, 17, 11}, {6, 4}},   {{0, 0, 40, 30}, {39, 29}}, {{0, 0, 40, 30}, {7, 30}},
    {{-10, 0, 40, 30}, {8, 6}}, {{20, 20, 40, 30}, {9, 7}}, {{-1, -1, 42, 32}, {10, 8}},
};

struct Source {
    const char* name;
    Dib dib;
    QImage image;  // what the DIB shows, premultiplied values
};

// One 40x30 bitmap of every row decoder: raw 24 bpp both ways up, 32 bpp
// with alpha, 8 bpp through the colour table, and run-length data.
std::vector<Source> EveryPath() {
    const QImage opaque = NoiseImage(40, 30, 1);
    // Premultiplied values, as the 32 bpp bits hold them.
    QImage withAlpha = NoiseImage(40, 30, 2);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            withAlpha.setPixel(x, y,
                               qPremultiply((withAlpha.pixel(x, y) & 0xFFFFFF) | (x * 6u) << 24));
    const IndexedCase indexed = MakeIndexed(40, 30);
    Dib rle{InfoHeader(40, 30, 8, mf::kBiRle8), EncodeRle8(indexed.indices)};
    rle.info.insert(rle.info.end(), indexed.dib.info.begin() + 40, indexed.dib.info.end());
    return {
        {"24 bottom-up", RgbDib(opaque, 24, false), opaque},
        {"24 top-down", RgbDib(opaque, 24, true), opaque},
        {"32 alpha", RgbDib(withAlpha, 32, true), withAlpha},
        {"8 indexed", indexed.dib, indexed.image},
        {"rle8", rle, indexed.image},
    };
}

TEST(DibScale, AveragingMatchesTheAreaAverageForEveryPath) {
    for (const Source& s : EveryPath()) {
        const auto view = s.dib.Parse();
        ASSERT_TRUE(view) << s.name;
        for (const Request& r : kAveragedRequests) {
            SCOPED_TRACE(testing::Message() << s.name << " src " << r.src.x() << "," << r.src.y()
                                            << " " << r.src.width() << "x" << r.src.height()
                                            << " to " << r.dst.width() << "x" << r.dst.height());
            ExpectNear(mf::DecodeDibScaled(*view, r.src, r.dst, true),
                       ReferenceBox(s.image, r.src, r.dst), 1);
        }
    }
}

// Sizes that leave the fast paths: more than 4096 source columns per
// destination pixel, sums beyond 32 bits, row weights beyond 16 bits.
TEST(DibScale, AveragingOfExtremeRatiosMatchesTheAreaAverage) {
    struct Case {
        QSize bitmap;
        Request request;
    };
    const Case cases[] = {
        {{9000, 2}, {{0, 0, 9000, 2}, {2, 1}}},
        {{40, 30}, {{0, 0, 40, 9000000}, {2, 3}}},
        {{1, 40000}, {{0, 0, 1, 40000}, {1, 39999}}},
    };
    for (const Case& c : cases) {
        const QImage image = NoiseImage(c.bitmap.width(), c.bitmap.height(), 5);
        const Dib dib = RgbDib(image);
        const auto view = dib.Parse();
        ASSERT_TRUE(view);
        ExpectNear(mf::DecodeDibScaled(*view, c.request.src, c.request.dst, true),
                   ReferenceBox(image, c.request.src, c.request.dst), 1);
    }
}

// Weights of destination pixel d along one axis, as (absolute source index,
// weight): linear interpolation between the two pixels around source
// position (d + 0.5) * srcN / dstN (held within the source span) when the
// axis grows, the area average otherwise. The alignment follows GDI, which
// subtracts no half pixel.
std::vector<std::pair<int, double>> AxisWeights(int srcStart, int srcN, int dstN, int d) {
    std::vector<std::pair<int, double>> w;
    const double f = double(srcN) / dstN;
    if (dstN > srcN) {
        const double s = std::min((d + 0.5) * f, double(srcN - 1));
        const int i = int(std::floor(s));
        w.emplace_back(srcStart + i, 1 - (s - i));
        if (i + 1 < srcN) w.emplace_back(srcStart + i + 1, s - i);
    } else {
        const double x0 = d * f, x1 = x0 + f;
        for (int i = int(std::floor(x0)); i < int(std::ceil(x1)); ++i)
            w.emplace_back(srcStart + i,
                           (std::min<double>(i + 1, x1) - std::max<double>(i, x0)) / f);
    }
    return w;
}

// Separable reference of the smoothing scaler in doubles; pixels outside
// `image` count as transparent.
QImage ReferenceSmooth(const QImage& image, const QRect& src, const QSize& dst) {
    QImage out(dst, QImage::Format_ARGB32_Premultiplied);
    for (int dy = 0; dy < dst.height(); ++dy)
        for (int dx = 0; dx < dst.width(); ++dx) {
            double sum[4] = {0, 0, 0, 0};
            for (const auto& [sy, wy] : AxisWeights(src.y(), src.height(), dst.height(), dy))
                for (const auto& [sx, wx] : AxisWeights(src.x(), src.width(), dst.width(), dx)) {
                    if (!image.rect().contains(sx, sy)) continue;
                    const QRgb c = image.pixel(sx, sy);
                    sum[0] += wx * wy * qAlpha(c);
                    sum[1] += wx * wy * qRed(c);
                    sum[2] += wx * wy * qGreen(c);
                    sum[3] += wx * wy * qBlue(c);
                }
            auto v = [&](int i) { return int(std::lround(sum[i])); };
            reinterpret_cast<QRgb*>(out.scanLine(dy))[dx] = qRgba(v(1), v(2), v(3), v(0));
        }
    return out;
}

// Enlargements by whole and fractional factors, sub-rectangles, one axis
// growing while the other shrinks (by less and by more than two rows a
// pixel) or stays, single source pixels and sources reaching outside.
const Request kSmoothRequests[] = {
    {{0, 0, 40, 30}, {80, 60}},     {{0, 0, 40, 30}, {97, 71}},  {{3, 5, 17, 11}, {50, 40}},
    {{0, 0, 40, 30}, {7, 45}},      {{0, 0, 40, 30}, {90, 13}},  {{0, 0, 40, 30}, {41, 29}},
    {{0, 0, 40, 30}, {43, 30}},     {{38, 0, 2, 30}, {9, 30}},   {{0, 0, 1, 1}, {5, 3}},
    {{-10, -4, 40, 30}, {100, 75}}, {{30, 25, 20, 10}, {60, 7}},
};

TEST(DibScale, SmoothingMatchesTheBilinearReferenceForEveryPath) {
    for (const Source& s : EveryPath()) {
        const auto view = s.dib.Parse();
        ASSERT_TRUE(view) << s.name;
        for (const Request& r : kSmoothRequests) {
            SCOPED_TRACE(testing::Message() << s.name << " src " << r.src.x() << "," << r.src.y()
                                            << " " << r.src.width() << "x" << r.src.height()
                                            << " to " << r.dst.width() << "x" << r.dst.height());
            ExpectNear(mf::DecodeDibScaled(*view, r.src, r.dst, true),
                       ReferenceSmooth(s.image, r.src, r.dst), 1);
        }
    }
}

// Alignment and edges held, worked out by hand: a row of blues 80, 160, 240
// doubled; and from one pixel left of the bitmap, where the transparent
// outside fades in. The alignment follows GDI: destination pixel i samples
// source position (i + 0.5) / 2, with no half pixel subtracted.
TEST(DibScale, SmoothingFollowsGdiAlignmentAndHoldsTheEdges) {
    QImage row(3, 1, QImage::Format_ARGB32);
    for (int x = 0; x < 3; ++x)
        row.setPixel(x, 0, 0xFF000000u | (80u * (x + 1)));
    const Dib dib = RgbDib(row);
    const auto view = dib.Parse();
    ASSERT_TRUE(view);
    struct Case {
        QRect src;
        int dstW;
        std::vector<QRgb> want;
    };
    const Case cases[] = {
        {{0, 0, 3, 1}, 6, {0xFF000064, 0xFF00008C, 0xFF0000B4, 0xFF0000DC, 0xFF0000F0, 0xFF0000F0}},
        {{-1, 0, 3, 1},
         6,
         {0x40000014, 0xBF00003C, 0xFF000064, 0xFF00008C, 0xFF0000A0, 0xFF0000A0}},
    };
    for (const Case& c : cases) {
        const QImage image = mf::DecodeDibScaled(*view, c.src, QSize(c.dstW, 2), true);
        ASSERT_EQ(image.size(), QSize(c.dstW, 2));
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < c.dstW; ++x)
                EXPECT_EQ(reinterpret_cast<const QRgb*>(image.constScanLine(y))[x], c.want[x])
                    << "src x " << c.src.x() << ", pixel " << x << "," << y;
    }
}

// Pixels the run-length data never writes (a delta, a line ended early, the
// bitmap ended early) stay transparent and fade into their neighbours.
TEST(DibScale, SmoothingKeepsTheGapsOfRunLengthData) {
    const QRgb colours[2] = {0xFF3060C0, 0xFFE0A010};
    Dib rle{InfoHeader(8, 4, 8, mf::kBiRle8, 40, 2), {}};
    for (QRgb c : colours)
        PutRgbQuad(rle.info, c);
    // Bottom row up: 8 pixels of 0; 3 of 1, delta 2 right, 3 of 0; 4 of 1 and
    // end of line; 2 of 0, then end of bitmap.
    rle.bits = {8, 0, 0, 0, 3, 1, 0, 2, 2, 0, 3, 0, 0, 0, 4, 1, 0, 0, 2, 0, 0, 1};
    QImage shown(8, 4, QImage::Format_ARGB32);
    shown.fill(0);
    const char* rows[4] = {"00......", "1111....", "111..000", "00000000"};  // top-down
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            if (rows[y][x] != '.') shown.setPixel(x, y, colours[rows[y][x] - '0']);
    const auto view = rle.Parse();
    ASSERT_TRUE(view);
    for (const Request& r : {Request{{0, 0, 8, 4}, {32, 16}}, Request{{0, 0, 8, 4}, {21, 11}},
                             Request{{0, 0, 8, 4}, {5, 13}}, Request{{1, 0, 6, 4}, {17, 3}}}) {
        SCOPED_TRACE(testing::Message() << "to " << r.dst.width() << "x" << r.dst.height());
        const QImage got = mf::DecodeDibScaled(*view, r.src, r.dst, true);
        ExpectNear(got, ReferenceSmooth(shown, r.src, r.dst), 1);
    }
    // Deep inside the gap at the top right nothing shows.
    EXPECT_EQ(mf::DecodeDibScaled(*view, {0, 0, 8, 4}, {32, 16}, true).pixel(28, 1), 0u);
}

// Colours above alpha (bits that are not really premultiplied) are held to
// alpha, so the image stays valid.
TEST(DibScale, SmoothingKeepsColoursWithinAlpha) {
    QImage image(4, 4, QImage::Format_ARGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            image.setPixel(x, y, qRgba(250, 200 - 40 * x, 255, 60 * y));
    const Dib dib = RgbDib(image, 32);
    auto view = dib.Parse();
    ASSERT_TRUE(view && view->hasAlpha);
    const QImage got = mf::DecodeDibScaled(*view, {0, 0, 4, 4}, {11, 9}, true);
    for (int y = 0; y < got.height(); ++y)
        for (int x = 0; x < got.width(); ++x) {
            const QRgb c = reinterpret_cast<const QRgb*>(got.constScanLine(y))[x];
            EXPECT_LE(std::max({qRed(c), qGreen(c), qBlue(c)}), qAlpha(c)) << x << "," << y;
        }
}

TEST(DibScale, NearestTakesTheSourcePixelUnderTheDestinationCentre) {
    // One row whose pixel x has blue x.
    QImage row(8, 1, QImage::Format_ARGB32);
    for (int x = 0; x < 8; ++x)
        row.setPixel(x, 0, 0xFF000000u | x);
    const Dib dib = RgbDib(row);
    const auto view = dib.Parse();
    ASSERT_TRUE(view);
    struct Case {
        QRect src;
        int dstW;
        bool averaging;
        std::vector<int> want;  // blue of each destination pixel, -1 transparent
    };
    const Case cases[] = {
        {{0, 0, 8, 1}, 4, false, {1, 3, 5, 7}},
        {{0, 0, 8, 1}, 3, false, {1, 4, 6}},
        {{2, 0, 3, 1}, 7, false, {2, 2, 3, 3, 3, 4, 4}},
        {{6, 0, 4, 1}, 4, false, {6, 7, -1, -1}},
        {{0, 0, 8, 1}, 8, false, {0, 1, 2, 3, 4, 5, 6, 7}},
    };
    for (const Case& c : cases) {
        const QImage image = mf::DecodeDibScaled(*view, c.src, QSize(c.dstW, 1), c.averaging);
        ASSERT_EQ(image.width(), c.dstW);
        for (int x = 0; x < c.dstW; ++x) {
            const QRgb want = c.want[x] < 0 ? 0u : 0xFF000000u | c.want[x];
            EXPECT_EQ(reinterpret_cast<const QRgb*>(image.constScanLine(0))[x], want)
                << "src x " << c.src.x() << " width " << c.src.width() << " to " << c.dstW
                << ", pixel " << x;
        }
    }
}

TEST(DibScale, NearestRunLengthMatchesUncompressedGrowingAndShrinking) {
    const IndexedCase indexed = MakeIndexed(23, 17);
    Dib rle{InfoHeader(23, 17, 8, mf::kBiRle8), EncodeRle8(indexed.indices)};
    rle.info.insert(rle.info.end(), indexed.dib.info.begin() + 40, indexed.dib.info.end());
    const auto plain = indexed.dib.Parse();
    const auto packed = rle.Parse();
    ASSERT_TRUE(plain && packed);
    for (const Request& r : {Request{{0, 0, 23, 17}, {23, 17}}, Request{{0, 0, 23, 17}, {50, 41}},
                             Request{{4, 3, 11, 9}, {5, 4}}}) {
        const QImage a = mf::DecodeDibScaled(*plain, r.src, r.dst, false);
        const QImage b = mf::DecodeDibScaled(*packed, r.src, r.dst, false);
        ASSERT_FALSE(a.isNull());
        EXPECT_EQ(a, b);
    }
}

TEST(DibScale, RequestsThatCannotBeMetGiveANullImage) {
    const Dib dib = RgbDib(NoiseImage(4, 4, 3));
    const auto view = dib.Parse();
    ASSERT_TRUE(view);
    const Request bad[] = {
        {{0, 0, 4, 4}, {0, 4}},       {{0, 0, 4, 4}, {4, -1}},
        {{0, 0, 0, 4}, {4, 4}},       {{4, 0, -4, 4}, {4, 4}},  // mirroring is the caller's
        {{4, 4, 2, 2}, {4, 4}},       {{-3, 0, 3, 4}, {4, 4}},
        {{0, 0, 1 << 25, 4}, {4, 4}}, {{0, 0, 4, 4}, {1 << 15, 1 << 14}},
    };
    for (const Request& r : bad) {
        EXPECT_TRUE(mf::DecodeDibScaled(*view, r.src, r.dst, true).isNull())
            << r.src.x() << "," << r.src.y() << " " << r.src.width() << "x" << r.src.height();
        EXPECT_TRUE(mf::DecodeDibScaled(*view, r.src, r.dst, false).isNull());
    }
}

}  // namespace
