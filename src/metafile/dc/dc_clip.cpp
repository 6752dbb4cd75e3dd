// Path brackets, clipping regions and region drawing.
#include <QPainterPathStroker>
#include <cmath>

#include "metafile/dc/device_context.h"
#include "metafile/dc/path_rect.h"

namespace mf {

namespace {

constexpr int kMaxClipElements = 200000;
constexpr int kRegionAfterElements = 64;
// Regions hold sixteenths of a device pixel, so that thin clip rectangles of
// a page drawn small keep their size.
constexpr double kRegionScale = 16;

QPainterPath RectPath(const QRectF& r) {
    QPainterPath p;
    p.addRect(r);
    return p;
}

}  // namespace

void DeviceContext::BeginPath() {
    inPath_ = true;
    pathReady_ = false;
    path_ = QPainterPath();
}

void DeviceContext::EndPath() {
    if (!inPath_) return;
    inPath_ = false;
    pathReady_ = true;
}

void DeviceContext::CloseFigure() {
    if (inPath_) path_.closeSubpath();
}

void DeviceContext::AbortPath() {
    inPath_ = false;
    pathReady_ = false;
    path_ = QPainterPath();
}

void DeviceContext::FillPath() {
    if (!pathReady_) return;
    QPainterPath p = path_;
    p.setFillRule(st_.polyFillMode == kAlternate ? Qt::OddEvenFill : Qt::WindingFill);
    FillDevice(p, st_.brush);
    AbortPath();
}

void DeviceContext::StrokePath() {
    if (!pathReady_) return;
    StrokeDevice(path_);
    AbortPath();
}

void DeviceContext::StrokeAndFillPath() {
    if (!pathReady_) return;
    QPainterPath p = path_;
    p.setFillRule(st_.polyFillMode == kAlternate ? Qt::OddEvenFill : Qt::WindingFill);
    FillDevice(p, st_.brush);
    StrokeDevice(path_);
    AbortPath();
}

void DeviceContext::FlattenPath() {
    if (!pathReady_) return;
    QPainterPath flat;
    for (const QPolygonF& poly : path_.toSubpathPolygons()) {
        flat.addPolygon(poly);
    }
    path_ = flat;
}

void DeviceContext::WidenPath() {
    if (!pathReady_) return;
    QPen pen;
    if (!PenFor(&pen, path_)) return;
    QPainterPathStroker stroker(pen);
    path_ = stroker.createStroke(path_);
}

void DeviceContext::SelectClipPath(int mode) {
    if (!pathReady_) return;
    QPainterPath p = path_;
    p.setFillRule(st_.polyFillMode == kAlternate ? Qt::OddEvenFill : Qt::WindingFill);
    CombineClip(p, mode);
    AbortPath();
}

std::optional<QPainterPath> DeviceContext::effectiveClip() const {
    std::optional<QPainterPath> clip = st_.clip;
    if (st_.clipRegion) {
        QPainterPath p;
        p.addRegion(*st_.clipRegion);
        clip = QTransform::fromScale(1 / kRegionScale, 1 / kRegionScale).map(p);
    }
    if (!st_.metaClip) return clip;
    if (!clip) return st_.metaClip;
    return clip->intersected(*st_.metaClip);
}

void DeviceContext::ApplyClip() {
    clipDirty_ = false;
    std::optional<QPainterPath> clip = effectiveClip();
    if (clipSent_ && clip.has_value() == lastClipSent_.has_value() &&
        (!clip || *clip == *lastClipSent_))
        return;
    out_.SetClip(clip);
    lastClipSent_ = std::move(clip);
    clipSent_ = true;
}

DrawOutput& DeviceContext::out() {
    if (clipDirty_ && !collecting_) ApplyClip();
    return out_;
}

void DeviceContext::SetClip(std::optional<QPainterPath> clip) {
    // A path grown beyond reason by many region operations is replaced by
    // its bounds rather than slowing every later operation down.
    if (clip && clip->elementCount() > kMaxClipElements) {
        QPainterPath bounds;
        bounds.addRect(clip->boundingRect());
        clip = bounds;
    }
    st_.clip = std::move(clip);
    st_.clipRegion.reset();
    clipDirty_ = true;
}

void DeviceContext::SetClipRegion(const QRegion& region) {
    st_.clipRegion = region;
    st_.clip.reset();
    clipDirty_ = true;
}

namespace {

// A path made only of axis-aligned rectangles, as a region of whole device
// pixels (GDI's regions are whole pixels too).
std::optional<QRegion> RectsToRegion(const QPainterPath& path) {
    QRegion region;
    const int n = path.elementCount();
    if (n == 0 || n % 5 != 0) return std::nullopt;
    for (int i = 0; i < n; i += 5) {
        QPainterPath one;
        one.moveTo(path.elementAt(i));
        for (int k = 1; k < 5; ++k) {
            const QPainterPath::Element e = path.elementAt(i + k);
            if (e.type != QPainterPath::LineToElement) return std::nullopt;
            one.lineTo(e);
        }
        const auto rect = PathAsRect(one);
        if (!rect) return std::nullopt;
        const QRectF r = rect->intersected(QRectF(-1e7, -1e7, 2e7, 2e7));
        const QPoint tl(int(std::lround(r.left() * kRegionScale)),
                        int(std::lround(r.top() * kRegionScale)));
        const QPoint br(int(std::lround(r.right() * kRegionScale)),
                        int(std::lround(r.bottom() * kRegionScale)));
        if (br.x() > tl.x() && br.y() > tl.y()) region += QRect(tl, br - QPoint(1, 1));
    }
    return region;
}

// A path whose edges all run along the axes (what subtracting rectangles
// from rectangles leaves), as a region of the same area.
std::optional<QRegion> RectilinearToRegion(const QPainterPath& path) {
    const int n = path.elementCount();
    QPointF last;
    for (int i = 0; i < n; ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.type == QPainterPath::CurveToElement || e.type == QPainterPath::CurveToDataElement)
            return std::nullopt;
        const QPointF p(e.x, e.y);
        if (!std::isfinite(p.x()) || !std::isfinite(p.y()) || std::fabs(p.x()) > 1e7 ||
            std::fabs(p.y()) > 1e7)
            return std::nullopt;
        if (e.type == QPainterPath::LineToElement && p.x() != last.x() && p.y() != last.y())
            return std::nullopt;
        last = p;
    }
    const QPolygonF fill =
        QTransform::fromScale(kRegionScale, kRegionScale).map(path.toFillPolygon());
    return QRegion(fill.toPolygon(), path.fillRule());
}

}  // namespace

