#include "metafile/convert/placeable_wmf.h"

#include <QtEndian>
#include <cmath>

#include "metafile/convert/emf_to_wmf.h"
#include "metafile/dib/bmp_file.h"
#include "metafile/dib/dib.h"
#include "metafile/picture.h"
#include "metafile/wmf/wmf_header.h"
#include "metafile/wmf/wmf_records.h"
#include "metafile/wmf/wmf_writer.h"

namespace mf {

namespace {

qint16 Clamp16(double v) {
    return qint16(std::clamp(std::lround(v), -32767L, 32767L));
}

}  // namespace

QByteArray WmfWithBitmap(const QImage& image, const QSize& size) {
    const int w = image.width(), h = image.height();
    wmf::WmfWriter out;
    out.Add(wmf::kSetMapMode, {kMmAnisotropic});
    out.Add(wmf::kSetWindowOrg, {0, 0});
    out.Add(wmf::kSetWindowExt, {Clamp16(size.height()), Clamp16(size.width())});
    // rop, usage, source and destination rectangles, then the DIB
    out.Add(wmf::kStretchDib, wmf::WmfParams{}
                                  .dword(kSrcCopy)
                                  .word(kDibRgbColors)
                                  .word(Clamp16(h))
                                  .word(Clamp16(w))
                                  .word(0)
                                  .word(0)
                                  .word(Clamp16(size.height()))
                                  .word(Clamp16(size.width()))
                                  .word(0)
                                  .word(0)
                                  .bytes(PackedDib24(image)));
    return out.Finish(0);
}

QByteArray PlaceableWmfFor(const Picture& picture) {
    const int upi = picture.unitsPerInch();
    const QSizeF frame = picture.frameHundredthsMm();
    const int w = int(std::lround(frame.width() * upi / 2540.0));
    const int h = int(std::lround(frame.height() * upi / 2540.0));
    QByteArray out = wmf::PlaceableHeader(QRect(0, 0, Clamp16(w), Clamp16(h)), upi);
    if (picture.kind() == Picture::Kind::Wmf) {
        const QByteArray& b = picture.bytes();
        const bool placeable = b.size() >= wmf::kPlaceableHeaderBytes &&
                               qFromLittleEndian<quint32>(b.constData()) == wmf::kPlaceableKey;
        out.append(placeable ? b.mid(wmf::kPlaceableHeaderBytes) : b);
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
