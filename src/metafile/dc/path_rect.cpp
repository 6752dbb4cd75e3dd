#include "metafile/dc/path_rect.h"

#include <algorithm>

namespace mf {

std::optional<QRectF> PathAsRect(const QPainterPath& p) {
    const int n = p.elementCount();
    if (n != 4 && n != 5) return std::nullopt;
    // Edges compared exactly: a QRectF's right() is left + width and may
    // differ from the coordinate in the last bit.
    double left = p.elementAt(0).x, right = left, top = p.elementAt(0).y, bottom = top;
    for (int i = 1; i < n; ++i) {
        left = std::min(left, p.elementAt(i).x);
        right = std::max(right, p.elementAt(i).x);
        top = std::min(top, p.elementAt(i).y);
        bottom = std::max(bottom, p.elementAt(i).y);
    }
    for (int i = 0; i < n; ++i) {
        const QPainterPath::Element e = p.elementAt(i);
        if (e.type == QPainterPath::CurveToElement || e.type == QPainterPath::CurveToDataElement)
            return std::nullopt;
        if (i > 0 && e.type == QPainterPath::MoveToElement) return std::nullopt;
        if ((e.x != left && e.x != right) || (e.y != top && e.y != bottom)) return std::nullopt;
    }
    // Four corners in order: consecutive points share x or y.
    for (int i = 1; i < n; ++i) {
        const QPainterPath::Element a = p.elementAt(i - 1), c = p.elementAt(i);
        if (a.x != c.x && a.y != c.y) return std::nullopt;
    }
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

}  // namespace mf
