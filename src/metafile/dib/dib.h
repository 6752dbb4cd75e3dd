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

// Colour usage of a DIB record: RGB colour table, or 16-bit indices into the
// logical palette. ParseDib knows no logical palette: it shows index v as
// the grey v * 255 / (largest index in the table), so [0, 1] and [0, 255]
// tables stay black and white and identity tables become a grey ramp. A
// caller that has a palette rebuilds `palette` from `paletteIndices`.
enum DibUsage : std::uint32_t { kDibRgbColors = 0, kDibPalColors = 1 };

// A parsed DIB header pointing into the caller's bytes (which must outlive it).
struct DibView {
    int width = 0;                          // pixels, > 0
    int height = 0;                         // pixels, > 0 (absolute)
    bool topDown = false;                   // negative height in the header
    int bitCount = 0;                       // 1, 4, 8, 16, 24, 32 (JPEG/PNG: as stated, often 0)
    std::uint32_t compression = kBiRgb;     // BI_ALPHABITFIELDS comes as kBiBitfields
    std::uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha for 16/32 bpp
    // 1 << bitCount entries for 1/4/8 bpp (past biClrUsed: black), else empty.
    std::vector<std::uint32_t> palette;  // 0xAARRGGBB with AA = 0xFF
    // DIB_PAL_COLORS: the table's logical-palette indices, one per entry used.
    std::vector<std::uint16_t> paletteIndices;
    const std::uint8_t* bits = nullptr;
    std::size_t bitsSize = 0;
    std::size_t stride = 0;  // bytes per row for uncompressed data
    // The alpha channel carries data: a 32 bpp BI_RGB DIB with a non-zero
    // top byte, bit fields whose alpha mask selects non-zero bits, a PNG with
    // alpha. GDI ignores the top byte for ordinary blits; a caller doing one
    // clears this flag in its copy before decoding, AlphaBlend keeps it. Alpha
    // from a DIB is taken as premultiplied (as AlphaBlend expects).
    bool hasAlpha = false;
};

// Parses the header and colour table; checks that the bits hold what the
// header promises (uncompressed: every row; RLE/JPEG/PNG: at least the stated
// size). Fails with a reason for anything inconsistent or absurdly large
// (a side over 2^20 or more than 2^28 pixels, top-down RLE/JPEG/PNG).
std::optional<DibView> ParseDib(const std::uint8_t* info, std::size_t infoSize,
                                const std::uint8_t* bits, std::size_t bitsSize, std::uint32_t usage,
                                QString* why = nullptr);

// Decodes the source rectangle `src` (in top-down pixel coordinates of the
// DIB) straight into an image of `dst` pixels. With `averaging` (GDI's
// HALFTONE), along an axis that shrinks every destination pixel is the
// area-weighted average of the source pixels it covers, partial pixels at
// its edges counting by their overlap; along an axis that grows, destination
// pixel i interpolates linearly at source position (i + 0.5) * srcW / dstW
// (as GDI does, without centre alignment's half-pixel shift), held within
// the first and last source pixel (both axes filtered separably; an
// unchanged axis is copied). Without `averaging`, or when
// neither axis changes, destination pixel i takes source pixel
// floor((i + 0.5) * srcW / dstW) (COLORONCOLOR). The full-size bitmap is
// never built (except that JPEG/PNG bits are decoded whole by Qt).
// Parts of `src` outside the DIB come out transparent (a destination pixel
// half outside gets half alpha, and smoothing fades into them); so do pixels
// that RLE data never writes, as GDI leaves the destination alone there. `src` and `dst` must have
// positive sizes: mirroring is the caller's (flip the result). Result: Format_ARGB32_Premultiplied;
// opaque elsewhere unless `dib.hasAlpha`. A null image when nothing can be decoded, `src` misses
// the DIB or a size is absurd (a `src` side over 2^24, more than 2^28 destination pixels). `dib`
// comes from ParseDib; callers may change `palette` and `hasAlpha`. Reads only its arguments, so
// several threads may decode at once. JPEG/PNG bits are decoded by Qt on every call: cache the
// result if drawn often.
QImage DecodeDibScaled(const DibView& dib, const QRect& src, const QSize& dst, bool averaging);

// Whole bitmap at its own size.
QImage DecodeDib(const DibView& dib);

}  // namespace mf
