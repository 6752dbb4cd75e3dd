#pragma once

// Writes an enhanced metafile record by record: what the WMF conversion
// produces. The header is put in front when the stream is finished, once the
// record count, byte count and handle count are known.

#include <QByteArray>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <cstdint>

namespace mf::wmf {

// EMF record types the conversion writes.
enum EmfType : std::uint32_t {
    kEmrHeader = 1,
    kEmrSetWindowExtEx = 9,
    kEmrSetWindowOrgEx = 10,
    kEmrSetViewportExtEx = 11,
    kEmrSetViewportOrgEx = 12,
    kEmrEof = 14,
    kEmrSetPixelV = 15,
    kEmrSetMapperFlags = 16,
    kEmrSetMapMode = 17,
    kEmrSetBkMode = 18,
    kEmrSetPolyFillMode = 19,
    kEmrSetRop2 = 20,
    kEmrSetStretchBltMode = 21,
    kEmrSetTextAlign = 22,
    kEmrSetTextColor = 24,
    kEmrSetBkColor = 25,
    kEmrOffsetClipRgn = 26,
    kEmrMoveToEx = 27,
    kEmrExcludeClipRect = 29,
    kEmrIntersectClipRect = 30,
    kEmrScaleViewportExtEx = 31,
    kEmrScaleWindowExtEx = 32,
    kEmrSaveDc = 33,
    kEmrRestoreDc = 34,
    kEmrSelectObject = 37,
    kEmrCreatePen = 38,
    kEmrCreateBrushIndirect = 39,
    kEmrDeleteObject = 40,
    kEmrEllipse = 42,
    kEmrRectangle = 43,
    kEmrRoundRect = 44,
    kEmrArc = 45,
    kEmrChord = 46,
    kEmrPie = 47,
    kEmrSelectPalette = 48,
    kEmrCreatePalette = 49,
    kEmrSetPaletteEntries = 50,
    kEmrRealizePalette = 52,
    kEmrExtFloodFill = 53,
    kEmrLineTo = 54,
    kEmrFillRgn = 71,
    kEmrFrameRgn = 72,
    kEmrInvertRgn = 73,
    kEmrPaintRgn = 74,
    kEmrExtSelectClipRgn = 75,
    kEmrBitBlt = 76,
    kEmrStretchBlt = 77,
    kEmrSetDiBitsToDevice = 80,
    kEmrStretchDiBits = 81,
    kEmrExtCreateFontIndirectW = 82,
    kEmrExtTextOutW = 84,
    kEmrPolygon16 = 86,
    kEmrPolyline16 = 87,
    kEmrPolyPolygon16 = 91,
    kEmrCreateMonoBrush = 93,
    kEmrCreateDibPatternBrushPt = 94,
    kEmrSetLayout = 115,
};

// The reference device every converted picture is recorded against: a
// 96-ppi screen whose millimetre size is exact (480 pixels = 127 mm).
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
    void add(const EmfRecord& record);
    // Highest handle index used, for the header's handle count.
    void noteHandle(std::uint32_t handle);
    qsizetype recordCount() const { return records_; }

    // Header + records + EOF. `framePx` is the picture's size on the reference
    // device; `frameHmm` the same in 0.01 mm.
    QByteArray finish(const QSize& framePx, const QSize& frameHmm);

private:
    QByteArray body_;
    qsizetype records_ = 0;
    std::uint32_t maxHandle_ = 0;
};

}  // namespace mf::wmf
