#include "metafile/convert/emf_to_wmf.h"

#include <QPainterPath>
#include <QPolygonF>
#include <QRegion>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <vector>

#include "metafile/dc/dc_state.h"
#include "metafile/emf/emf_decoder.h"
#include "metafile/emf/emf_document.h"
#include "metafile/emf/emf_records.h"
#include "metafile/wmf/wmf_records.h"
#include "metafile/wmf/wmf_text.h"
#include "metafile/wmf/wmf_writer.h"

namespace mf {

namespace {

using namespace wmf;

using EmfView = EmfRecordView;

// `n` bytes of a record from `at`; empty when they do not fit.
QByteArray Bytes(const ByteReader& r, std::size_t at, std::size_t n) {
    return r.has(at, n) ? QByteArray(reinterpret_cast<const char*>(r.data() + at), qsizetype(n))
                        : QByteArray();
}

// A WMF record counts points in 16 bits; a poly-polygon's total is kept
// within what a record of 32-bit size can hold.
constexpr std::uint32_t kMostPoints = 0xFFFF;
constexpr std::uint32_t kMostPolyPoints = 0xFFFFF;

int Clamp16(double v) {
    if (!std::isfinite(v)) return 0;
    return int(std::clamp(std::lround(v), -32768L, 32767L));
}

// What a WMF object slot holds; the kind decides which selection it replaces.
enum class Kind { kPen, kBrush, kFont, kOther };

struct FontInfo {
    QByteArray logFont16;  // the 18 fixed bytes of the WMF record
    QString face;
    std::uint8_t charset = 0;
};

class EmfToWmf {
public:
    EmfToWmf(const QByteArray& emf, int unitsPerInch) : emf_(emf), upi_(unitsPerInch) {}
    std::optional<QByteArray> Run(QString* why);

private:
    QPoint Out(QPointF logical) const { return OutDevice(ToReference(logical)); }
    QPointF ToReference(QPointF logical) const { return mapping_.toReference().map(logical); }
    QPoint OutDevice(QPointF d) const {
        return QPoint(Clamp16((d.x() - originPx_.x()) * kx_),
                      Clamp16((d.y() - originPx_.y()) * ky_));
    }
    double LenX(double v) const { return v * ScaleX() * kx_; }
    double LenY(double v) const { return v * ScaleY() * ky_; }
    // Reference-device pixels per logical unit along x and y: the page
    // scale times the length the world transform gives a unit.
    double ScaleX() const {
        const QTransform& w = mapping_.world();
        return std::abs(mapping_.page().m11()) * std::hypot(w.m11(), w.m12());
    }
    double ScaleY() const {
        const QTransform& w = mapping_.world();
        return std::abs(mapping_.page().m22()) * std::hypot(w.m21(), w.m22());
    }

    int NewSlot(Kind kind) {
        for (size_t i = 0; i < slots_.size(); ++i)
            if (!slots_[i].used) return Claim(int(i), kind);
        slots_.push_back({});
        return Claim(int(slots_.size() - 1), kind);
    }
    int Claim(int slot, Kind kind) {
        slots_[size_t(slot)] = {true, kind};
        maxSlots_ = std::max(maxSlots_, int(slots_.size()));
        return slot;
    }
    void FreeSlot(int slot) {
        out_.Add(kDeleteObject, {slot});
        slots_[size_t(slot)].used = false;
    }
    // Selects a slot; a stand-in made for a stock object goes once replaced.
    void Select(int slot, Kind kind);

    void Record(const EmfView& r);
    void CreatePen(const EmfView& r, bool extended);
    void CreateBrush(const EmfView& r);
    void CreatePatternBrush(const EmfView& r, bool mono);
    void CreateFont(const EmfView& r);
    void SelectObject(const EmfView& r);
    void DeleteObject(const EmfView& r);
    void Poly(const EmfView& r, bool small, std::uint16_t function, bool continues);
    void PolyPoly(const EmfView& r, bool small, bool polygon);
    void Bezier(const EmfView& r, bool small, bool continues);
    void Text(const EmfView& r, bool wide);
    void Blit(const EmfView& r);
    void StretchDiBits(const EmfView& r);
    void SetDiBitsToDevice(const EmfView& r);
    void Shape(const EmfView& r, std::uint16_t function);
    void PathFill(const EmfView& r, bool fill, bool stroke);
    void ClipPath(const EmfView& r);
    void ClipRegionData(const EmfView& r);
    void Clip(const QRegion& device, std::uint32_t mode);
    void EmitPolygons(const std::vector<QPolygonF>& polys, bool closed, bool device = false);
    QPolygonF ToDevice(const QPolygonF& logical) const {
        QPolygonF d;
        for (const QPointF& p : logical)
            d << ToReference(p);
        return d;
    }
    QByteArray PackedDib(const EmfView& r, std::uint32_t offInfo, std::uint32_t cbInfo,
                         std::uint32_t offBits, std::uint32_t cbBits) const;

    struct SlotState {
        bool used = false;
        Kind kind = Kind::kOther;
    };
    struct Saved {
        Mapping mapping;
        QPointF position;
    };

