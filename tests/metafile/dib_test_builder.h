#pragma once

// Builds BITMAPINFO headers and bits in memory for the DIB tests.

#include <QImage>
#include <cstdint>
#include <optional>
#include <vector>

#include "metafile/dib/dib.h"

namespace dib_test {

using Bytes = std::vector<std::uint8_t>;

inline void Put16(Bytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void Put32(Bytes& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

struct Dib {
    Bytes info;
    Bytes bits;
    std::optional<mf::DibView> Parse(std::uint32_t usage = mf::kDibRgbColors,
                                     QString* why = nullptr) const {
        return mf::ParseDib(info.data(), info.size(), bits.data(), bits.size(), usage, why);
    }
};

// A BITMAPINFOHEADER (40 bytes) or a V4/V5 header (108/124 bytes, masks
// included); `height` negative for top-down.
inline Bytes InfoHeader(std::int32_t width, std::int32_t height, int bitCount,
                        std::uint32_t compression = mf::kBiRgb, std::uint32_t headerSize = 40,
                        std::uint32_t clrUsed = 0, std::uint32_t sizeImage = 0,
                        const std::uint32_t (&masks)[4] = {0, 0, 0, 0}) {
    Bytes b;
    Put32(b, headerSize);
    Put32(b, static_cast<std::uint32_t>(width));
    Put32(b, static_cast<std::uint32_t>(height));
    Put16(b, 1);
    Put16(b, static_cast<std::uint32_t>(bitCount));
    Put32(b, compression);
    Put32(b, sizeImage);
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, clrUsed);
    Put32(b, 0);
    if (headerSize > 40) {
        for (std::uint32_t m : masks)
            Put32(b, m);
        b.resize(headerSize, 0);
    }
    return b;
}

// A BITMAPCOREHEADER (12 bytes, always bottom-up).
inline Bytes CoreHeader(int width, int height, int bitCount) {
    Bytes b;
    Put32(b, 12);
    Put16(b, static_cast<std::uint32_t>(width));
    Put16(b, static_cast<std::uint32_t>(height));
    Put16(b, 1);
    Put16(b, static_cast<std::uint32_t>(bitCount));
    return b;
}

inline void PutRgbQuad(Bytes& b, QRgb c) {
    b.push_back(static_cast<std::uint8_t>(qBlue(c)));
    b.push_back(static_cast<std::uint8_t>(qGreen(c)));
    b.push_back(static_cast<std::uint8_t>(qRed(c)));
    b.push_back(0);
}

// Uncompressed bits of `image` (ARGB pixels) at 24 or 32 bpp, bottom-up
// unless `topDown`; 32 bpp keeps the alpha byte.
inline Bytes RgbBits(const QImage& image, int bitCount, bool topDown) {
    const int bpp = bitCount / 8;
    const int stride = (image.width() * bpp + 3) / 4 * 4;
    Bytes b(static_cast<std::size_t>(stride) * image.height(), 0);
    for (int y = 0; y < image.height(); ++y) {
        const int stored = topDown ? y : image.height() - 1 - y;
        std::uint8_t* row = b.data() + static_cast<std::size_t>(stored) * stride;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            row[x * bpp] = static_cast<std::uint8_t>(qBlue(c));
            row[x * bpp + 1] = static_cast<std::uint8_t>(qGreen(c));
            row[x * bpp + 2] = static_cast<std::uint8_t>(qRed(c));
            if (bpp == 4) row[x * bpp + 3] = static_cast<std::uint8_t>(qAlpha(c));
        }
    }
    return b;
}

// A 24 or 32 bpp BI_RGB DIB holding `image`.
inline Dib RgbDib(const QImage& image, int bitCount = 24, bool topDown = false) {
    return {InfoHeader(image.width(), topDown ? -image.height() : image.height(), bitCount),
            RgbBits(image, bitCount, topDown)};
}

// Deterministic noise image, opaque.
inline QImage NoiseImage(int width, int height, std::uint32_t seed) {
    QImage image(width, height, QImage::Format_ARGB32);
    std::uint32_t s = seed;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            s = s * 1664525u + 1013904223u;
            image.setPixel(x, y, 0xFF000000u | (s >> 8));
        }
    return image;
}

}  // namespace dib_test
