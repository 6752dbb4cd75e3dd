#pragma once

// Device-independent bitmaps as metafile records carry them: a BITMAPINFO
// (BITMAPCOREHEADER, BITMAPINFOHEADER or a V4/V5 header, then colour table or
// bit-field masks) and the bits. Decoding is bounds-checked against the bytes
// the record really holds.

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace mf {

enum DibCompression : std::uint32_t {
    kBiRgb = 0,
    kBiRle8 = 1,
    kBiRle4 = 2,
    kBiBitfields = 3,
    kBiJpeg = 4,
    kBiPng = 5,
};

// Colour usage of a DIB record: RGB colour table, or palette indices (which a
// metafile played without a palette shows as greys/system colours).
enum DibUsage : std::uint32_t { kDibRgbColors = 0, kDibPalColors = 1 };

// A parsed DIB header pointing into the caller's bytes (which must outlive it).
struct DibView {
    int width = 0;            // pixels, > 0
    int height = 0;           // pixels, > 0 (absolute)
    bool topDown = false;     // negative height in the header
    int bitCount = 0;         // 1, 4, 8, 16, 24, 32
    std::uint32_t compression = kBiRgb;
    std::uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha for 16/32 bpp
    std::vector<std::uint32_t> palette;     // 0xAARRGGBB with AA = 0xFF
    const std::uint8_t* bits = nullptr;
    std::size_t bitsSize = 0;
    std::size_t stride = 0;   // bytes per row for uncompressed data
    bool hasAlpha = false;    // 32 bpp whose alpha channel carries data
};

// Parses the header and colour table; checks that the bits hold what the
// header promises (uncompressed: every row; RLE/JPEG/PNG: at least the stated
// size). Fails with a reason for anything inconsistent or absurdly large.
std::optional<DibView> ParseDib(const std::uint8_t* info, std::size_t infoSize,
                                const std::uint8_t* bits, std::size_t bitsSize, std::uint32_t usage,
                                QString* why = nullptr);

// Decodes the source rectangle `src` (in top-down pixel coordinates of the
// DIB, clipped to it) straight into an image of `dst` pixels. When the image
// shrinks, every destination pixel is the average of the source pixels it
// covers (GDI's HALFTONE); when it grows, or when `averaging` is false, the
// nearest source pixel is taken (COLORONCOLOR). The full-size bitmap is never
// built for a shrink. Result: Format_ARGB32_Premultiplied; opaque unless the
// DIB carries alpha. A null image when nothing can be decoded.
QImage DecodeDibScaled(const DibView& dib, const QRect& src, const QSize& dst, bool averaging);

// Whole bitmap at its own size.
QImage DecodeDib(const DibView& dib);

}  // namespace mf
