#pragma once

// Records enhanced metafiles: a header, drawing records and the end record.
// Used for the sample album, the WMF conversion, the tests' fixtures and the
// fuzz seeds. Logical units are the reference device's pixels unless the
// mapping is changed.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <cstdint>
#include <vector>

#include "metafile/emf/emf_records.h"
#include "metafile/gdi_constants.h"

namespace mf {

// The reference device a converted picture is recorded against: a 96-ppi
// screen whose millimetre size is exact (480 pixels = 127 mm).
constexpr int kRefDevicePixelsX = 1920;
constexpr int kRefDevicePixelsY = 1440;
constexpr int kRefDeviceMmX = 508;
constexpr int kRefDeviceMmY = 381;
constexpr int kRefDevicePpi = 96;

// The payload of one record, little endian. Offsets that records keep to
// their own parts count from the record start, so offset() includes the
// 8 bytes of type and size.
class EmfRecord {
public:
    explicit EmfRecord(std::uint32_t type) : type_(type) {}

    EmfRecord& u32(std::uint32_t v);
    EmfRecord& i32(std::int32_t v) { return u32(static_cast<std::uint32_t>(v)); }
    EmfRecord& u16(std::uint16_t v);
    EmfRecord& u8(std::uint8_t v);
    EmfRecord& f32(float v);
    EmfRecord& point(const QPoint& p) { return i32(p.x()).i32(p.y()); }
    // RECTL with inclusive right and bottom as given.
    EmfRecord& rect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
        return i32(l).i32(t).i32(r).i32(b);
    }
    EmfRecord& bytes(const char* data, qsizetype n);
    EmfRecord& bytes(const QByteArray& b) { return bytes(b.constData(), b.size()); }
    EmfRecord& pad4();

    std::uint32_t offset() const { return 8 + std::uint32_t(payload_.size()); }
    std::uint32_t type() const { return type_; }
    const QByteArray& payload() const { return payload_; }

private:
    std::uint32_t type_;
    QByteArray payload_;
};

class EmfWriter {
public:
    // A picture of `sizeMm` millimetres whose reference device is the
    // picture itself at `dpi` pixels per inch; Finish() writes it.
    explicit EmfWriter(QSizeF sizeMm, int dpi = 96);
    // A picture recorded against the conversion's reference device; its
    // frame is given to Finish(framePx, frameHmm).
    EmfWriter() = default;

    // The picture's size in reference-device pixels.
    QSize deviceSize() const { return device_; }

    void SetMapMode(int mode);
    void SetWindowOrg(QPoint origin);
    void SetWindowExt(QSize extent);
    void SetViewportOrg(QPoint origin);
    void SetViewportExt(QSize extent);
    void SetBkMode(int mode);
    void SetBkColor(QColor color);
    void SetTextColor(QColor color);
    void SetTextAlign(std::uint32_t align);

    // Each returns the object's handle index for SelectObject/DeleteObject.
    std::uint32_t CreatePen(int style, int width, QColor color);
    std::uint32_t CreateBrush(int style, QColor color, std::uint32_t hatch = 0);
    // `height` in logical units (negative: character height, as GDI takes it).
    std::uint32_t CreateFont(const QString& face, int height, int weight = 400,
                             std::uint8_t charSet = kShiftJisCharset, bool italic = false);
    void SelectObject(std::uint32_t handle);
    void DeleteObject(std::uint32_t handle);

    void MoveTo(QPoint p);
    void LineTo(QPoint p);
    void Rectangle(const QRect& box);
    // Text at `reference` in the selected font. The advance of each character
    // is given explicitly (full-width characters `cellWidth`, others half of it).
    void ExtTextOut(QPoint reference, const QString& text, int cellWidth,
                    std::uint32_t options = 0);
    // The image as a 24-bit bottom-up DIB stretched over `dest`.
    void StretchDIBits(const QRect& dest, const QImage& image);

    // Any record (its payload padded to a multiple of 4).
    void Add(const EmfRecord& record);
    // The same from a type and the payload after the 8-byte record head.
    void AppendRecord(std::uint32_t type, const QByteArray& payload);
    // A handle index used by records added as they are, for the header's
    // handle count.
    void NoteHandle(std::uint32_t handle);
    qsizetype recordCount() const { return recordCount_; }

    // Header + records + end record. The writer is spent afterwards.
    QByteArray Finish();
    // The same for a picture of `framePx` on the conversion's reference
    // device, `frameHmm` in 0.01 mm.
    QByteArray Finish(const QSize& framePx, const QSize& frameHmm);

private:
    // What the header says of the picture and its reference device.
    struct Frame {
        QSize boundsPx;  // the picture on the reference device
        QSize frameHmm;
        QSize devicePx;
        QSize deviceMm;
        QSize deviceUm;
    };
    std::uint32_t NewHandle();
    QByteArray WriteOut(const Frame& frame);

    QSizeF sizeMm_;
    QSize device_;
    QByteArray records_;
    std::uint32_t recordCount_ = 0;
    std::uint32_t highestHandle_ = 0;
    std::vector<std::uint32_t> freeHandles_;
};

}  // namespace mf
