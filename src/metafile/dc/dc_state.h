#pragma once

// The mapping part of a device context (map mode, window, viewport, world
// transform) and the SaveDC levels, with GDI's rules for changing them. The
// player and both conversions follow one copy of these rules, so that a page
// saved in either format maps as the page shown.

#include <QPointF>
#include <QTransform>
#include <cstddef>
#include <optional>

namespace mf {

class Mapping {
public:
    // `pxPerMmX/Y`: the reference device's resolution, for the metric modes.
    Mapping(double pxPerMmX = 96 / 25.4, double pxPerMmY = 96 / 25.4)
        : pxPerMmX_(pxPerMmX), pxPerMmY_(pxPerMmY) {}

    int mapMode() const { return mapMode_; }
    // A mode outside MM_TEXT..MM_ANISOTROPIC is ignored. The metric modes
    // set their extents; MM_ISOTROPIC entered from them keeps LOMETRIC's.
    void SetMapMode(int mode);
    void SetWindowOrg(double x, double y);
    void SetViewportOrg(double x, double y);
    // Extents count only in MM_ISOTROPIC and MM_ANISOTROPIC, and never 0.
    void SetWindowExt(double x, double y);
    void SetViewportExt(double x, double y);
    void ScaleWindowExt(double xNum, double xDen, double yNum, double yDen);
    void ScaleViewportExt(double xNum, double xDen, double yNum, double yDen);
    // A transform that is not finite, absurd or singular is refused.
    void SetWorldTransform(const QTransform& t);
    void ModifyWorldTransform(const QTransform& t, int mode);

    const QTransform& world() const { return world_; }
    QPointF windowOrg() const { return QPointF(winOrgX_, winOrgY_); }
    QPointF viewportOrg() const { return QPointF(vpOrgX_, vpOrgY_); }
    // Window to viewport: the map mode, origins and extents.
    QTransform page() const;
    // Logical units to reference-device pixels: world, then page.
    QTransform toReference() const { return world_ * page(); }

private:
    void FixIsotropic();

    double pxPerMmX_, pxPerMmY_;
    int mapMode_ = 1;  // MM_TEXT
    double winOrgX_ = 0, winOrgY_ = 0, winExtX_ = 1, winExtY_ = 1;
    double vpOrgX_ = 0, vpOrgY_ = 0, vpExtX_ = 1, vpExtY_ = 1;
    QTransform world_;
};

// Whether a transform's numbers are usable (finite, not absurd).
bool SaneTransform(const QTransform& t);

// RestoreDC(`relative`) with `depth` saved states: how many stay saved
// (the state restored is the one at that index), or nothing when GDI
// ignores the call. Negative: that many levels back; positive: an absolute
// level, 1 being the first SaveDC.
std::optional<std::size_t> RestoredDepth(int relative, std::size_t depth);

}  // namespace mf
