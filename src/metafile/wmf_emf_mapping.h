#pragma once

// The coordinate mapping of an EMF being played (map mode, window and
// viewport, world transform), followed record by record so that the WMF
// written for it can carry every point already mapped: a WMF has no world
// transform, and its fixed map modes would not survive the page's own
// mapping.

#include <QPointF>
#include <QSizeF>
#include <QTransform>

namespace mf::wmf {

class EmfMapping {
public:
    // `devicePpiX/Y`: resolution of the EMF's reference device.
    EmfMapping(double devicePpiX, double devicePpiY) : ppiX_(devicePpiX), ppiY_(devicePpiY) {}

    void setMapMode(int mode) { mode_ = mode; }
    void setWindowOrg(QPointF p) { windowOrg_ = p; }
    void setWindowExt(QSizeF s);
    void setViewportOrg(QPointF p) { viewportOrg_ = p; }
    void setViewportExt(QSizeF s);
    void scaleWindowExt(double xNum, double xDenom, double yNum, double yDenom);
    void scaleViewportExt(double xNum, double xDenom, double yNum, double yDenom);
    void setWorld(const QTransform& t) { world_ = t; }
    // EMF's MWT_IDENTITY (1), MWT_LEFTMULTIPLY (2), MWT_RIGHTMULTIPLY (3), MWT_SET (4).
    void modifyWorld(const QTransform& t, int mode);

    // Logical point to reference-device pixels.
    QPointF toDevice(QPointF logical) const;
    // Device pixels per logical unit along x and y (absolute values).
    double scaleX() const;
    double scaleY() const;

private:
    void pageScale(double& sx, double& sy) const;

    double ppiX_, ppiY_;
    int mode_ = 1;  // MM_TEXT
    QPointF windowOrg_, viewportOrg_;
    QSizeF windowExt_{1, 1}, viewportExt_{1, 1};
    QTransform world_;
};

}  // namespace mf::wmf