    const QByteArray& emf_;
    int upi_;
    WmfWriter out_;
    Mapping mapping_;
    std::vector<Saved> saved_;
    QPointF originPx_;
    QRectF reach_;  // device area a clip can matter in: the frame and as much around it
    double kx_ = 1, ky_ = 1;
    std::vector<SlotState> slots_;
    int maxSlots_ = 0;
    std::map<std::uint32_t, int> handles_;     // EMF handle -> WMF slot
    std::map<std::uint32_t, FontInfo> fonts_;  // EMF handle -> font
    int selected_[3] = {-1, -1, -1};           // pen, brush, font slot
    bool stockStandIn_[3] = {false, false, false};
    FontInfo currentFont_;
    QPointF position_;  // current position, logical
    bool inPath_ = false;
    bool winding_ = false;
    // Figures of the path being recorded, in device pixels: GDI maps each
    // point with the transform in force when it is added.
    std::vector<QPolygonF> path_;
    QPointF figureStart_;  // logical
};

void EmfToWmf::Select(int slot, Kind kind) {
    const int k = int(kind);
    out_.Add(kSelectObject, {slot});
    if (k < 3) {
        if (stockStandIn_[k] && selected_[k] >= 0 && selected_[k] != slot) FreeSlot(selected_[k]);
        selected_[k] = slot;
        stockStandIn_[k] = false;
    }
}

std::optional<QByteArray> EmfToWmf::Run(QString* why) {
    auto fail = [&](const char* text) -> std::optional<QByteArray> {
        if (why) *why = QString::fromLatin1(text);
        return std::nullopt;
    };
    if (upi_ < 1 || upi_ > 32767) return fail("units per inch outside 1..32767");
    // The header as the player reads it, so that the page saved maps as the
    // page shown (a frame taken from the bounds, a reference device made up).
    const std::optional<EmfDocument> doc = ReadEmf(emf_, why);
    if (!doc) return std::nullopt;
    const QRect frame = doc->frame;
    const double devX = doc->devicePixels.width(), devY = doc->devicePixels.height();
    const double mmX = doc->deviceMillimeters.width(), mmY = doc->deviceMillimeters.height();
    const double ppiX = devX * 25.4 / mmX, ppiY = devY * 25.4 / mmY;
    const double frameW = frame.right() - frame.left(), frameH = frame.bottom() - frame.top();
    if (frameW <= 0 || frameH <= 0) return fail("EMF frame is empty");
    // A frame too large for 16-bit coordinates in these units gets coarser
    // units instead of a clipped picture.
    const double largest = std::max(frameW, frameH);
    if (largest * upi_ / 2540.0 > 32767) upi_ = std::max(1, int(32767 * 2540.0 / largest));
    const int bboxW = Clamp16(frameW * upi_ / 2540.0), bboxH = Clamp16(frameH * upi_ / 2540.0);
    if (bboxW <= 0 || bboxH <= 0) return fail("picture too small for these units");

    mapping_ = Mapping(devX / mmX, devY / mmY);
    originPx_ = QPointF(frame.left() * ppiX / 2540.0, frame.top() * ppiY / 2540.0);
    const QSizeF framePx(frameW * ppiX / 2540.0, frameH * ppiY / 2540.0);
    reach_ = QRectF(originPx_ - QPointF(framePx.width(), framePx.height()), framePx * 3);
    kx_ = upi_ / ppiX;
    ky_ = upi_ / ppiY;

    out_.Add(kSetMapMode, {kMmAnisotropic});
    out_.Add(kSetWindowOrg, {0, 0});
    out_.Add(kSetWindowExt, {bboxH, bboxW});

    const ByteReader file(reinterpret_cast<const std::uint8_t*>(emf_.constData()),
                          std::min(std::size_t(emf_.size()), doc->end));
    EmfRecordWalker walk(file, doc->firstRecord);
    EmfView r;
    while (walk.Next(&r) && r.type != emr::Eof)
        Record(r);
    return out_.Finish(maxSlots_, QRect(0, 0, bboxW, bboxH), upi_);
}

void EmfToWmf::Record(const EmfView& r) {
    // What the player finds damaged is left out here too.
    if (EmfRecordUse(r.type, r.size()) == RecordUse::Damaged) return;
    auto value = [&](std::uint16_t function) {
        if (r.has(8, 4)) out_.Add(function, {int(r.u32(8) & 0xFFFF)});
    };
    auto colour = [&](std::uint16_t function) {
        if (r.has(8, 4)) out_.Add(function, WmfParams{}.dword(r.u32(8)));
    };
    switch (r.type) {
        case emr::SetMapMode:
            if (r.has(8, 4)) mapping_.SetMapMode(int(r.u32(8)));
            return;
        case emr::SetWindowOrgEx:
            if (r.has(8, 8)) mapping_.SetWindowOrg(r.i32(8), r.i32(12));
            return;
        case emr::SetViewportOrgEx:
            if (r.has(8, 8)) mapping_.SetViewportOrg(r.i32(8), r.i32(12));
            return;
        case emr::SetWindowExtEx:
            if (r.has(8, 8)) mapping_.SetWindowExt(r.i32(8), r.i32(12));
            return;
        case emr::SetViewportExtEx:
            if (r.has(8, 8)) mapping_.SetViewportExt(r.i32(8), r.i32(12));
            return;
        case emr::ScaleWindowExtEx:
        case emr::ScaleViewportExtEx: {
            if (!r.has(8, 16)) return;
            const double xn = r.i32(8), xd = r.i32(12), yn = r.i32(16), yd = r.i32(20);
            if (r.type == emr::ScaleWindowExtEx)
                mapping_.ScaleWindowExt(xn, xd, yn, yd);
            else
                mapping_.ScaleViewportExt(xn, xd, yn, yd);
            return;
        }
        case emr::SetWorldTransform:
        case emr::ModifyWorldTransform: {
            if (!r.has(8, 24)) return;
            const QTransform t = ReadXform(r, 8);
            if (r.type == emr::SetWorldTransform)
                mapping_.SetWorldTransform(t);
            else if (r.has(32, 4))
                mapping_.ModifyWorldTransform(t, int(r.u32(32)));
            return;
        }
        case emr::SaveDc:
            saved_.push_back({mapping_, position_});
            out_.Add(kSaveDc);
            return;
        case emr::RestoreDc: {
            const int rel = r.i32(8);
            const std::optional<std::size_t> keep = RestoredDepth(rel, saved_.size());
            if (!keep) return;
            mapping_ = saved_[*keep].mapping;
            position_ = saved_[*keep].position;
            saved_.resize(*keep);
            out_.Add(kRestoreDc, {rel});
            return;
        }

        case emr::SetBkMode:
            return value(kSetBkMode);
        case emr::SetPolyFillMode:
            return value(kSetPolyFillMode);
        case emr::SetRop2:
            return value(kSetRop2);
        case emr::SetStretchBltMode:
            return value(kSetStretchBltMode);
        case emr::SetTextAlign:
            return value(kSetTextAlign);
        case emr::SetTextColor:
            return colour(kSetTextColor);
        case emr::SetBkColor:
            return colour(kSetBkColor);

        case emr::CreatePen:
            return CreatePen(r, false);
        case emr::ExtCreatePen:
            return CreatePen(r, true);
        case emr::CreateBrushIndirect:
            return CreateBrush(r);
        case emr::CreateDibPatternBrushPt:
            return CreatePatternBrush(r, false);
        case emr::CreateMonoBrush:
            return CreatePatternBrush(r, true);
        case emr::ExtCreateFontIndirectW:
            return CreateFont(r);
        case emr::SelectObject:
            return SelectObject(r);
        case emr::DeleteObject:
            return DeleteObject(r);

        case emr::MoveToEx:
            if (!r.has(8, 8)) return;
            position_ = ReadPointL(r, 8);
            figureStart_ = position_;
            if (inPath_) return path_.push_back(ToDevice(QPolygonF{position_}));
            {
                const QPoint p = Out(position_);
                out_.Add(kMoveTo, {p.y(), p.x()});
            }
            return;
        case emr::LineTo: {
            if (!r.has(8, 8)) return;
            const QPointF to = ReadPointL(r, 8);
            if (inPath_) {
                if (path_.empty()) path_.push_back(ToDevice(QPolygonF{position_}));
                path_.back() << ToReference(to);
            } else {
                const QPoint p = Out(to);
                out_.Add(kLineTo, {p.y(), p.x()});
            }
            position_ = to;
            return;
        }
        case emr::Rectangle:
            return Shape(r, kRectangle);
        case emr::Ellipse:
            return Shape(r, kEllipse);
        case emr::RoundRect:
            return Shape(r, kRoundRect);
        case emr::Arc:
            return Shape(r, kArc);
        case emr::Chord:
            return Shape(r, kChord);
        case emr::Pie:
            return Shape(r, kPie);
        case emr::Polygon:
            return Poly(r, false, kPolygon, false);
        case emr::Polygon16:
            return Poly(r, true, kPolygon, false);
        case emr::Polyline:
            return Poly(r, false, kPolyline, false);
        case emr::Polyline16:
            return Poly(r, true, kPolyline, false);
        case emr::PolyLineTo:
            return Poly(r, false, kPolyline, true);
        case emr::PolylineTo16:
            return Poly(r, true, kPolyline, true);
        case emr::PolyPolygon:
            return PolyPoly(r, false, true);
        case emr::PolyPolygon16:
            return PolyPoly(r, true, true);
        case emr::PolyPolyline:
            return PolyPoly(r, false, false);
        case emr::PolyPolyline16:
            return PolyPoly(r, true, false);
        case emr::PolyBezier:
            return Bezier(r, false, false);
        case emr::PolyBezier16:
            return Bezier(r, true, false);
        case emr::PolyBezierTo:
            return Bezier(r, false, true);
        case emr::PolyBezierTo16:
            return Bezier(r, true, true);
        case emr::SetPixelV: {
            if (!r.has(8, 12)) return;
            const QPoint p = Out(ReadPointL(r, 8));
            out_.Add(kSetPixel, WmfParams{}.dword(r.u32(16)).word(p.y()).word(p.x()));
            return;
        }
        case emr::IntersectClipRect:
        case emr::ExcludeClipRect: {
            if (!r.has(8, 16)) return;
            const QPoint a = Out(ReadPointL(r, 8)), b = Out(ReadPointL(r, 16));
            out_.Add(r.type == emr::IntersectClipRect ? kIntersectClipRect : kExcludeClipRect,
                     {std::max(a.y(), b.y()), std::max(a.x(), b.x()), std::min(a.y(), b.y()),
                      std::min(a.x(), b.x())});
            return;
        }

        case emr::ExtTextOutW:
            return Text(r, true);
        case emr::ExtTextOutA:
            return Text(r, false);
        case emr::BitBlt:
        case emr::StretchBlt:
            return Blit(r);
        case emr::StretchDiBits:
            return StretchDiBits(r);
        case emr::SetDiBitsToDevice:
            return SetDiBitsToDevice(r);

        case emr::BeginPath:
            inPath_ = true;
            path_.clear();
            return;
        case emr::CloseFigure:
            if (inPath_ && !path_.empty() && !path_.back().isEmpty()) {
                path_.back() << path_.back().first();
                position_ = figureStart_;
                path_.push_back(ToDevice(QPolygonF{position_}));
            }
            return;
        case emr::EndPath:
            inPath_ = false;
            return;
        case emr::AbortPath:
            inPath_ = false;
            path_.clear();
            return;
        case emr::FillPath:
            return PathFill(r, true, false);
        case emr::StrokePath:
            return PathFill(r, false, true);
        case emr::StrokeAndFillPath:
            return PathFill(r, true, true);
        case emr::SelectClipPath:
            return ClipPath(r);
        case emr::ExtSelectClipRgn:
            return ClipRegionData(r);
        default:
            return;
    }
}

void EmfToWmf::CreatePen(const EmfView& r, bool extended) {
    const std::uint32_t handle = r.u32(8);
    std::uint32_t style, colour;
    double width;
    if (!extended) {
        // ihPen, style, width (POINTL), colour
        if (!r.has(8, 20)) return;
        style = r.u32(12);
        width = r.i32(16);
        colour = r.u32(24);
    } else {
        // ihPen, offBmi, cbBmi, offBits, cbBits, style, width, brush style, colour
        if (!r.has(8, 40)) return;
        style = r.u32(28);
        width = r.u32(32);
        colour = r.u32(40);
        // The player's rules: PS_NULL is a null pen whatever else it says;
        // a pen ExtCreatePen refuses leaves the handle empty.
        if ((style & kPsStyleMask) == kPsNull) {
            width = 0;
        } else if (!ExtPenAccepted(style, r.u32(32), r.u32(36), r.u32(48))) {
            return;
        }
        if (r.u32(36) == kBsNull) style = kPsNull;
        // A cosmetic pen is one pixel wide whatever the mapping: WMF width 0.
        if ((style & kPsGeometric) == 0) width = 0;
    }
    if (handles_.count(handle)) return;
    const int slot = NewSlot(Kind::kPen);
    handles_[handle] = slot;
    const int w = width <= 0 ? 0 : std::max(1, Clamp16(LenX(width)));
    // Cosmetic/geometric and the line-style array have no WMF form.
    out_.Add(kCreatePenIndirect, WmfParams{int(style & 0xFFFF), w, 0}.dword(colour));
}

void EmfToWmf::CreateBrush(const EmfView& r) {
    // ihBrush, style, colour, hatch
    if (!r.has(8, 16)) return;
    const std::uint32_t handle = r.u32(8);
    if (handles_.count(handle)) return;
    const int slot = NewSlot(Kind::kBrush);
    handles_[handle] = slot;
    out_.Add(kCreateBrushIndirect, WmfParams{int(r.u32(12))}.dword(r.u32(16)).word(int(r.u32(20))));
}

QByteArray EmfToWmf::PackedDib(const EmfView& r, std::uint32_t offInfo, std::uint32_t cbInfo,
                               std::uint32_t offBits, std::uint32_t cbBits) const {
    if (cbInfo < 12 || !r.has(offInfo, cbInfo) || !r.has(offBits, cbBits)) return {};
    return Bytes(r, offInfo, cbInfo) + Bytes(r, offBits, cbBits);
}

void EmfToWmf::CreatePatternBrush(const EmfView& r, bool mono) {
    // ihBrush, usage, offBmi, cbBmi, offBits, cbBits
    if (!r.has(8, 24)) return;
    const std::uint32_t handle = r.u32(8);
    const QByteArray dib = PackedDib(r, r.u32(16), r.u32(20), r.u32(24), r.u32(28));
    if (dib.isEmpty() || handles_.count(handle)) return;
    const int slot = NewSlot(Kind::kBrush);
    handles_[handle] = slot;
    const int style = mono ? int(kBsPattern) : 5;  // BS_DIBPATTERN
    out_.Add(kDibCreatePatternBrush,
             WmfParams{style, mono ? 0 : int(r.u32(12) & 0xFFFF)}.bytes(dib));
}

void EmfToWmf::CreateFont(const EmfView& r) {
    // ihFont, LOGFONTW: height, width, escapement, orientation, weight, eight
    // bytes, 32 UTF-16 units of face name
    if (!r.has(8, 4 + 92)) return;
    const std::uint32_t handle = r.u32(8);
    if (handles_.count(handle)) return;
    FontInfo font;
    font.charset = r.u8(12 + 23);
    for (int i = 0; i < 32; ++i) {
        const char16_t c = char16_t(r.i16(12 + 28 + 2 * i));
        if (!c) break;
        font.face.append(QChar(c));
    }
    WmfParams fixed;
    fixed.word(Clamp16(LenY(r.i32(12)))).word(Clamp16(LenX(r.i32(16))));
    fixed.word(Clamp16(r.i32(20))).word(Clamp16(r.i32(24))).word(Clamp16(r.i32(28)));
    fixed.bytes(Bytes(r, 12 + 20, 8));
    font.logFont16 = fixed.data();
    const int slot = NewSlot(Kind::kFont);
    handles_[handle] = slot;
    fonts_[handle] = font;
    QByteArray face = EncodeText(font.face, font.charset).left(31);
    face.append(QByteArray(32 - face.size(), '\0'));
    out_.Add(kCreateFontIndirect, WmfParams{}.bytes(font.logFont16).bytes(face));
}

void EmfToWmf::SelectObject(const EmfView& r) {
    if (!r.has(8, 4)) return;
    const std::uint32_t handle = r.u32(8);
    if (handle & kStockObject) {
        // WMF has no stock objects: an equivalent object stands in.
        const std::uint32_t stock = handle & ~kStockObject;
        static constexpr std::uint32_t kBrushColours[] = {0xFFFFFF, 0xC0C0C0, 0x808080, 0x404040,
                                                          0};
        int slot = -1;
        Kind kind = Kind::kOther;
        if (stock <= kNullBrush) {
            kind = Kind::kBrush;
            slot = NewSlot(kind);
            out_.Add(kCreateBrushIndirect,
                     WmfParams{stock == kNullBrush ? int(kBsNull) : int(kBsSolid)}
                         .dword(stock < kNullBrush ? kBrushColours[stock] : 0)
                         .word(0));
        } else if (stock <= kNullPen) {
            kind = Kind::kPen;
            slot = NewSlot(kind);
            out_.Add(kCreatePenIndirect,
                     WmfParams{int(stock == kNullPen ? kPsNull : kPsSolid), 0, 0}.dword(
                         stock == kWhitePen ? 0xFFFFFF : 0));
        } else if (stock >= kOemFixedFont && stock <= kDefaultGuiFont && stock != kDefaultPalette) {
            kind = Kind::kFont;
            slot = NewSlot(kind);
            currentFont_ = FontInfo{};
            currentFont_.face = QStringLiteral("System");
            WmfParams f{0, 0, 0, 0, 400};
            f.bytes(QByteArray(8, '\0'));
            currentFont_.logFont16 = f.data();
            out_.Add(kCreateFontIndirect, f.bytes(QByteArray("System").leftJustified(32, '\0')));
        }
        if (slot < 0) return;
        Select(slot, kind);
        stockStandIn_[int(kind)] = true;
        return;
    }
    const auto it = handles_.find(handle);
    if (it == handles_.end()) return;
    const Kind kind = slots_[size_t(it->second)].kind;
    Select(it->second, kind);
    if (kind == Kind::kFont) currentFont_ = fonts_[handle];
}

void EmfToWmf::DeleteObject(const EmfView& r) {
    if (!r.has(8, 4)) return;
    const auto it = handles_.find(r.u32(8));
    if (it == handles_.end()) return;
    const int slot = it->second;
    handles_.erase(it);
    fonts_.erase(r.u32(8));
    for (int k = 0; k < 3; ++k)
        if (selected_[k] == slot) selected_[k] = -1;
    FreeSlot(slot);
}

void EmfToWmf::EmitPolygons(const std::vector<QPolygonF>& polys, bool closed, bool device) {
    std::vector<std::vector<QPoint>> mapped;
    for (const QPolygonF& poly : polys) {
        if (poly.size() < 2) continue;
        std::vector<QPoint> pts;
        for (const QPointF& p : poly)
            pts.push_back(device ? OutDevice(p) : Out(p));
        mapped.push_back(std::move(pts));
    }
    if (mapped.empty()) return;
    if (closed && mapped.size() > 1) {
        WmfParams p{int(mapped.size())};
        for (const auto& pts : mapped)
            p.word(int(pts.size()));
        for (const auto& pts : mapped)
            for (const QPoint& q : pts)
                p.word(q.x()).word(q.y());
        out_.Add(kPolyPolygon, p);
        return;
    }
    for (const auto& pts : mapped) {
        WmfParams p{int(pts.size())};
        for (const QPoint& q : pts)
            p.word(q.x()).word(q.y());
        out_.Add(closed ? kPolygon : kPolyline, p);
    }
}

void EmfToWmf::Poly(const EmfView& r, bool small, std::uint16_t function, bool continues) {
    // bounds, count, points
    QPolygonF points;
    const std::uint32_t n = r.u32(24);
    if (n == 0 || n > kMostPoints || !ReadPoints(r, 28, n, small, &points)) return;
    QPolygonF poly;
    if (continues) poly << position_;
    poly << points;
    if (continues) position_ = poly.last();
    if (inPath_) {
        if (continues && !path_.empty())
            path_.back() << ToDevice(poly.mid(1));
        else
            path_.push_back(ToDevice(poly));
        return;
    }
    EmitPolygons({poly}, function == kPolygon);
}

void EmfToWmf::PolyPoly(const EmfView& r, bool small, bool polygon) {
    // bounds, polygon count, point count, counts, points
    const std::uint32_t polys = r.u32(24), total = r.u32(28);
    if (polys == 0 || polys > kMostPoints || total > kMostPolyPoints) return;
    std::vector<QPolygonF> out;
    if (!ReadPolyPolygons(r, small, &out)) return;
    if (inPath_) {
        for (const QPolygonF& poly : out)
            path_.push_back(ToDevice(poly));
        return;
    }
    EmitPolygons(out, polygon);
}

void EmfToWmf::Bezier(const EmfView& r, bool small, bool continues) {
    QPolygonF points;
    const std::uint32_t n = r.u32(24);
    if (n == 0 || n > kMostPoints || !ReadPoints(r, 28, n, small, &points)) return;
    std::vector<QPointF> pts;
    if (continues) pts.push_back(position_);
    pts.insert(pts.end(), points.begin(), points.end());
    // Flattened: WMF has no curves.
    QPainterPath path(pts[0]);
    for (size_t i = 1; i + 2 < pts.size(); i += 3)
        path.cubicTo(pts[i], pts[i + 1], pts[i + 2]);
    QPolygonF poly = path.toSubpathPolygons().value(0, QPolygonF{pts[0]});
    if (continues) position_ = poly.last();
    if (inPath_) {
        if (continues && !path_.empty())
            path_.back() << ToDevice(poly.mid(1));
        else
            path_.push_back(ToDevice(poly));
        return;
    }
    EmitPolygons({poly}, false);
}

void EmfToWmf::PathFill(const EmfView&, bool fill, bool stroke) {
    std::vector<QPolygonF> figures;
    for (const QPolygonF& f : path_)
        if (f.size() >= 2) figures.push_back(f);
    path_.clear();
    if (figures.empty()) return;
    if (fill && !stroke) {
        // Fill without an outline: a null pen stands in for the drawing.
        const int pen = NewSlot(Kind::kOther);
        out_.Add(kCreatePenIndirect, WmfParams{5, 0, 0}.dword(0));
        out_.Add(kSaveDc);
        out_.Add(kSelectObject, {pen});
        EmitPolygons(figures, true, true);
        out_.Add(kRestoreDc, {-1});
        FreeSlot(pen);
        return;
    }
    EmitPolygons(figures, fill, true);
}

// WMF clips only by rectangles in its logical units (its region records are
// read in the player's device units), so a region becomes its bounding
// rectangle intersected and the rest of that rectangle excluded, band by band
// at the reference device's pixels.
void EmfToWmf::Clip(const QRegion& device, std::uint32_t mode) {
    constexpr int kMostRects = 4000;
    auto toWmf = [&](const QRect& r) {
        const int l = Clamp16((r.left() - originPx_.x()) * kx_);
        const int t = Clamp16((r.top() - originPx_.y()) * ky_);
        const int rr = Clamp16((r.right() + 1 - originPx_.x()) * kx_);
        const int b = Clamp16((r.bottom() + 1 - originPx_.y()) * ky_);
        return WmfParams{b, rr, t, l};
    };
    if (mode == kRgnCopy) out_.Add(kSelectClipRegion, {0});  // no region: clipping ends
    if (mode == kRgnDiff) {
        int n = 0;
        for (const QRect& r : device) {
            if (++n > kMostRects) break;
            out_.Add(kExcludeClipRect, toWmf(r));
        }
        return;
    }
    if (mode != kRgnAnd && mode != kRgnCopy) return;  // union and xor have no rectangle form
    const QRect bounds = device.boundingRect();
    if (device.isEmpty()) {
        out_.Add(kIntersectClipRect, {0, 0, 0, 0});
        return;
    }
    out_.Add(kIntersectClipRect, toWmf(bounds));
    const QRegion rest = QRegion(bounds) - device;
    if (rest.rectCount() > kMostRects) return;
    for (const QRect& r : rest)
        out_.Add(kExcludeClipRect, toWmf(r));
}

void EmfToWmf::ClipPath(const EmfView& r) {
    // Without a path GDI refuses the call and the clip stays.
    if (path_.empty()) return;
    QRegion region;
    for (const QPolygonF& figure : path_) {
        if (figure.size() < 3) continue;
        QPolygon device;
        // Kept near the page: a region far larger only costs time.
        for (const QPointF& p : figure)
            device << QPoint(int(std::lround(std::clamp(p.x(), reach_.left(), reach_.right()))),
                             int(std::lround(std::clamp(p.y(), reach_.top(), reach_.bottom()))));
        const QRegion part(device, winding_ ? Qt::WindingFill : Qt::OddEvenFill);
        region = winding_ ? region.united(part) : region.xored(part);
    }
    path_.clear();
    Clip(region, r.u32(8));
}

void EmfToWmf::ClipRegionData(const EmfView& r) {
    // cbRgnData, mode, RGNDATA (32-byte header, then rectangles) in device units
    if (!r.has(8, 8)) return;
    const std::uint32_t bytes = r.u32(8), mode = r.u32(12);
    if (bytes < 32 || !r.has(16, bytes)) {
        if (mode == kRgnCopy) out_.Add(kSelectClipRegion, {0});
        return;
    }
    // Each rectangle is a union; past a few thousand the cost would grow too fast.
    const std::uint32_t count = std::min({r.u32(24), (bytes - 32) / 16, 5000u});
    QRegion region;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t at = 48 + 16 * i;
        const QRect rect(QPoint(r.i32(at), r.i32(at + 4)),
                         QPoint(r.i32(at + 8) - 1, r.i32(at + 12) - 1));
        if (rect.isValid()) region += rect;
    }
    Clip(region, mode);
}

void EmfToWmf::Shape(const EmfView& r, std::uint16_t function) {
    const bool arc = function == kArc || function == kChord || function == kPie;
    if (!r.has(8, arc ? 32 : function == kRoundRect ? 24 : 16)) return;
    if (inPath_) {
        // Inside a path bracket a shape adds a closed figure instead of drawing.
        const QRectF box = ReadRectL(r, 8).normalized();
        QPainterPath shape;
        if (function == kRectangle)
            shape.addRect(box);
        else if (function == kEllipse)
            shape.addEllipse(box);
        else if (function == kRoundRect)
            shape.addRoundedRect(box, r.i32(24) / 2.0, r.i32(28) / 2.0);
        for (const QPolygonF& figure : shape.toSubpathPolygons())
            path_.push_back(ToDevice(figure));
        return;
    }
    const QPoint a = Out(QPointF(r.i32(8), r.i32(12))), b = Out(QPointF(r.i32(16), r.i32(20)));
    WmfParams p;
    if (arc) {
        const QPoint s = Out(QPointF(r.i32(24), r.i32(28))), e = Out(QPointF(r.i32(32), r.i32(36)));
        p.word(e.y()).word(e.x()).word(s.y()).word(s.x());
    } else if (function == kRoundRect) {
        p.word(Clamp16(LenY(r.i32(28)))).word(Clamp16(LenX(r.i32(24))));
    }
    p.word(b.y()).word(b.x()).word(a.y()).word(a.x());
    out_.Add(function, p);
}

void EmfToWmf::Text(const EmfView& r, bool wide) {
    // bounds, graphics mode, scales, then the EMRTEXT
    EmrText t;
    if (!ReadEmrText(r, 36, &t)) return;
    const QPointF ref = t.reference;
    const std::uint32_t chars = t.chars, offString = t.offString;
    // A rectangle the record leaves out is neither filled nor clipped to.
    const std::uint32_t options =
        t.rect ? t.options : t.options & ~(kEtoOpaque | kEtoClipped | kEtoNoRect);
    if (chars > 0x7FFF || !r.has(offString, std::uint64_t(chars) * (wide ? 2 : 1))) return;
    QString text;
    QByteArray narrow;
    if (wide) {
        for (std::uint32_t i = 0; i < chars; ++i)
            text.append(QChar(char16_t(r.i16(offString + 2 * i))));
    } else {
        narrow = Bytes(r, offString, chars);
        text = DecodeText(narrow, currentFont_.charset).text;
    }
    // WMF keeps the horizontal advances only.
    std::vector<double> dx = ReadAdvances(r, t);
    if (t.dxHasY) {
        for (std::size_t i = 0; 2 * i < dx.size(); ++i)
            dx[i] = dx[2 * i];
        dx.resize(dx.size() / 2);
    }

    // Text a Latin font's code page cannot hold (Japanese in a DEFAULT_CHARSET
    // font, as Windows with code page 932 writes it) goes out with a
    // Shift-JIS copy of the font.
    std::uint8_t charset = currentFont_.charset;
    auto holds = [&](std::uint8_t cs) { return DecodeText(EncodeText(text, cs), cs).text == text; };
    const bool shiftJisCopy = (charset == kAnsiCharset || charset == kDefaultCharset) &&
                              !holds(charset) && holds(kShiftJisCharset);
    if (shiftJisCopy) charset = kShiftJisCharset;

    // The bytes in the code page; advances go to each character's first
    // byte, kept cumulative so that rounding does not drift.
    QByteArray bytes;
    std::vector<int> byteDx;
    double sum = 0;
    int placed = 0;
    const double scale = ScaleX() * kx_;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype len = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QByteArray b = EncodeText(text.mid(i, len), charset);
        bytes += b;
        if (!dx.empty()) {
            for (qsizetype k = 0; k < len && size_t(i + k) < dx.size(); ++k)
                sum += dx[size_t(i + k)];
            const int pos = Clamp16(sum * scale);
            byteDx.push_back(pos - placed);
            placed = pos;
            for (qsizetype k = 1; k < b.size(); ++k)
                byteDx.push_back(0);
        }
        i += len - 1;
    }
    if (bytes.size() > 0x7FFF) return;
    const QPoint at = Out(ref);
    WmfParams p{at.y(), at.x(), int(bytes.size()), int(options & ~kEtoPdy & 0xFFFF)};
    if (options & (kEtoOpaque | kEtoClipped)) {
        const QPoint a = Out(t.rect->topLeft()), b = Out(t.rect->bottomRight());
        p.word(std::min(a.x(), b.x())).word(std::min(a.y(), b.y()));
        p.word(std::max(a.x(), b.x())).word(std::max(a.y(), b.y()));
    }
    p.bytes(bytes);
    for (int d : byteDx)
        p.word(d);
    if (!shiftJisCopy) return out_.Add(kExtTextOut, p);