void DeviceContext::CombineClip(const QPainterPath& path, int mode) {
    // "No clip" stands for the whole device; a generous rectangle around the
    // output area stands in for it where an operation needs its shape.
    const QRectF everything = setup_.deviceBounds.adjusted(-1e5, -1e5, 1e5, 1e5);
    if (mode < kRgnAnd || mode > kRgnCopy) return;
    const bool none = !st_.clip && !st_.clipRegion;
    if (mode == kRgnOr && none) return;

    // Clips of many rectangles combine as regions, fast however many there
    // are; simple ones stay exact paths.
    std::optional<QRegion> currentRegion = st_.clipRegion;
    if (!currentRegion && st_.clip && st_.clip->elementCount() > kRegionAfterElements) {
        currentRegion = RectsToRegion(*st_.clip);
        if (!currentRegion) currentRegion = RectilinearToRegion(*st_.clip);
    }
    if (currentRegion) {
        if (auto added = RectsToRegion(path)) {
            switch (mode) {
                case kRgnAnd:
                    return SetClipRegion(*currentRegion & *added);
                case kRgnOr:
                    return SetClipRegion(*currentRegion | *added);
                case kRgnXor:
                    return SetClipRegion(*currentRegion ^ *added);
                case kRgnDiff:
                    return SetClipRegion(*currentRegion - *added);
                default:
                    return SetClipRegion(*added);
            }
        }
    }

    QPainterPath current;
    if (st_.clipRegion) {
        current.addRegion(*st_.clipRegion);
        current = QTransform::fromScale(1 / kRegionScale, 1 / kRegionScale).map(current);
    } else {
        current = st_.clip ? *st_.clip : RectPath(everything);
    }
    switch (mode) {
        case kRgnAnd: {
            if (none) return SetClip(path);
            const auto a = PathAsRect(current), b = PathAsRect(path);
            if (a && b) return SetClip(RectPath(a->intersected(*b)));
            return SetClip(current.intersected(path));
        }
        case kRgnOr:
            return SetClip(current.united(path));
        case kRgnXor:
            return SetClip(current.subtracted(path).united(path.subtracted(current)));
        case kRgnDiff:
            return SetClip(current.subtracted(path));
        default:
            return SetClip(path);
    }
}

void DeviceContext::IntersectClipRect(const QRectF& logical) {
    CombineClip(toDevice().map(RectPath(logical.normalized())), kRgnAnd);
}

void DeviceContext::ExcludeClipRect(const QRectF& logical) {
    CombineClip(toDevice().map(RectPath(logical.normalized())), kRgnDiff);
}

void DeviceContext::OffsetClip(double dx, double dy) {
    const QTransform& t = toDevice();
    const QPointF d = t.map(QPointF(dx, dy)) - t.map(QPointF(0, 0));
    if (st_.clipRegion) {
        if (std::fabs(d.x()) < 1e7 && std::fabs(d.y()) < 1e7)
            SetClipRegion(
                st_.clipRegion->translated(int(std::lround(d.x())), int(std::lround(d.y()))));
        return;
    }
    if (st_.clip) SetClip(st_.clip->translated(d));
}

QPainterPath DeviceContext::RegionToDevice(const QPainterPath& refRegion) const {
    return setup_.refToDevice.map(refRegion);
}

void DeviceContext::SelectClipRegion(const std::optional<QPainterPath>& region, int mode) {
    if (!region) {
        if (mode == kRgnCopy) SetClip(std::nullopt);
        return;
    }
    CombineClip(RegionToDevice(*region), mode);
}

void DeviceContext::SetMetaRegion() {
    st_.metaClip = effectiveClip();
    st_.clip.reset();
    st_.clipRegion.reset();
    clipDirty_ = true;
}

void DeviceContext::FillRegion(const QPainterPath& region, const LogBrush& brush) {
    FillDevice(RegionToDevice(region), brush);
}

void DeviceContext::PaintRegion(const QPainterPath& region) {
    FillDevice(RegionToDevice(region), st_.brush);
}

void DeviceContext::InvertRegion(const QPainterPath& region) {
    if (collecting_) return;
    out().FillPath(RegionToDevice(region), QBrush(Qt::black), Blend::NotDest);
}

void DeviceContext::FrameRegion(const QPainterPath& region, const LogBrush& brush, double w,
                                double h) {
    const QPainterPath device = RegionToDevice(region);
    const QTransform& t = toDevice();
    const double dw = std::max(1.0, std::fabs(w * std::hypot(t.m11(), t.m12())));
    const double dh = std::max(1.0, std::fabs(h * std::hypot(t.m21(), t.m22())));
    QPainterPath inner = device.intersected(device.translated(dw, 0))
                             .intersected(device.translated(-dw, 0))
                             .intersected(device.translated(0, dh))
                             .intersected(device.translated(0, -dh));
    FillDevice(device.subtracted(inner), brush);
}

}  // namespace mf
