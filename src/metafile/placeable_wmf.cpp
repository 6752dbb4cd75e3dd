#include "metafile/placeable_wmf.h"

#include <QtEndian>
#include <cmath>

#include "metafile/emf_to_wmf.h"
#include "metafile/picture.h"

namespace mf {

namespace {

void Add16(QByteArray& b, quint16 v) {
    char c[2];
    qToLittleEndian(v, c);
    b.append(c, 2);
}

void Add32(QByteArray& b, quint32 v) {
    char c[4];
    qToLittleEndian(v, c);
    b.append(c, 4);
}

void Record(QByteArray& b, quint16 function, std::initializer_list<qint16> params) {
    Add32(b, quint32(3 + params.size()));
    Add16(b, function);
    for (qint16 p : params)
        Add16(b, quint16(p));
}

constexpr quint32 kPlaceableKey = 0x9AC6CDD7;
constexpr int kPlaceableSize = 22;

qint16 Clamp16(double v) {
    return qint16(std::clamp(std::lround(v), -32767L, 32767L));
}

}  // namespace

QByteArray PlaceableHeader(int width, int height, int unitsPerInch) {
    QByteArray h;
    Add32(h, kPlaceableKey);
    Add16(h, 0);  // handle
    Add16(h, 0);  // left
    Add16(h, 0);  // top
    Add16(h, quint16(Clamp16(width)));
    Add16(h, quint16(Clamp16(height)));
    Add16(h, quint16(unitsPerInch));
    Add32(h, 0);  // reserved
    quint16 sum = 0;
    for (int i = 0; i < 10; ++i)
        sum ^= qFromLittleEndian<quint16>(h.constData() + 2 * i);
    Add16(h, sum);
    return h;
}

QByteArray WmfWithBitmap(const QImage& source, const QSize& size) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int w = image.width(), h = image.height();
    const int stride = (w * 3 + 3) & ~3;
    QByteArray dib;
    Add32(dib, 40);
    Add32(dib, quint32(w));
    Add32(dib, quint32(h));
    Add16(dib, 1);
    Add16(dib, 24);
    Add32(dib, 0);
    Add32(dib, quint32(stride * h));
    Add32(dib, 3780);
    Add32(dib, 3780);
    Add32(dib, 0);
    Add32(dib, 0);
    const qsizetype bitsAt = dib.size();
    dib.resize(bitsAt + qsizetype(stride) * h, '\0');
    for (int y = 0; y < h; ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(image.constScanLine(h - 1 - y));
        char* dst = dib.data() + bitsAt + qsizetype(y) * stride;
        for (int x = 0; x < w; ++x) {
            dst[3 * x] = char(qBlue(src[x]));
            dst[3 * x + 1] = char(qGreen(src[x]));
            dst[3 * x + 2] = char(qRed(src[x]));
        }
    }

    QByteArray records;
    Record(records, 0x0103, {8});     // SETMAPMODE anisotropic
    Record(records, 0x020B, {0, 0});  // SETWINDOWORG
    Record(records, 0x020C, {Clamp16(size.height()), Clamp16(size.width())});  // SETWINDOWEXT
    // STRETCHDIB: rop, usage, source and destination rectangles, then the DIB.
    const quint32 words = quint32(3 + 2 + 9 + dib.size() / 2);
    Add32(records, words);
    Add16(records, 0x0F43);
    Add32(records, 0x00CC0020);
    Add16(records, 0);  // DIB_RGB_COLORS
    Add16(records, quint16(Clamp16(h)));
    Add16(records, quint16(Clamp16(w)));
    Add16(records, 0);
    Add16(records, 0);
    Add16(records, quint16(Clamp16(size.height())));
    Add16(records, quint16(Clamp16(size.width())));
    Add16(records, 0);
    Add16(records, 0);
    records.append(dib);
    const quint32 largest = words;
    Record(records, 0x0000, {});  // EOF

    QByteArray wmf;
    Add16(wmf, 1);       // in memory
    Add16(wmf, 9);       // header words
    Add16(wmf, 0x0300);  // version
    Add32(wmf, quint32((18 + records.size()) / 2));
    Add16(wmf, 0);  // objects
    Add32(wmf, largest);
    Add16(wmf, 0);
    wmf.append(records);
    return wmf;
}

QByteArray PlaceableWmfFor(const Picture& picture) {
    const int upi = picture.unitsPerInch();
    const QSizeF frame = picture.frameHundredthsMm();
    const int w = int(std::lround(frame.width() * upi / 2540.0));
    const int h = int(std::lround(frame.height() * upi / 2540.0));
    QByteArray out = PlaceableHeader(w, h, upi);
    if (picture.kind() == Picture::Kind::Wmf) {
        const QByteArray& b = picture.bytes();
        const bool placeable = b.size() >= kPlaceableSize &&
                               qFromLittleEndian<quint32>(b.constData()) == kPlaceableKey;
        out.append(placeable ? b.mid(kPlaceableSize) : b);
        return out;
    }
    // The EMF's records converted one by one, as GDI does; should that fail,
    // a picture of the page keeps at least its looks.
    if (auto converted = ConvertEmfToPlaceableWmf(picture.ToEmf(), upi)) return *converted;
    const QImage image = picture.ToImage(picture.naturalSize());
    out.append(WmfWithBitmap(image, QSize(w, h)));
    return out;
}

}  // namespace mf
