#include "metafile/emf/emf_decoder.h"

#include <array>
#include <iterator>

#include "metafile/emf/emf_records.h"
#include "metafile/gdi_constants.h"

namespace mf {

namespace {

constexpr std::size_t kRecordHead = 8;
constexpr std::uint32_t kMaxUserStyleEntries = 16;

// Per type: its name, and the bytes the player reads before it draws (0:
// the player leaves such records out, as comments, EMF+ among them,
// palette changes and colour management do not change the page).
struct RecordRule {
    const char* name;
    std::size_t playedSize;
};

constexpr RecordRule kRules[] = {
    {nullptr, 0},
    {"Header", 0},
    {"PolyBezier", 28},
    {"Polygon", 28},
    {"Polyline", 28},
    {"PolyBezierTo", 28},
    {"PolyLineTo", 28},
    {"PolyPolyline", 32},
    {"PolyPolygon", 32},
    {"SetWindowExtEx", 16},
    {"SetWindowOrgEx", 16},
    {"SetViewportExtEx", 16},
    {"SetViewportOrgEx", 16},
    {"SetBrushOrgEx", 0},
    {"Eof", 0},
    {"SetPixelV", 20},
    {"SetMapperFlags", 0},
    {"SetMapMode", 12},
    {"SetBkMode", 12},
    {"SetPolyFillMode", 12},
    {"SetRop2", 12},
    {"SetStretchBltMode", 12},
    {"SetTextAlign", 12},
    {"SetColorAdjustment", 0},
    {"SetTextColor", 12},
    {"SetBkColor", 12},
    {"OffsetClipRgn", 16},
    {"MoveToEx", 16},
    {"SetMetaRgn", 8},
    {"ExcludeClipRect", 24},
    {"IntersectClipRect", 24},
    {"ScaleViewportExtEx", 24},
    {"ScaleWindowExtEx", 24},
    {"SaveDc", 8},
    {"RestoreDc", 12},
    {"SetWorldTransform", 32},
    {"ModifyWorldTransform", 36},
    {"SelectObject", 12},
    {"CreatePen", 28},
    {"CreateBrushIndirect", 24},
    {"DeleteObject", 12},
    {"AngleArc", 28},
    {"Ellipse", 24},
    {"Rectangle", 24},
    {"RoundRect", 32},
    {"Arc", 40},
    {"Chord", 40},
    {"Pie", 40},
    {"SelectPalette", 12},
    {"CreatePalette", 16},
    {"SetPaletteEntries", 0},
    {"ResizePalette", 0},
    {"RealizePalette", 0},
    {"ExtFloodFill", 0},
    {"LineTo", 16},
    {"ArcTo", 40},
    {"PolyDraw", 8},
    {"SetArcDirection", 12},
    {"SetMiterLimit", 12},
    {"BeginPath", 8},
    {"EndPath", 8},
    {"CloseFigure", 8},
    {"FillPath", 8},
    {"StrokeAndFillPath", 8},
    {"StrokePath", 8},
    {"FlattenPath", 8},
    {"WidenPath", 8},
    {"SelectClipPath", 12},
    {"AbortPath", 8},
    {nullptr, 0},
    {"GdiComment", 0},
    {"FillRgn", 32},
    {"FrameRgn", 40},
    {"InvertRgn", 28},
    {"PaintRgn", 28},
    {"ExtSelectClipRgn", 16},
    {"BitBlt", 100},
    {"StretchBlt", 100},
    {"MaskBlt", 100},
    {"PlgBlt", 140},
    {"SetDiBitsToDevice", 76},
    {"StretchDiBits", 80},
    {"ExtCreateFontIndirectW", 104},
    {"ExtTextOutA", 76},
    {"ExtTextOutW", 76},
    {"PolyBezier16", 28},
    {"Polygon16", 28},
    {"Polyline16", 28},
    {"PolyBezierTo16", 28},
    {"PolylineTo16", 28},
    {"PolyPolyline16", 32},
    {"PolyPolygon16", 32},
    {"PolyDraw16", 8},
    {"CreateMonoBrush", 32},
    {"CreateDibPatternBrushPt", 32},
    {"ExtCreatePen", 52},
    {"PolyTextOutA", 40},
    {"PolyTextOutW", 40},
    {"SetIcmMode", 0},
    {"CreateColorSpace", 0},
    {"SetColorSpace", 0},
    {"DeleteColorSpace", 0},
    {"GlsRecord", 0},
    {"GlsBoundedRecord", 0},
    {"PixelFormat", 0},
    {"DrawEscape", 0},
    {"ExtEscape", 0},
    {nullptr, 0},
    {"SmallTextOut", 36},
    {"ForceUfiMapping", 0},
    {"NamedEscape", 0},
    {"ColorCorrectPalette", 0},
    {"SetIcmProfileA", 0},
    {"SetIcmProfileW", 0},
    {"AlphaBlend", 100},
    {"SetLayout", 0},
    {"TransparentBlt", 100},
    {nullptr, 0},
    {"GradientFill", 36},
    {"SetLinkedUfis", 0},
    {"SetTextJustification", 0},
    {"ColorMatchToTargetW", 0},
    {"CreateColorSpaceW", 0},
};

}  // namespace

bool EmfRecordWalker::Next(EmfRecordView* record) {
    if (done_ || !file_.has(at_, kRecordHead)) return false;
    const std::uint32_t type = file_.u32(at_);
    const std::uint32_t size = file_.u32(at_ + 4);
    if (size < kRecordHead || !file_.has(at_, size)) {
        done_ = damaged_ = true;
        damagedType_ = type;
        return false;
    }
    *record = EmfRecordView(type, file_.sub(at_, size));
    at_ += size;
    if (type == emr::Eof) done_ = true;
    return true;
}

RecordUse EmfRecordUse(std::uint32_t type, std::size_t size) {
    if (type >= std::size(kRules) || kRules[type].name == nullptr) return RecordUse::Unknown;
    const std::size_t needed = kRules[type].playedSize;
    if (needed == 0) return RecordUse::Unsupported;
    return size < needed ? RecordUse::Damaged : RecordUse::Played;
}

QPointF ReadPointL(const ByteReader& r, std::size_t off) {
    return QPointF(r.i32(off), r.i32(off + 4));
}

QPointF ReadPointS(const ByteReader& r, std::size_t off) {
    return QPointF(r.i16(off), r.i16(off + 2));
}

QRectF ReadRectL(const ByteReader& r, std::size_t off) {
    return QRectF(QPointF(r.i32(off), r.i32(off + 4)), QPointF(r.i32(off + 8), r.i32(off + 12)));
}

QTransform ReadXform(const ByteReader& r, std::size_t off) {
    return QTransform(r.f32(off), r.f32(off + 4), r.f32(off + 8), r.f32(off + 12), r.f32(off + 16),
                      r.f32(off + 20));
}

bool ReadPoints(const ByteReader& r, std::size_t off, std::uint32_t count, bool small,
                QPolygonF* out) {
    const std::size_t item = small ? 4 : 8;
    if (!r.hasArray(off, count, item)) return false;
    out->resize(qsizetype(count));
    for (std::uint32_t i = 0; i < count; ++i)
        (*out)[i] = small ? ReadPointS(r, off + i * item) : ReadPointL(r, off + i * item);
    return true;
}

bool ReadPolyPolygons(const ByteReader& r, bool small, std::vector<QPolygonF>* out) {
    constexpr std::size_t kCountsAt = 32;
    if (r.size() < kCountsAt) return false;
    const std::uint32_t polys = r.u32(24);
    const std::uint32_t total = r.u32(28);
    if (!r.hasArray(kCountsAt, polys, 4)) return false;
    const std::size_t pointsAt = kCountsAt + std::size_t(polys) * 4;
    QPolygonF all;
    if (!ReadPoints(r, pointsAt, total, small, &all)) return false;
    out->clear();
    out->reserve(polys);
    std::uint64_t used = 0;
    for (std::uint32_t i = 0; i < polys; ++i) {
        const std::uint32_t count = r.u32(kCountsAt + std::size_t(i) * 4);
        if (used + count > total) return false;
        out->push_back(all.mid(qsizetype(used), qsizetype(count)));
        used += count;
    }
    return true;
}

bool ReadEmrText(const ByteReader& r, std::size_t at, EmrText* out) {
    constexpr std::size_t kEmrTextBytes = 40;
    if (!r.has(at, kEmrTextBytes)) return false;
    out->reference = ReadPointL(r, at);
    out->chars = r.u32(at + 8);
    out->offString = r.u32(at + 12);
    out->options = r.u32(at + 16);
    out->rect.reset();
    // Without the rectangle the advances' offset moves up in its place.
    std::size_t dxField = at + 36;
    if (!(out->options & kEtoNoRect)) {
        const QRectF rect = ReadRectL(r, at + 20);
        if (!rect.isEmpty() || rect.width() != 0) out->rect = rect;
    } else {
        dxField = at + 20;
    }
    out->offDx = r.u32(dxField);
    out->dxHasY = (out->options & kEtoPdy) != 0;
    return true;
}

std::vector<double> ReadAdvances(const ByteReader& r, const EmrText& text) {
    std::vector<double> dx;
    const std::size_t count = std::size_t(text.chars) * (text.dxHasY ? 2 : 1);
    if (text.offDx == 0 || !r.hasArray(text.offDx, count, 4)) return dx;
    dx.resize(count);
    for (std::size_t i = 0; i < count; ++i)
        dx[i] = r.i32(text.offDx + i * 4);
    return dx;
}

// ExtCreatePen's refusals: a cosmetic pen is one pixel wide and solid-brushed,
// alternate dots are cosmetic only, a user style has 1..16 entries and no
// other style has any.
bool ExtPenAccepted(std::uint32_t style, std::uint32_t width, std::uint32_t brushStyle,
                    std::uint32_t styleEntries) {
    const std::uint32_t kind = style & kPsStyleMask;
    const bool geometric = (style & kPsGeometric) != 0;
    if (kind > kPsAlternate) return false;
    if (kind == kPsUserStyle) {
        if (styleEntries == 0 || styleEntries > kMaxUserStyleEntries) return false;
    } else if (styleEntries != 0) {
        return false;
    }
    if (geometric) return kind != kPsAlternate;
    return width == 1 && brushStyle == kBsSolid;
}

const char* EmfRecordName(std::uint32_t type) {
    return type < std::size(kRules) ? kRules[type].name : nullptr;
}

}  // namespace mf