    QByteArray logFont = currentFont_.logFont16;
    if (logFont.size() != 18)
        logFont = WmfParams{0, 0, 0, 0, 400}.bytes(QByteArray(8, '\0')).data();
    logFont[13] = char(kShiftJisCharset);
    QByteArray face = EncodeText(currentFont_.face, kShiftJisCharset).left(31);
    face.append(QByteArray(32 - face.size(), '\0'));
    const int slot = NewSlot(Kind::kOther);
    out_.Add(kCreateFontIndirect, WmfParams{}.bytes(logFont).bytes(face));
    out_.Add(kSaveDc);
    out_.Add(kSelectObject, {slot});
    out_.Add(kExtTextOut, p);
    out_.Add(kRestoreDc, {-1});
    FreeSlot(slot);
}

void EmfToWmf::Blit(const EmfView& r) {
    const bool stretch = r.type == emr::StretchBlt;
    if (!r.has(8, stretch ? 100 : 92)) return;
    const QPoint a = Out(QPointF(r.i32(24), r.i32(28)));
    const QPoint b = Out(QPointF(r.i32(24) + r.i32(32), r.i32(28) + r.i32(36)));
    const std::uint32_t rop = r.u32(40);
    const QByteArray dib = PackedDib(r, r.u32(84), r.u32(88), r.u32(92), r.u32(96));
    if (dib.isEmpty()) {
        out_.Add(
            kPatBlt,
            WmfParams{}.dword(rop).word(b.y() - a.y()).word(b.x() - a.x()).word(a.y()).word(a.x()));
        return;
    }
    const int srcW = stretch ? r.i32(100) : r.i32(32), srcH = stretch ? r.i32(104) : r.i32(36);
    out_.Add(kDibStretchBlt, WmfParams{}
                                 .dword(rop)
                                 .word(srcH)
                                 .word(srcW)
                                 .word(r.i32(48))
                                 .word(r.i32(44))
                                 .word(b.y() - a.y())
                                 .word(b.x() - a.x())
                                 .word(a.y())
                                 .word(a.x())
                                 .bytes(dib));
}

