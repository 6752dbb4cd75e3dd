#include "metafile/dc/dc_state.h"

#include <cmath>
#include <cstdint>

#include "metafile/gdi_constants.h"

namespace mf {

namespace {

constexpr double kAbsurd = 1e12;

double NonZero(double v) {
    return v == 0 ? 1 : v;
}

}  // namespace

bool SaneTransform(const QTransform& t) {
    const double v[] = {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()};
    for (double d : v) {
        if (!std::isfinite(d) || std::fabs(d) > kAbsurd) return false;
    }
    return true;
}

std::optional<std::size_t> RestoredDepth(int relative, std::size_t depth) {
    if (relative < 0) {
        const std::size_t back = std::size_t(-std::int64_t(relative));
        if (back > depth) return std::nullopt;
        return depth - back;
    }
    if (relative == 0 || std::size_t(relative) > depth) return std::nullopt;
    return std::size_t(relative) - 1;
}

QTransform Mapping::page() const {
    const double sx = vpExtX_ / NonZero(winExtX_);
    const double sy = vpExtY_ / NonZero(winExtY_);
    return QTransform(sx, 0, 0, sy, vpOrgX_ - winOrgX_ * sx, vpOrgY_ - winOrgY_ * sy);
}

void Mapping::SetMapMode(int mode) {
    if (mode < kMmText || mode > kMmAnisotropic) return;
    const int old = mapMode_;
    mapMode_ = mode;
    // The metric modes measure against the reference device's resolution.
    auto metric = [&](double unitsPerMm) {
        winExtX_ = unitsPerMm;
        winExtY_ = unitsPerMm;
        vpExtX_ = pxPerMmX_;
        vpExtY_ = -pxPerMmY_;
    };
    switch (mode) {
        case kMmText:
            winExtX_ = winExtY_ = vpExtX_ = vpExtY_ = 1;
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
            FixIsotropic();
            break;
        case kMmAnisotropic:
            // The extents stay as the previous mode left them.
            break;
    }
}

// Isotropic mapping shrinks the viewport extent on one axis so that a
// logical unit is as long in x as in y.
void Mapping::FixIsotropic() {
    if (mapMode_ != kMmIsotropic) return;
    if (winExtX_ == 0 || winExtY_ == 0) return;
    const double sx = std::fabs(vpExtX_ / winExtX_);
    const double sy = std::fabs(vpExtY_ / winExtY_);
    if (sx < sy) {
        vpExtY_ = std::copysign(std::fabs(winExtY_) * sx, vpExtY_);
    } else if (sy < sx) {
        vpExtX_ = std::copysign(std::fabs(winExtX_) * sy, vpExtX_);
    }
}

void Mapping::SetWindowOrg(double x, double y) {
    winOrgX_ = x;
    winOrgY_ = y;
}

void Mapping::SetViewportOrg(double x, double y) {
    vpOrgX_ = x;
    vpOrgY_ = y;
}

void Mapping::SetWindowExt(double x, double y) {
    if (mapMode_ != kMmIsotropic && mapMode_ != kMmAnisotropic) return;
    if (x == 0 || y == 0) return;
    winExtX_ = x;
    winExtY_ = y;
    FixIsotropic();
}

void Mapping::SetViewportExt(double x, double y) {
    if (mapMode_ != kMmIsotropic && mapMode_ != kMmAnisotropic) return;
    if (x == 0 || y == 0) return;
    vpExtX_ = x;
    vpExtY_ = y;
    FixIsotropic();
}

void Mapping::ScaleWindowExt(double xNum, double xDen, double yNum, double yDen) {
    if (xDen == 0 || yDen == 0) return;
    SetWindowExt(winExtX_ * xNum / xDen, winExtY_ * yNum / yDen);
}

void Mapping::ScaleViewportExt(double xNum, double xDen, double yNum, double yDen) {
    if (xDen == 0 || yDen == 0) return;
    SetViewportExt(vpExtX_ * xNum / xDen, vpExtY_ * yNum / yDen);
}

void Mapping::SetWorldTransform(const QTransform& t) {
    if (!SaneTransform(t) || t.determinant() == 0) return;
    world_ = t;
}

void Mapping::ModifyWorldTransform(const QTransform& t, int mode) {
    QTransform next;
    switch (mode) {
        case kMwtIdentity:
            next = QTransform();
            break;
        case kMwtLeftMultiply:
            next = t * world_;
            break;
        case kMwtRightMultiply:
            next = world_ * t;
            break;
        case kMwtSet:
            next = t;
            break;
        default:
            return;
    }
    if (!SaneTransform(next) || next.determinant() == 0) return;
    world_ = next;
}

}  // namespace mf
