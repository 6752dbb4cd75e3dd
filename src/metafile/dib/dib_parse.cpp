// Reads a BITMAPINFO and checks it against the bytes the record carries.

#include <QtEndian>
#include <algorithm>
#include <bit>
#include <cstring>

#include "metafile/dib/dib.h"

namespace mf {
namespace {

constexpr std::uint32_t kBiAlphaBitfields = 6;  // Windows CE: four masks after the header
constexpr std::int64_t kMaxSide = std::int64_t{1} << 20;
constexpr std::int64_t kMaxPixels = std::int64_t{1} << 28;

std::uint32_t U32(const std::uint8_t* p) {
    return qFromLittleEndian<std::uint32_t>(p);
}
std::uint16_t U16(const std::uint8_t* p) {
    return qFromLittleEndian<std::uint16_t>(p);
}
std::int32_t I32(const std::uint8_t* p) {
    return qFromLittleEndian<std::int32_t>(p);
}

std::optional<DibView> Fail(QString* why, const QString& reason) {
    if (why) *why = reason;
    return std::nullopt;
}

bool IsIndexed(int bitCount) {
    return bitCount == 1 || bitCount == 4 || bitCount == 8;
}

// Greys for DIB_PAL_COLORS indices when no logical palette is known: the
// largest index in the table is white, 0 is black.
std::uint32_t GreyForIndex(std::uint32_t index, std::uint32_t largest) {
    const std::uint32_t level = largest ? index * 255 / largest : 0;
    return 0xFF000000u | level << 16 | level << 8 | level;
}

// True when any pixel of an uncompressed 32 bpp image has a non-zero top
// byte. Eight bytes at a time: most such bitmaps are all zero there and are
// read to the end.
bool AnyAlphaByte(const DibView& v) {
    const std::size_t rowBytes = static_cast<std::size_t>(v.width) * 4;
    for (int y = 0; y < v.height; ++y) {
        const std::uint8_t* row = v.bits + static_cast<std::size_t>(y) * v.stride;
        std::uint64_t seen = 0;
        std::size_t x = 0;
        for (; x + 8 <= rowBytes; x += 8) {
            std::uint64_t word;
            std::memcpy(&word, row + x, 8);
            seen |= word;
        }
        // The fourth byte of both pixels in the word.
        constexpr std::uint64_t kAlphaBytes = std::endian::native == std::endian::little
                                                  ? 0xFF000000FF000000ull
                                                  : 0x000000FF000000FFull;
        if (seen & kAlphaBytes) return true;
        if (x < rowBytes && row[x + 3] != 0) return true;
    }
    return false;
}

// True when some 16/32 bpp pixel has a non-zero value under the alpha mask.
bool AnyMaskedBits(const DibView& v, std::uint32_t mask) {
    for (int y = 0; y < v.height; ++y) {
        const std::uint8_t* row = v.bits + static_cast<std::size_t>(y) * v.stride;
        for (int x = 0; x < v.width; ++x) {
            const std::uint32_t px = v.bitCount == 16 ? U16(row + x * 2) : U32(row + x * 4);
            if (px & mask) return true;
        }
    }
    return false;
}

// A PNG carries alpha when its colour type has an alpha channel or a tRNS
// chunk precedes the image data. Only chunk headers are read.
bool PngHasAlpha(const std::uint8_t* p, std::size_t n) {
    if (n < 33 || std::memcmp(p, "\x89PNG\r\n\x1a\n", 8) != 0) return false;
    const std::uint8_t colourType = p[25];
    if (colourType == 4 || colourType == 6) return true;
    std::size_t at = 8;
    while (at + 8 <= n) {
        const std::uint32_t len = qFromBigEndian<std::uint32_t>(p + at);
        if (std::memcmp(p + at + 4, "tRNS", 4) == 0) return true;
        if (std::memcmp(p + at + 4, "IDAT", 4) == 0) return false;
        if (len > n - at - 8) return false;
        at += std::size_t{len} + 12;
    }
    return false;
}

}  // namespace

std::optional<DibView> ParseDib(const std::uint8_t* info, std::size_t infoSize,
                                const std::uint8_t* bits, std::size_t bitsSize, std::uint32_t usage,
                                QString* why) {
    if (!info || infoSize < 4) return Fail(why, QStringLiteral("bitmap header missing"));
    const std::uint32_t headerSize = U32(info);
    if (headerSize > infoSize) return Fail(why, QStringLiteral("bitmap header beyond the record"));
    if (usage != kDibRgbColors && usage != kDibPalColors)
        return Fail(why, QStringLiteral("unknown colour usage %1").arg(usage));

    DibView v;
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t clrUsed = 0;
    std::uint32_t sizeImage = 0;
    std::size_t tableEntrySize = 4;
    bool core = false;
    if (headerSize == 12) {
        core = true;
        width = U16(info + 4);
        height = U16(info + 6);
        v.bitCount = U16(info + 10);
        tableEntrySize = 3;
    } else if (headerSize >= 40) {
        width = I32(info + 4);
        height = I32(info + 8);
        v.bitCount = U16(info + 14);
        v.compression = U32(info + 16);
        sizeImage = U32(info + 20);
        clrUsed = U32(info + 32);
    } else {
        return Fail(why, QStringLiteral("unknown bitmap header size %1").arg(headerSize));
    }
    if (height < 0) {
        v.topDown = true;
        height = -height;
    }
    if (width <= 0 || height <= 0)
        return Fail(why, QStringLiteral("bitmap size %1x%2").arg(width).arg(height));
    if (width > kMaxSide || height > kMaxSide || width * height > kMaxPixels)
        return Fail(why,
                    QStringLiteral("bitmap of %1x%2 pixels is too large").arg(width).arg(height));
    v.width = static_cast<int>(width);
    v.height = static_cast<int>(height);

    switch (v.compression) {
        case kBiRgb:
            if (!IsIndexed(v.bitCount) && v.bitCount != 16 && v.bitCount != 24 && v.bitCount != 32)
                return Fail(why, QStringLiteral("%1 bits per pixel").arg(v.bitCount));
            break;
        case kBiRle8:
        case kBiRle4:
            if (v.bitCount != (v.compression == kBiRle8 ? 8 : 4))
                return Fail(
                    why, QStringLiteral("run-length data with %1 bits per pixel").arg(v.bitCount));
            if (v.topDown) return Fail(why, QStringLiteral("top-down run-length bitmap"));
            break;
        case kBiBitfields:
        case kBiAlphaBitfields:
            if (v.bitCount != 16 && v.bitCount != 32)
                return Fail(why,
                            QStringLiteral("bit fields with %1 bits per pixel").arg(v.bitCount));
            break;
        case kBiJpeg:
        case kBiPng:
            if (v.topDown) return Fail(why, QStringLiteral("top-down compressed image"));
            break;
        default:
            return Fail(why, QStringLiteral("unknown compression %1").arg(v.compression));
    }
    if (core && v.compression != kBiRgb)
        return Fail(why, QStringLiteral("compressed bitmap with a core header"));

    // Bit-field masks live inside V2..V5 headers, or follow a 40-byte one.
    std::size_t tableAt = headerSize;
    if (v.compression == kBiBitfields || v.compression == kBiAlphaBitfields) {
        const std::size_t maskCount = v.compression == kBiAlphaBitfields ? 4 : 3;
        std::size_t masksAt = 40;
        if (headerSize == 40) {
            tableAt = 40 + maskCount * 4;
            if (tableAt > infoSize) return Fail(why, QStringLiteral("bit-field masks missing"));
        } else if (headerSize < 40 + maskCount * 4) {
            return Fail(why, QStringLiteral("bit-field masks missing"));
        }
        for (std::size_t i = 0; i < maskCount; ++i)
            v.masks[i] = U32(info + masksAt + i * 4);
        if (headerSize >= 56) v.masks[3] = U32(info + 52);
        v.compression = kBiBitfields;
        if (!v.masks[0] && !v.masks[1] && !v.masks[2])
            return Fail(why, QStringLiteral("empty bit-field masks"));
    } else if (v.bitCount == 16) {
        v.masks[0] = 0x7C00;
        v.masks[1] = 0x03E0;
        v.masks[2] = 0x001F;
    } else if (v.bitCount == 32) {
        v.masks[0] = 0x00FF0000;
        v.masks[1] = 0x0000FF00;
        v.masks[2] = 0x000000FF;
        v.masks[3] = 0xFF000000;
    }
    if (v.bitCount == 16)
        for (auto& m : v.masks)
            m &= 0xFFFF;

    // Colour table: full size for indexed bitmaps unless biClrUsed says less;
    // for 16..32 bpp biClrUsed entries may be present and are skipped.
    std::uint32_t entries = 0;
    if (IsIndexed(v.bitCount)) {
        const std::uint32_t full = 1u << v.bitCount;
        entries = (clrUsed == 0 || clrUsed > full) ? full : clrUsed;
    }
    // Only indexed bitmaps use the table; elsewhere a short one is harmless.
    const std::size_t entrySize = usage == kDibPalColors ? 2 : tableEntrySize;
    if (IsIndexed(v.bitCount)) {
        if (entries > (infoSize - tableAt) / entrySize)
            return Fail(why, QStringLiteral("colour table beyond the record"));
        const std::uint32_t full = 1u << v.bitCount;
        v.palette.resize(full, 0xFF000000u);
        if (usage == kDibPalColors) {
            for (std::uint32_t i = 0; i < entries; ++i)
                v.paletteIndices.push_back(U16(info + tableAt + i * entrySize));
            const std::uint32_t largest =
                *std::max_element(v.paletteIndices.begin(), v.paletteIndices.end());
            for (std::uint32_t i = 0; i < entries; ++i)
                v.palette[i] = GreyForIndex(v.paletteIndices[i], largest);
        } else {
            for (std::uint32_t i = 0; i < entries; ++i) {
                const std::uint8_t* e = info + tableAt + i * entrySize;
                v.palette[i] =
                    0xFF000000u | std::uint32_t{e[2]} << 16 | std::uint32_t{e[1]} << 8 | e[0];
            }
        }
    }

    // The bits.
    if (!bits && bitsSize) return Fail(why, QStringLiteral("bitmap bits missing"));
    v.bits = bits;
    if (v.compression == kBiRgb || v.compression == kBiBitfields) {
        v.stride = static_cast<std::size_t>((width * v.bitCount + 31) / 32 * 4);
        const auto need = static_cast<std::uint64_t>(v.stride) * static_cast<std::uint64_t>(height);
        if (need > bitsSize)
            return Fail(
                why,
                QStringLiteral("bitmap needs %1 bytes, record holds %2").arg(need).arg(bitsSize));
        v.bitsSize = static_cast<std::size_t>(need);
    } else {
        if (sizeImage > bitsSize)
            return Fail(why, QStringLiteral("bitmap needs %1 bytes, record holds %2")
                                 .arg(sizeImage)
                                 .arg(bitsSize));
        v.bitsSize = sizeImage ? sizeImage : bitsSize;
        if (v.bitsSize == 0) return Fail(why, QStringLiteral("bitmap without bits"));
    }

    if (v.compression == kBiRgb && v.bitCount == 32)
        v.hasAlpha = AnyAlphaByte(v);
    else if (v.compression == kBiBitfields && v.masks[3])
        v.hasAlpha = AnyMaskedBits(v, v.masks[3]);
    else if (v.compression == kBiPng)
        v.hasAlpha = PngHasAlpha(v.bits, v.bitsSize);
    return v;
}

}  // namespace mf
