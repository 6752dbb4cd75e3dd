#include "printing/printable_area.h"

#include <cmath>

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