void EmfToWmf::StretchDiBits(const EmfView& r) {
    // bounds, xDest, yDest, xSrc, ySrc, cxSrc, cySrc, offBmi, cbBmi, offBits,
    // cbBits, usage, rop, cxDest, cyDest
    if (!r.has(8, 72)) return;
    const QByteArray dib = PackedDib(r, r.u32(48), r.u32(52), r.u32(56), r.u32(60));
    if (dib.isEmpty()) return;
    const QPoint a = Out(QPointF(r.i32(24), r.i32(28)));
    const QPoint b = Out(QPointF(r.i32(24) + r.i32(72), r.i32(28) + r.i32(76)));
    out_.Add(kStretchDib, WmfParams{}
                              .dword(r.u32(68))
                              .word(int(r.u32(64)))
                              .word(r.i32(44))
                              .word(r.i32(40))
                              .word(r.i32(36))
                              .word(r.i32(32))
                              .word(b.y() - a.y())
                              .word(b.x() - a.x())
                              .word(a.y())
                              .word(a.x())
                              .bytes(dib));
}

void EmfToWmf::SetDiBitsToDevice(const EmfView& r) {
    // bounds, xDest, yDest, xSrc, ySrc, cx, cy, offBmi, cbBmi, offBits,
    // cbBits, usage, first scan, scan count. The size is in device pixels;
    // only whole bitmaps are kept (bands of scan lines are rare).
    if (!r.has(8, 68) || r.u32(68) != 0) return;
    const QByteArray dib = PackedDib(r, r.u32(48), r.u32(52), r.u32(56), r.u32(60));
    if (dib.isEmpty()) return;
    const QPoint a = Out(QPointF(r.i32(24), r.i32(28)));
    const int w = Clamp16(r.i32(40) * kx_), h = Clamp16(r.i32(44) * ky_);
    out_.Add(kStretchDib, WmfParams{}
                              .dword(kSrcCopy)
                              .word(int(r.u32(64)))
                              .word(r.i32(44))
                              .word(r.i32(40))
                              .word(r.i32(36))
                              .word(r.i32(32))
                              .word(h)
                              .word(w)
                              .word(a.y())
                              .word(a.x())
                              .bytes(dib));
}

}  // namespace

std::optional<QByteArray> ConvertEmfToPlaceableWmf(const QByteArray& emf, int unitsPerInch,
                                                   QString* why) {
    EmfToWmf converter(emf, unitsPerInch);
    return converter.Run(why);
}

}  // namespace mf
