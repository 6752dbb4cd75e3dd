#include "metafile/wmf/wmf_bitmaps.h"

#include <QtEndian>
#include <algorithm>

#include "metafile/byte_writer.h"

namespace mf::wmf {

namespace {

std::uint32_t Le32(const unsigned char* p) {
    return qFromLittleEndian<std::uint32_t>(p);
}
std::uint16_t Le16(const unsigned char* p) {
    return qFromLittleEndian<std::uint16_t>(p);
}

// The 16 colours of the VGA palette, for old colour bitmaps that carry none.
constexpr std::uint32_t kVga[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                    0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                    0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

}  // namespace

std::optional<DibParts> SplitPackedDib(const unsigned char* data, qsizetype size,
                                       std::uint32_t usage) {
    if (!data || size < 12) return std::nullopt;
    const std::uint32_t headerSize = Le32(data);
    qsizetype infoSize = 0;
    int bitCount = 0;
    std::uint32_t colours = 0;
    qsizetype entryBytes = usage == 1 ? 2 : 4;
    if (headerSize == 12) {  // BITMAPCOREHEADER
        bitCount = Le16(data + 10);
        if (bitCount <= 8) colours = 1u << bitCount;
        if (usage != 1) entryBytes = 3;
        infoSize = 12;
    } else if (headerSize >= 40 && headerSize <= 124 && size >= 40) {
        bitCount = Le16(data + 14);
        const std::uint32_t compression = Le32(data + 16);
        colours = Le32(data + 32);
        if (colours == 0 && bitCount <= 8) colours = 1u << bitCount;
        infoSize = headerSize;
        // A plain info header keeps the three bit-field masks after it.
        if (headerSize == 40 && (compression == 3 || compression == 6))
            infoSize += compression == 6 ? 16 : 12;
    } else {
        return std::nullopt;
    }
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
        bitCount != 32 && bitCount != 0)
        return std::nullopt;
    if (colours > 256 && bitCount <= 8) colours = 1u << bitCount;
    if (colours > 4096) return std::nullopt;
    infoSize += qsizetype(colours) * entryBytes;
    if (infoSize > size) return std::nullopt;
    DibParts parts;
    parts.info = QByteArray(reinterpret_cast<const char*>(data), infoSize);
    parts.bits = QByteArray(reinterpret_cast<const char*>(data) + infoSize, size - infoSize);
    return parts;
}

std::optional<DibParts> Bitmap16ToDib(int width, int height, int widthBytes, int planes,
                                      int bitsPixel, const unsigned char* bits,
                                      qsizetype bitsSize) {
    if (width <= 0 || height <= 0 || planes != 1) return std::nullopt;
    if (bitsPixel != 1 && bitsPixel != 4 && bitsPixel != 8 && bitsPixel != 24 && bitsPixel != 32)
        return std::nullopt;
    const qint64 rowBits = qint64(width) * bitsPixel;
    if (widthBytes <= 0 || qint64(widthBytes) * 8 < rowBits) return std::nullopt;
    if (qint64(widthBytes) * height > bitsSize) return std::nullopt;
    const qsizetype stride = qsizetype(((rowBits + 31) / 32) * 4);
    const qsizetype copy = std::min<qsizetype>(stride, widthBytes);

    DibParts parts;
    const int colours = bitsPixel <= 8 ? 1 << bitsPixel : 0;
    Put32(parts.info, 40);
    Put32(parts.info, std::uint32_t(width));
    Put32(parts.info, std::uint32_t(height));
    Put16(parts.info, 1);
    Put16(parts.info, std::uint16_t(bitsPixel));
    Put32(parts.info, 0);
    Put32(parts.info, std::uint32_t(stride * height));
    Put32(parts.info, 0);
    Put32(parts.info, 0);
    Put32(parts.info, std::uint32_t(colours));
    Put32(parts.info, 0);
    for (int i = 0; i < colours; ++i) {
        std::uint32_t rgb = 0;
        if (bitsPixel == 1)
            rgb = i ? 0xFFFFFF : 0;
        else if (i < 16)
            rgb = kVga[i];
        else
            rgb = std::uint32_t(i) * 0x010101;  // grey ramp past the VGA colours
        Put32(parts.info, rgb);
    }
    parts.bits = QByteArray(stride * height, '\0');
    for (int y = 0; y < height; ++y) {
        const unsigned char* src = bits + qsizetype(y) * widthBytes;
        std::copy(src, src + copy, parts.bits.data() + qsizetype(height - 1 - y) * stride);
    }
    return parts;
}

}  // namespace mf::wmf
