// Path brackets, clipping regions and region drawing.
#include <QPainterPathStroker>
#include <cmath>

#include "metafile/device_context.h"
#include "metafile/path_rect.h"

namespace mf {

namespace {

constexpr int kRgnAnd = 1, kRgnOr = 2, kRgnXor = 3, kRgnDiff = 4, kRgnCopy = 5;

QPainterPath RectPath(const QRectF& r) {
    QPainterPath p;
    p.addRect(r);
    return p;
}

}  // namespace

void DeviceContext::beginPath() {
    inPath_ = true;
    pathReady_ = false;
    path_ = QPainterPath();
}

void DeviceContext::endPath() {
    if (!inPath_) return;
    inPath_ = false;
    pathReady_ = true;
}

void DeviceContext::closeFigure() {
    if (inPath_) path_.closeSubpath();
}

void DeviceContext::abortPath() {
    inPath_ = false;
    pathReady_ = false;
    path_ = QPainterPath();
}

void DeviceContext::fillPath() {
    if (!pathReady_) return;
    QPainterPath p = path_;
    p.setFillRule(st_.polyFillMode == 1 ? Qt::OddEvenFill : Qt::WindingFill);
    fillDevice(p, st_.brush);
    abortPath();
}

void DeviceContext::strokePath() {
    if (!pathReady_) return;
    strokeDevice(path_);
    abortPath();
}

void DeviceContext::strokeAndFillPath() {
    if (!pathReady_) return;
    QPainterPath p = path_;
    p.setFillRule(st_.polyFillMode == 1 ? Qt::OddEvenFill : Qt::WindingFill);
    fillDevice(p, st_.brush);
    strokeDevice(path_);
    abortPath();
}

void DeviceContext::flattenPath() {
    if (!pathReady_) return;
    QPainterPath flat;
    for (const QPolygonF& poly : path_.toSubpathPolygons()) {
        flat.addPolygon(poly);
    }
    path_ = flat;
}

void DeviceContext::widenPath() {
    if (!pathReady_) return;
    QPen pen;
    if (!penFor(&pen, path_)) return;
    QPainterPathStroker stroker(pen);
    path_ = stroker.createStroke(path_);
}

void DeviceContext::selectClipPath(int mode) {
    if (!pathReady_) return;
    QPainterPath p = path_;
    p.setFillRule(st_.polyFillMode == 1 ? Qt::OddEvenFill : Qt::WindingFill);
    combineClip(p, mode);
    abortPath();
}

std::optional<QPainterPath> DeviceContext::effectiveClip() const {
    if (!st_.metaClip) return st_.clip;
    if (!st_.clip) return st_.metaClip;
    return st_.clip->intersected(*st_.metaClip);
}

void DeviceContext::applyClip() {
    if (collecting_) return;
    std::optional<QPainterPath> clip = effectiveClip();
    if (clipSent_ && clip.has_value() == lastClipSent_.has_value() &&
        (!clip || *clip == *lastClipSent_))
        return;
    out_.setClip(clip);
    lastClipSent_ = std::move(clip);
    clipSent_ = true;
}

void DeviceContext::setClip(std::optional<QPainterPath> clip) {
    st_.clip = std::move(clip);
    applyClip();
}

void DeviceContext::combineClip(const QPainterPath& path, int mode) {
    // "No clip" stands for the whole device; a generous rectangle around the
    // output area stands in for it where an operation needs its shape.
    const QRectF everything = setup_.deviceBounds.adjusted(-1e5, -1e5, 1e5, 1e5);
    const QPainterPath current = st_.clip ? *st_.clip : RectPath(everything);
    switch (mode) {
        case kRgnAnd: {
            if (!st_.clip) return setClip(path);
            const auto a = PathAsRect(current), b = PathAsRect(path);
            if (a && b) return setClip(RectPath(a->intersected(*b)));
            return setClip(current.intersected(path));
        }
        case kRgnOr:
            if (!st_.clip) return;
            return setClip(current.united(path));
        case kRgnXor:
            return setClip(current.subtracted(path).united(path.subtracted(current)));
        case kRgnDiff:
            return setClip(current.subtracted(path));
        case kRgnCopy:
            return setClip(path);
        default:
            return;
    }
}

void DeviceContext::intersectClipRect(const QRectF& logical) {
    combineClip(toDevice().map(RectPath(logical.normalized())), kRgnAnd);
}

void DeviceContext::excludeClipRect(const QRectF& logical) {
    combineClip(toDevice().map(RectPath(logical.normalized())), kRgnDiff);
}

void DeviceContext::offsetClip(double dx, double dy) {
    if (!st_.clip) return;
    const QTransform& t = toDevice();
    const QPointF d = t.map(QPointF(dx, dy)) - t.map(QPointF(0, 0));
    setClip(st_.clip->translated(d));
}

QPainterPath DeviceContext::regionToDevice(const QPainterPath& refRegion) const {
    return setup_.refToDevice.map(refRegion);
}

void DeviceContext::selectClipRegion(const std::optional<QPainterPath>& region, int mode) {
    if (!region) {
        if (mode == kRgnCopy) setClip(std::nullopt);
        return;
    }
    combineClip(regionToDevice(*region), mode);
}

void DeviceContext::setMetaRegion() {
    st_.metaClip = effectiveClip();
    st_.clip.reset();
    applyClip();
}

void DeviceContext::fillRegion(const QPainterPath& region, const LogBrush& brush) {
    fillDevice(regionToDevice(region), brush);
}

void DeviceContext::paintRegion(const QPainterPath& region) {
    fillDevice(regionToDevice(region), st_.brush);
}

void DeviceContext::invertRegion(const QPainterPath& region) {
    if (collecting_) return;
    out_.fillPath(regionToDevice(region), QBrush(Qt::black), Blend::NotDest);
}

void DeviceContext::frameRegion(const QPainterPath& region, const LogBrush& brush, double w,
                                double h) {
    const QPainterPath device = regionToDevice(region);
    const QTransform& t = toDevice();
    const double dw = std::max(1.0, std::fabs(w * std::hypot(t.m11(), t.m12())));
    const double dh = std::max(1.0, std::fabs(h * std::hypot(t.m21(), t.m22())));
    QPainterPath inner = device.intersected(device.translated(dw, 0))
                             .intersected(device.translated(-dw, 0))
                             .intersected(device.translated(0, dh))
                             .intersected(device.translated(0, -dh));
    fillDevice(device.subtracted(inner), brush);
}

}  // namespace mf
