#include "metafile/dib/bmp_file.h"

#include "metafile/byte_writer.h"

namespace mf {

namespace {

constexpr std::uint16_t kBmpMagic = 0x4D42;        // "BM"
constexpr int kBmpFileHeaderBytes = 14;            // before the packed DIB
constexpr std::uint32_t kPixelsPerMetre96 = 3780;  // 96 pixels per inch
constexpr std::uint16_t kBitsPerPixel = 24;

}  // namespace

QByteArray PackedDib24(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int w = image.width(), h = image.height();
    const int stride = (w * 3 + 3) & ~3;
    QByteArray b;
    b.reserve(kDibInfoHeaderBytes + qsizetype(stride) * h);
    Put32(b, kDibInfoHeaderBytes);
    Put32(b, std::uint32_t(w));
    Put32(b, std::uint32_t(h));
    Put16(b, 1);  // planes
    Put16(b, kBitsPerPixel);
    Put32(b, 0);  // BI_RGB
    Put32(b, std::uint32_t(stride) * std::uint32_t(h));
    Put32(b, kPixelsPerMetre96);
    Put32(b, kPixelsPerMetre96);
    Put32(b, 0);  // colours used
    Put32(b, 0);  // colours important
    b.resize(kDibInfoHeaderBytes + qsizetype(stride) * h, '\0');
    for (int y = 0; y < h; ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(image.constScanLine(h - 1 - y));
        char* dst = b.data() + kDibInfoHeaderBytes + qsizetype(y) * stride;
        for (int x = 0; x < w; ++x) {
            dst[3 * x] = char(qBlue(src[x]));
            dst[3 * x + 1] = char(qGreen(src[x]));
            dst[3 * x + 2] = char(qRed(src[x]));
        }
    }
    return b;
}

QByteArray BmpFile24(const QImage& image) {
    const QByteArray dib = PackedDib24(image);
    QByteArray b;
    b.reserve(kBmpFileHeaderBytes + dib.size());
    Put16(b, kBmpMagic);
    Put32(b, std::uint32_t(kBmpFileHeaderBytes + dib.size()));
    Put32(b, 0);  // reserved
    Put32(b, kBmpFileHeaderBytes + kDibInfoHeaderBytes);
    b += dib;
    return b;
}

}  // namespace mf
