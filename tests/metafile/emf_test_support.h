#pragma once

// Small EMFs built record by record for the player's tests, and a way to see
// what they draw as a plain-text dump.

#include <QByteArray>
#include <QImage>
#include <QStringList>
#include <QTransform>
#include <cstdint>
#include <cstring>

#include "metafile/dc/recording_output.h"
#include "metafile/emf_writer.h"
#include "metafile/picture.h"

namespace mftest {

// Bytes of a record payload, little-endian.
struct Payload {
    QByteArray b;
    Payload& u32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b.append(char((v >> (8 * i)) & 0xFF));
        return *this;
    }
    Payload& i32(std::int32_t v) { return u32(std::uint32_t(v)); }
    Payload& u16(std::uint16_t v) {
        b.append(char(v & 0xFF));
        b.append(char(v >> 8));
        return *this;
    }
    Payload& u8(std::uint8_t v) {
        b.append(char(v));
        return *this;
    }
    Payload& f32(float f) {
        std::uint32_t v;
        std::memcpy(&v, &f, 4);
        return u32(v);
    }
    Payload& rect(int l, int t, int r, int bottom) { return i32(l).i32(t).i32(r).i32(bottom); }
    Payload& raw(const QByteArray& more) {
        b.append(more);
        return *this;
    }
    operator QByteArray() const { return b; }
};

// A writer whose reference device is 100 x 100 pixels at 5 pixels per
// millimetre, so that logical units in MM_TEXT are output pixels when drawn
// at natural size.
inline mf::EmfWriter SquareWriter() {
    return mf::EmfWriter(QSizeF(20, 20), 127);
}

// The writer counts only the objects it made itself; records appended by
// hand may use the first 16 slots.
inline QByteArray WithObjectSlots(QByteArray emf, quint16 wanted = 16) {
    if (emf.size() > 58 && quint8(emf[56]) + (quint8(emf[57]) << 8) < wanted) {
        emf[56] = char(wanted & 0xFF);
        emf[57] = char(wanted >> 8);
    }
    return emf;
}

// What a picture draws at its natural size (or `size`), one line per call.
inline QStringList Dump(const QByteArray& emf, QSize size = QSize()) {
    QString why;
    auto picture = mf::Picture::Load(WithObjectSlots(emf), &why, true);
    if (!picture) return {QStringLiteral("load failed: ") + why};
    if (size.isEmpty()) size = picture->naturalSize();
    mf::RecordingOutput out;
    picture->Play(out, QRectF(QPointF(0, 0), QSizeF(size)), QTransform());
    return out.lines();
}

// Drawing calls only: the dump without clip lines.
inline QStringList Draws(const QByteArray& emf, QSize size = QSize()) {
    QStringList all = Dump(emf, size);
    all.removeIf([](const QString& s) { return s.startsWith(QLatin1String("clip")); });
    return all;
}

// A 24-bit DIB (BITMAPINFOHEADER + bottom-up rows) of the given pixels,
// given top row first.
inline QByteArray Dib24(int w, int h, const std::vector<QRgb>& topDownPixels, QByteArray* bits) {
    Payload info;
    info.u32(40).i32(w).i32(h).u16(1).u16(24).u32(0).u32(0).u32(0).u32(0).u32(0).u32(0);
    const int stride = (w * 3 + 3) & ~3;
    bits->fill('\0', qsizetype(stride) * h);
    for (int y = 0; y < h; ++y) {
        char* row = bits->data() + qsizetype(h - 1 - y) * stride;
        for (int x = 0; x < w; ++x) {
            const QRgb p = topDownPixels[std::size_t(y * w + x)];
            row[3 * x] = char(qBlue(p));
            row[3 * x + 1] = char(qGreen(p));
            row[3 * x + 2] = char(qRed(p));
        }
    }
    return info;
}

// EMR_STRETCHDIBITS payload: destination, source rectangle, the DIB.
inline QByteArray StretchDibPayload(QRect dest, QRect src, const QByteArray& info,
                                    const QByteArray& bits, std::uint32_t rop = 0xCC0020) {
    const std::uint32_t headerBytes = 80;
    Payload p;
    p.rect(dest.left(), dest.top(), dest.right(), dest.bottom());
    p.i32(dest.x()).i32(dest.y()).i32(src.x()).i32(src.y()).i32(src.width()).i32(src.height());
    p.u32(headerBytes).u32(std::uint32_t(info.size()));
    p.u32(headerBytes + std::uint32_t(info.size())).u32(std::uint32_t(bits.size()));
    p.u32(0).u32(rop).i32(dest.width()).i32(dest.height());
    p.raw(info).raw(bits);
    return p;
}

}  // namespace mftest
