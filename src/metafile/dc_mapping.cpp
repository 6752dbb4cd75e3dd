// Mapping modes, the world transform, SaveDC/RestoreDC and the object table.
#include <cmath>

#include "metafile/device_context.h"

namespace mf {

namespace {

constexpr std::size_t kMaxSavedStates = 4096;

// A transform whose numbers are usable (finite, not absurd).
bool Sane(const QTransform& t) {
    const double v[] = {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()};
    for (double d : v) {
        if (!std::isfinite(d) || std::fabs(d) > 1e12) return false;
    }
    return true;
}

double NonZero(double v) {
    return v == 0 ? 1 : v;
}

}  // namespace

DeviceContext::DeviceContext(DrawOutput& out, const DeviceSetup& setup, const FontMapper& fonts)
    : out_(out), setup_(setup), fonts_(fonts) {}

const QTransform& DeviceContext::toDevice() {
    if (xfDirty_) {
        const double sx = st_.vpExtX / NonZero(st_.winExtX);
        const double sy = st_.vpExtY / NonZero(st_.winExtY);
        const QTransform page(sx, 0, 0, sy, st_.vpOrgX - st_.winOrgX * sx,
                              st_.vpOrgY - st_.winOrgY * sy);
        xf_ = st_.world * page * setup_.refToDevice;
        if (!Sane(xf_)) xf_ = QTransform(0, 0, 0, 0, 0, 0);
        xfDirty_ = false;
    }
    return xf_;
}

void DeviceContext::mappingChanged() {
    xfDirty_ = true;
}

void DeviceContext::setMapMode(int mode) {
    if (mode < kMmText || mode > kMmAnisotropic) return;
    const int old = st_.mapMode;
    st_.mapMode = mode;
    // The metric modes measure against the reference device's resolution.
    auto metric = [&](double unitsPerMm) {
        st_.winExtX = unitsPerMm;
        st_.winExtY = unitsPerMm;
        st_.vpExtX = setup_.refPxPerMmX;
        st_.vpExtY = -setup_.refPxPerMmY;
    };
    switch (mode) {
        case kMmText:
            st_.winExtX = st_.winExtY = st_.vpExtX = st_.vpExtY = 1;
            break;
        case kMmLoMetric:
            metric(10);
            break;
        case kMmHiMetric:
            metric(100);
            break;
        case kMmLoEnglish:
            metric(100 / 25.4);
            break;
        case kMmHiEnglish:
            metric(1000 / 25.4);
            break;
        case kMmTwips:
            metric(1440 / 25.4);
            break;
        case kMmIsotropic:
            // Entering the isotropic mode keeps the extents of the metric ones
            // (LOMETRIC's, as GDI starts from), then squares them up.
            if (old != kMmIsotropic && old != kMmAnisotropic) metric(10);
            fixIsotropic();
            break;
        case kMmAnisotropic:
            if (old != kMmIsotropic && old != kMmAnisotropic && old != kMmText) break;
            break;
    }
    mappingChanged();
}

// Isotropic mapping shrinks the viewport extent on one axis so that a
// logical unit is as long in x as in y.
void DeviceContext::fixIsotropic() {
    if (st_.mapMode != kMmIsotropic) return;
    if (st_.winExtX == 0 || st_.winExtY == 0) return;
    const double sx = std::fabs(st_.vpExtX / st_.winExtX);
    const double sy = std::fabs(st_.vpExtY / st_.winExtY);
    if (sx < sy) {
        st_.vpExtY = std::copysign(std::fabs(st_.winExtY) * sx, st_.vpExtY);
    } else if (sy < sx) {
        st_.vpExtX = std::copysign(std::fabs(st_.winExtX) * sy, st_.vpExtX);
    }
}

void DeviceContext::setWindowOrg(double x, double y) {
    st_.winOrgX = x;
    st_.winOrgY = y;
    mappingChanged();
}

void DeviceContext::setViewportOrg(double x, double y) {
    st_.vpOrgX = x;
    st_.vpOrgY = y;
    mappingChanged();
}

void DeviceContext::setWindowExt(double x, double y) {
    if (st_.mapMode != kMmIsotropic && st_.mapMode != kMmAnisotropic) return;
    if (x == 0 || y == 0) return;
    st_.winExtX = x;
    st_.winExtY = y;
    fixIsotropic();
    mappingChanged();
}

void DeviceContext::setViewportExt(double x, double y) {
    if (st_.mapMode != kMmIsotropic && st_.mapMode != kMmAnisotropic) return;
    if (x == 0 || y == 0) return;
    st_.vpExtX = x;
    st_.vpExtY = y;
    fixIsotropic();
    mappingChanged();
}

void DeviceContext::scaleWindowExt(double xNum, double xDen, double yNum, double yDen) {
    if (xDen == 0 || yDen == 0) return;
    setWindowExt(st_.winExtX * xNum / xDen, st_.winExtY * yNum / yDen);
}

void DeviceContext::scaleViewportExt(double xNum, double xDen, double yNum, double yDen) {
    if (xDen == 0 || yDen == 0) return;
    setViewportExt(st_.vpExtX * xNum / xDen, st_.vpExtY * yNum / yDen);
}

void DeviceContext::setWorldTransform(const QTransform& t) {
    if (!Sane(t) || t.determinant() == 0) return;
    st_.world = t;
    mappingChanged();
}

void DeviceContext::modifyWorldTransform(const QTransform& t, int mode) {
    QTransform next;
    switch (mode) {
        case kMwtIdentity:
            next = QTransform();
            break;
        case kMwtLeftMultiply:
            next = t * st_.world;
            break;
        case kMwtRightMultiply:
            next = st_.world * t;
            break;
        case kMwtSet:
            next = t;
            break;
        default:
            return;
    }
    if (!Sane(next) || next.determinant() == 0) return;
    st_.world = next;
    mappingChanged();
}

void DeviceContext::saveDc() {
    if (saved_.size() >= kMaxSavedStates) saved_.erase(saved_.begin());
    saved_.push_back(st_);
}

void DeviceContext::restoreDc(int relative) {
    // Negative: that many levels back; positive: an absolute level (1 is the
    // first SaveDC). Anything out of range is ignored, as GDI does.
    std::size_t keep;
    if (relative < 0) {
        const std::size_t back = std::size_t(-std::int64_t(relative));
        if (back > saved_.size()) return;
        keep = saved_.size() - back;
    } else {
        if (relative == 0 || std::size_t(relative) > saved_.size()) return;
        keep = std::size_t(relative) - 1;
    }
    st_ = saved_[keep];
    saved_.resize(keep);
    mappingChanged();
    clipDirty_ = true;
}

void DeviceContext::createObject(std::uint32_t index, GdiObject object) {
    // Index 0 is reserved for the metafile itself; the table is as large as
    // the header says, and never larger than the records can fill.
    if (index == 0 || index >= setup_.objectSlots) return;
    objects_[index] = std::move(object);
}

void DeviceContext::deleteObject(std::uint32_t index) {
    objects_.erase(index);
}

const LogBrush* DeviceContext::brushAt(std::uint32_t index) const {
    if (index & kStockObject) {
        static const LogBrush stock[] = {
            {kBsSolid, QColor(255, 255, 255), 0, {}, false},
            {kBsSolid, QColor(192, 192, 192), 0, {}, false},
            {kBsSolid, QColor(128, 128, 128), 0, {}, false},
            {kBsSolid, QColor(64, 64, 64), 0, {}, false},
            {kBsSolid, QColor(0, 0, 0), 0, {}, false},
            {kBsNull, QColor(0, 0, 0), 0, {}, false},
        };
        const std::uint32_t n = index & ~kStockObject;
        return n <= kNullBrush ? &stock[n] : nullptr;
    }
    auto it = objects_.find(index);
    if (it == objects_.end()) return nullptr;
    return std::get_if<LogBrush>(&it->second);
}

void DeviceContext::selectPalette(std::uint32_t index) {
    if (index == (kStockObject | kDefaultPalette)) {
        palette_.clear();
        return;
    }
    auto it = objects_.find(index);
    if (it == objects_.end()) return;
    if (auto* pal = std::get_if<LogPalette>(&it->second)) palette_ = pal->entries;
}

QColor DeviceContext::color(std::uint32_t ref) const {
    if ((ref >> 24) != kColorRefPaletteIndex) return ColorFromRef(ref);
    // The system's twenty static colours make the default palette.
    static const QRgb kDefault[20] = {
        qRgb(0, 0, 0),       qRgb(128, 0, 0),     qRgb(0, 128, 0),     qRgb(128, 128, 0),
        qRgb(0, 0, 128),     qRgb(128, 0, 128),   qRgb(0, 128, 128),   qRgb(192, 192, 192),
        qRgb(192, 220, 192), qRgb(166, 202, 240), qRgb(255, 251, 240), qRgb(160, 160, 164),
        qRgb(128, 128, 128), qRgb(255, 0, 0),     qRgb(0, 255, 0),     qRgb(255, 255, 0),
        qRgb(0, 0, 255),     qRgb(255, 0, 255),   qRgb(0, 255, 255),   qRgb(255, 255, 255)};
    const std::uint32_t index = ref & 0xFFFF;
    if (!palette_.empty()) return QColor(palette_[index < palette_.size() ? index : 0]);
    return QColor(kDefault[index < 20 ? index : 0]);
}

void DeviceContext::selectObject(std::uint32_t index) {
    if (index & kStockObject) {
        const std::uint32_t n = index & ~kStockObject;
        if (n <= kNullBrush) {
            st_.brush = *brushAt(index);
        } else if (n == kWhitePen || n == kBlackPen || n == kNullPen) {
            st_.pen = LogPen();
            st_.pen.color = n == kWhitePen ? QColor(Qt::white) : QColor(Qt::black);
            if (n == kNullPen) st_.pen.style = kPsNull;
        } else if (n >= kOemFixedFont && n <= kDefaultGuiFont && n != kDefaultPalette) {
            // Stock fonts: the system's proportional or fixed face.
            LogFont f;
            f.height = n == kDefaultGuiFont ? -11 : 16;
            f.weight = n == kSystemFont ? 700 : 400;
            f.faceName = (n == kOemFixedFont || n == kAnsiFixedFont || n == kSystemFixedFont)
                             ? QStringLiteral("Courier New")
                             : QStringLiteral("MS Sans Serif");
            st_.font = f;
        } else if (n == kDcBrush) {
            st_.brush = LogBrush();
        } else if (n == kDcPen) {
            st_.pen = LogPen();
        }
        return;
    }
    auto it = objects_.find(index);
    if (it == objects_.end()) return;
    if (auto* pen = std::get_if<LogPen>(&it->second))
        st_.pen = *pen;
    else if (auto* brush = std::get_if<LogBrush>(&it->second))
        st_.brush = *brush;
    else if (auto* font = std::get_if<LogFont>(&it->second))
        st_.font = *font;
}

}  // namespace mf
