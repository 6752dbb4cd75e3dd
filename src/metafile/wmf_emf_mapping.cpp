#include "metafile/wmf_emf_mapping.h"

#include <cmath>

#include "metafile/wmf_records.h"

namespace mf::wmf {

void EmfMapping::setWindowExt(QSizeF s) {
    if (s.width() != 0 && s.height() != 0) windowExt_ = s;
}

void EmfMapping::setViewportExt(QSizeF s) {
    if (s.width() != 0 && s.height() != 0) viewportExt_ = s;
}

void EmfMapping::scaleWindowExt(double xNum, double xDenom, double yNum, double yDenom) {
    if (xDenom == 0 || yDenom == 0 || xNum == 0 || yNum == 0) return;
    windowExt_ = QSizeF(windowExt_.width() * xNum / xDenom, windowExt_.height() * yNum / yDenom);
}

void EmfMapping::scaleViewportExt(double xNum, double xDenom, double yNum, double yDenom) {
    if (xDenom == 0 || yDenom == 0 || xNum == 0 || yNum == 0) return;
    viewportExt_ =
        QSizeF(viewportExt_.width() * xNum / xDenom, viewportExt_.height() * yNum / yDenom);
}

void EmfMapping::modifyWorld(const QTransform& t, int mode) {
    switch (mode) {
        case 1:
            world_ = QTransform();
            break;
        case 2:
            world_ = t * world_;
            break;  // the new transform applies first
        case 3:
            world_ = world_ * t;
            break;
        case 4:
            world_ = t;
            break;
        default:
            break;
    }
}

void EmfMapping::pageScale(double& sx, double& sy) const {
    // Units per inch of the fixed modes; y grows upwards in all of them.
    double unitsPerInch = 0;
    switch (mode_) {
        case kMmLoMetric:
            unitsPerInch = 254;
            break;
        case kMmHiMetric:
            unitsPerInch = 2540;
            break;
        case kMmLoEnglish:
            unitsPerInch = 100;
            break;
        case kMmHiEnglish:
            unitsPerInch = 1000;
            break;
        case kMmTwips:
            unitsPerInch = 1440;
            break;
        default:
            break;
    }
    if (unitsPerInch > 0) {
        sx = ppiX_ / unitsPerInch;
        sy = -ppiY_ / unitsPerInch;
        return;
    }
    if (mode_ == kMmIsotropic || mode_ == kMmAnisotropic) {
        sx = viewportExt_.width() / windowExt_.width();
        sy = viewportExt_.height() / windowExt_.height();
        if (mode_ == kMmIsotropic) {
            const double s = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(s, sx);
            sy = std::copysign(s, sy);
        }
        return;
    }
    sx = sy = 1;
}

QPointF EmfMapping::toDevice(QPointF logical) const {
    double sx, sy;
    pageScale(sx, sy);
    const QPointF page = world_.map(logical);
    return QPointF((page.x() - windowOrg_.x()) * sx + viewportOrg_.x(),
                   (page.y() - windowOrg_.y()) * sy + viewportOrg_.y());
}

double EmfMapping::scaleX() const {
    double sx, sy;
    pageScale(sx, sy);
    return std::abs(sx) * std::hypot(world_.m11(), world_.m12());
}

double EmfMapping::scaleY() const {
    double sx, sy;
    pageScale(sx, sy);
    return std::abs(sy) * std::hypot(world_.m21(), world_.m22());
}

}  // namespace mf::wmf
