#include "viewer/page_geometry.h"

#include <cmath>

QRect PageDrawRect(QSize inner, const PageMargins& m, int zoomPercent) {
    const double z = zoomPercent / 100.0;
    const int left = static_cast<int>(m.left * z);
    const int top = static_cast<int>(m.top * z);
    const int right = inner.width() + static_cast<int>(m.right * z);
    const int bottom = inner.height() + static_cast<int>(m.bottom * z);
    // QRect's right and bottom are inclusive; these edges are exclusive.
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

QRect PrintableAreaRect(const PrintableAreaMm& area, int zoomPercent, int ppi, bool transposed) {
    const double z = zoomPercent / 100.0;
    const auto scaled = [&](Scaled mm) {
        return static_cast<int>(std::nearbyint(MmToScreenPixels(mm, ppi) * z));
    };
    const int ox = scaled(area.offsetLeft);
    const int oy = scaled(area.offsetTop);
    const int pw = scaled(area.width);
    const int ph = scaled(area.height);
    if (transposed) return QRect(oy, ox, ph, pw);
    return QRect(ox, oy, pw, ph);
}
