#include "metafile/emf_writer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "metafile/bmp_file.h"
#include "metafile/byte_writer.h"
#include "metafile/emf_records.h"

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

void EmfWriter::AppendRecord(std::uint32_t type, const QByteArray& payload) {
    QByteArray padded = payload;
    while (padded.size() % 4 != 0)
        padded.append('\0');
    Put32(records_, type);
    Put32(records_, std::uint32_t(8 + padded.size()));
    records_ += padded;
    ++recordCount_;
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

QByteArray EmfWriter::finish() {
    QByteArray eof;
    Put32(eof, 0);   // palette entries
    Put32(eof, 16);  // offset of the (absent) palette
    Put32(eof, 20);  // record size, repeated at the end
    AppendRecord(emr::Eof, eof);

    const std::uint32_t totalRecords = recordCount_ + 1;
    const std::uint32_t totalBytes = std::uint32_t(kHeaderSize + records_.size());
    QByteArray h;
    Put32(h, emr::Header);
    Put32(h, kHeaderSize);
    PutRect(h, QRect(QPoint(0, 0), device_));  // bounds, device pixels
    PutI32(h, 0);
    PutI32(h, 0);
    PutI32(h, int(std::lround(sizeMm_.width() * 100)));  // frame, 0.01 mm
    PutI32(h, int(std::lround(sizeMm_.height() * 100)));
    Put32(h, emr::kEmfSignature);
    Put32(h, kEmfVersion);
    Put32(h, totalBytes);
    Put32(h, totalRecords);
    Put16(h, std::uint16_t(highestHandle_ + 1));
    Put16(h, 0);
    Put32(h, 0);  // description length
    Put32(h, 0);  // description offset
    Put32(h, 0);  // palette entries
    PutI32(h, device_.width());
    PutI32(h, device_.height());
    PutI32(h, int(std::lround(sizeMm_.width())));
    PutI32(h, int(std::lround(sizeMm_.height())));
    Put32(h, 0);                                          // pixel format size
    Put32(h, 0);                                          // pixel format offset
    Put32(h, 0);                                          // OpenGL
    PutI32(h, int(std::lround(sizeMm_.width() * 1000)));  // micrometres
    PutI32(h, int(std::lround(sizeMm_.height() * 1000)));
    QByteArray out = h + records_;
    records_.clear();
    return out;
}

}  // namespace mf
