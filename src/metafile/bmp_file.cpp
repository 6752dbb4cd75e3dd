#include "metafile/bmp_file.h"

#include <QtEndian>

namespace mf {

namespace {

void Put16(QByteArray& b, int off, quint16 v) {
    qToLittleEndian(v, b.data() + off);
}
void Put32(QByteArray& b, int off, quint32 v) {
    qToLittleEndian(v, b.data() + off);
}

}  // namespace

QByteArray BmpFile24(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int w = image.width(), h = image.height();
    const int stride = (w * 3 + 3) & ~3;
    const int headers = 14 + 40;
    QByteArray b(headers + qsizetype(stride) * h, '\0');
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, quint32(b.size()));
    Put32(b, 10, headers);
    Put32(b, 14, 40);
    Put32(b, 18, quint32(w));
    Put32(b, 22, quint32(h));
    Put16(b, 26, 1);
    Put16(b, 28, 24);
    Put32(b, 34, quint32(stride) * quint32(h));
    Put32(b, 38, 3780);  // 96 pixels per inch
    Put32(b, 42, 3780);
    for (int y = 0; y < h; ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(image.constScanLine(h - 1 - y));
        char* dst = b.data() + headers + qsizetype(y) * stride;
        for (int x = 0; x < w; ++x) {
            dst[3 * x] = char(qBlue(src[x]));
            dst[3 * x + 1] = char(qGreen(src[x]));
            dst[3 * x + 2] = char(qRed(src[x]));
        }
    }
    return b;
}

}  // namespace mf
