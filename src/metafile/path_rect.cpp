#include "metafile/path_rect.h"

namespace mf {

std::optional<QRectF> PathAsRect(const QPainterPath& p) {
    const int n = p.elementCount();
    if (n != 4 && n != 5) return std::nullopt;
    const QRectF b = p.controlPointRect();
    for (int i = 0; i < n; ++i) {
        const QPainterPath::Element e = p.elementAt(i);
        if (e.type == QPainterPath::CurveToElement || e.type == QPainterPath::CurveToDataElement)
            return std::nullopt;
        if (i > 0 && e.type == QPainterPath::MoveToElement) return std::nullopt;
        if ((e.x != b.left() && e.x != b.right()) || (e.y != b.top() && e.y != b.bottom()))
            return std::nullopt;
    }
    // Four corners in order: consecutive points share x or y.
    for (int i = 1; i < n; ++i) {
        const QPainterPath::Element a = p.elementAt(i - 1), c = p.elementAt(i);
        if (a.x != c.x && a.y != c.y) return std::nullopt;
    }
    return b;
}

}  // namespace mf
