#include "metafile/emf_writer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "metafile/byte_writer.h"
#include "metafile/dib/bmp_file.h"
#include "metafile/emf/emf_records.h"

namespace mf {
namespace {

constexpr std::uint32_t kEmfVersion = 0x10000;
constexpr int kHeaderSize = 108;  // with both header extensions

void PutI32(QByteArray& out, std::int32_t v) {
    Put32(out, std::uint32_t(v));
}
void PutPoint(QByteArray& out, QPoint p) {
    PutI32(out, p.x());
    PutI32(out, p.y());
}
// RECTL with inclusive right and bottom.
void PutRect(QByteArray& out, const QRect& r) {
    PutI32(out, r.left());
    PutI32(out, r.top());
    PutI32(out, r.right());
    PutI32(out, r.bottom());
}
void PutFloat(QByteArray& out, float f) {
    std::uint32_t bits;
    static_assert(sizeof bits == sizeof f);
    std::memcpy(&bits, &f, sizeof bits);
    Put32(out, bits);
}

std::uint32_t ColorRef(QColor c) {
    return std::uint32_t(c.red()) | std::uint32_t(c.green()) << 8 | std::uint32_t(c.blue()) << 16;
}

bool IsHalfWidth(QChar c) {
    const char16_t u = c.unicode();
    return u < 0x80 || (u >= 0xFF61 && u <= 0xFF9F);
}

}  // namespace

EmfWriter::EmfWriter(QSizeF sizeMm, int dpi)
    : sizeMm_(sizeMm),
      device_(int(std::lround(sizeMm.width() / 25.4 * dpi)),
              int(std::lround(sizeMm.height() / 25.4 * dpi))) {}

EmfRecord& EmfRecord::u32(std::uint32_t v) {
    Put32(payload_, v);
    return *this;
}

EmfRecord& EmfRecord::u16(std::uint16_t v) {
    Put16(payload_, v);
    return *this;
}

EmfRecord& EmfRecord::u8(std::uint8_t v) {
    payload_.append(char(v));
    return *this;
}

EmfRecord& EmfRecord::f32(float v) {
    std::uint32_t bits;
    static_assert(sizeof bits == sizeof v);
    std::memcpy(&bits, &v, sizeof bits);
    return u32(bits);
}

EmfRecord& EmfRecord::bytes(const char* data, qsizetype n) {
    if (n > 0) payload_.append(data, n);
    return *this;
}

EmfRecord& EmfRecord::pad4() {
    while (payload_.size() % 4)
        payload_.append('\0');
    return *this;
}

void EmfWriter::Add(const EmfRecord& record) {
    const qsizetype padded = (record.payload().size() + 3) & ~qsizetype(3);
    Put32(records_, record.type());
    Put32(records_, std::uint32_t(8 + padded));
    records_ += record.payload();
    records_.append(padded - record.payload().size(), '\0');
    ++recordCount_;
}

void EmfWriter::AppendRecord(std::uint32_t type, const QByteArray& payload) {
    Add(EmfRecord(type).bytes(payload));
}

void EmfWriter::NoteHandle(std::uint32_t handle) {
    highestHandle_ = std::max(highestHandle_, handle);
}

namespace {
QByteArray One(std::uint32_t v) {
    QByteArray b;
    Put32(b, v);
    return b;
}
QByteArray Pair(std::int32_t a, std::int32_t b) {
    QByteArray out;
    PutI32(out, a);
    PutI32(out, b);
    return out;
}
}  // namespace

void EmfWriter::SetMapMode(int mode) {
    AppendRecord(emr::SetMapMode, One(std::uint32_t(mode)));
}
void EmfWriter::SetWindowOrg(QPoint o) {
    AppendRecord(emr::SetWindowOrgEx, Pair(o.x(), o.y()));
}
void EmfWriter::SetWindowExt(QSize e) {
    AppendRecord(emr::SetWindowExtEx, Pair(e.width(), e.height()));
}
void EmfWriter::SetViewportOrg(QPoint o) {
    AppendRecord(emr::SetViewportOrgEx, Pair(o.x(), o.y()));
}
void EmfWriter::SetViewportExt(QSize e) {
    AppendRecord(emr::SetViewportExtEx, Pair(e.width(), e.height()));
}
void EmfWriter::SetBkMode(int mode) {
    AppendRecord(emr::SetBkMode, One(std::uint32_t(mode)));
}
void EmfWriter::SetBkColor(QColor c) {
    AppendRecord(emr::SetBkColor, One(ColorRef(c)));
}
void EmfWriter::SetTextColor(QColor c) {
    AppendRecord(emr::SetTextColor, One(ColorRef(c)));
}
void EmfWriter::SetTextAlign(std::uint32_t align) {
    AppendRecord(emr::SetTextAlign, One(align));
}

std::uint32_t EmfWriter::NewHandle() {
    if (!freeHandles_.empty()) {
        const std::uint32_t h = freeHandles_.back();
        freeHandles_.pop_back();
        return h;
    }
    return ++highestHandle_;  // index 0 is the metafile itself
}

std::uint32_t EmfWriter::CreatePen(int style, int width, QColor color) {
    const std::uint32_t h = NewHandle();
    QByteArray p;
    Put32(p, h);
    Put32(p, std::uint32_t(style));
    PutI32(p, width);
    PutI32(p, 0);
    Put32(p, ColorRef(color));
    AppendRecord(emr::CreatePen, p);
    return h;
}

std::uint32_t EmfWriter::CreateBrush(int style, QColor color, std::uint32_t hatch) {
    const std::uint32_t h = NewHandle();
    QByteArray p;
    Put32(p, h);
    Put32(p, std::uint32_t(style));
    Put32(p, ColorRef(color));
    Put32(p, hatch);
    AppendRecord(emr::CreateBrushIndirect, p);
    return h;
}

std::uint32_t EmfWriter::CreateFont(const QString& face, int height, int weight,
                                    std::uint8_t charSet, bool italic) {
    const std::uint32_t h = NewHandle();
    QByteArray p;
    Put32(p, h);
    // LOGFONTW: 92 bytes.
    PutI32(p, height);
    PutI32(p, 0);  // width
    PutI32(p, 0);  // escapement
    PutI32(p, 0);  // orientation
    PutI32(p, weight);
    p.append(char(italic ? 1 : 0));
    p.append('\0');  // underline
    p.append('\0');  // strike-out
    p.append(char(charSet));
    p.append('\0');  // out precision
    p.append('\0');  // clip precision
    p.append('\0');  // quality
    p.append('\0');  // pitch and family
    const QString name = face.left(31);
    for (QChar c : name)
        Put16(p, c.unicode());
    for (qsizetype i = name.size(); i < 32; ++i)
        Put16(p, 0);
    AppendRecord(emr::ExtCreateFontIndirectW, p);
    return h;
}

void EmfWriter::SelectObject(std::uint32_t handle) {
    AppendRecord(emr::SelectObject, One(handle));
}

void EmfWriter::DeleteObject(std::uint32_t handle) {
    AppendRecord(emr::DeleteObject, One(handle));
    if (!(handle & kStockObject)) freeHandles_.push_back(handle);
}

void EmfWriter::MoveTo(QPoint p) {
    AppendRecord(emr::MoveToEx, Pair(p.x(), p.y()));
}
void EmfWriter::LineTo(QPoint p) {
    AppendRecord(emr::LineTo, Pair(p.x(), p.y()));
}

void EmfWriter::Rectangle(const QRect& box) {
    QByteArray p;
    PutRect(p, box);
    AppendRecord(emr::Rectangle, p);
}

void EmfWriter::ExtTextOut(QPoint reference, const QString& text, int cellWidth,
                           std::uint32_t options) {
    std::vector<std::int32_t> dx;
    int total = 0;
    for (QChar c : text) {
        dx.push_back(IsHalfWidth(c) ? cellWidth / 2 : cellWidth);
        total += dx.back();
    }
    const int count = int(text.size());
    const int stringOffset = 76;  // record head, bounds, mode, scales, EMRTEXT
    const int stringBytes = (count * 2 + 3) / 4 * 4;
    QByteArray p;
    PutRect(p, QRect(reference.x(), reference.y() - cellWidth, total, cellWidth * 2));
    Put32(p, kGmCompatible);
    PutFloat(p, 0.0f);
    PutFloat(p, 0.0f);
    PutPoint(p, reference);
    PutI32(p, count);
    Put32(p, std::uint32_t(stringOffset));
    Put32(p, options);
    PutRect(p, QRect(0, 0, 0, 0));
    Put32(p, std::uint32_t(stringOffset + stringBytes));
    for (QChar c : text)
        Put16(p, c.unicode());
    while (p.size() % 4 != 0)
        p.append('\0');
    for (std::int32_t d : dx)
        PutI32(p, d);
    AppendRecord(emr::ExtTextOutW, p);
}

void EmfWriter::StretchDIBits(const QRect& dest, const QImage& image) {
    const int w = image.width(), h = image.height();
    const QByteArray dib = PackedDib24(image);
    const QByteArray info = dib.left(kDibInfoHeaderBytes);
    const QByteArray bits = dib.mid(kDibInfoHeaderBytes);

    const int fixed = 80;  // record head and fixed fields
    QByteArray p;
    PutRect(p, dest);
    PutI32(p, dest.x());
    PutI32(p, dest.y());
    PutI32(p, 0);
    PutI32(p, 0);
    PutI32(p, w);
    PutI32(p, h);
    Put32(p, std::uint32_t(fixed));
    Put32(p, std::uint32_t(info.size()));
    Put32(p, std::uint32_t(fixed + info.size()));
    Put32(p, std::uint32_t(bits.size()));
    Put32(p, 0);  // DIB_RGB_COLORS
    Put32(p, kSrcCopy);
    PutI32(p, dest.width());
    PutI32(p, dest.height());
    p += info;
    p += bits;
    AppendRecord(emr::StretchDiBits, p);
}

QByteArray EmfWriter::Finish() {
    const auto um = [](double mm) { return int(std::lround(mm * 1000)); };
    return WriteOut(
        {device_,
         QSize(int(std::lround(sizeMm_.width() * 100)), int(std::lround(sizeMm_.height() * 100))),
         device_, QSize(int(std::lround(sizeMm_.width())), int(std::lround(sizeMm_.height()))),
         QSize(um(sizeMm_.width()), um(sizeMm_.height()))});
}

QByteArray EmfWriter::Finish(const QSize& framePx, const QSize& frameHmm) {
    return WriteOut({framePx, frameHmm, QSize(kRefDevicePixelsX, kRefDevicePixelsY),
                     QSize(kRefDeviceMmX, kRefDeviceMmY),
                     QSize(kRefDeviceMmX * 1000, kRefDeviceMmY * 1000)});
}

QByteArray EmfWriter::WriteOut(const Frame& f) {
    EmfRecord eof(emr::Eof);
    eof.u32(0).u32(16).u32(20);  // no palette; offset of the (absent) entries; record size
    Add(eof);

    // Header with both extensions (pixel format, micrometres).
    EmfRecord h(emr::Header);
    h.rect(0, 0, f.boundsPx.width() - 1, f.boundsPx.height() - 1);  // inclusive
    h.rect(0, 0, f.frameHmm.width(), f.frameHmm.height());
    h.u32(emr::kEmfSignature);
    h.u32(kEmfVersion);
    h.u32(std::uint32_t(kHeaderSize + records_.size()));
    h.u32(recordCount_ + 1);
    h.u16(std::uint16_t(std::min<std::uint32_t>(highestHandle_ + 1, 0xFFFF)));
    h.u16(0);
    h.u32(0).u32(0);  // no description
    h.u32(0);         // no palette entries
    h.i32(f.devicePx.width()).i32(f.devicePx.height());
    h.i32(f.deviceMm.width()).i32(f.deviceMm.height());
    h.u32(0).u32(0).u32(0);  // no pixel format, not OpenGL
    h.i32(f.deviceUm.width()).i32(f.deviceUm.height());

    QByteArray out;
    out.reserve(kHeaderSize + records_.size());
    Put32(out, emr::Header);
    Put32(out, kHeaderSize);
    out += h.payload();
    out += records_;
    records_.clear();
    recordCount_ = 0;
    return out;
}

}  // namespace mf
