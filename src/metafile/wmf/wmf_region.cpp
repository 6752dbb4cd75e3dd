#include "metafile/wmf/wmf_region.h"

#include <QtEndian>

#include "metafile/byte_writer.h"
#include "metafile/wmf/wmf_header.h"

namespace mf::wmf {

Region ParseRegion(const Record& r) {
    // nextInChain, objectType, objectCount (2 words), regionSize, scanCount,
    // maxScan, bounding rectangle (4 words), then the scans.
    Region region;
    constexpr qsizetype kScansAt = 11;
    if (r.words() < kScansAt) return region;
    const int scanCount = r.u(5);
    qsizetype at = kScansAt;
    for (int s = 0; s < scanCount; ++s) {
        if (at + 3 > r.words()) break;
        const qsizetype coords = r.u(at);
        const int top = r.s(at + 1), bottom = r.s(at + 2);
        if (at + 3 + coords + 1 > r.words()) break;
        for (qsizetype i = 0; i + 1 < coords; i += 2) {
            const int left = r.s(at + 3 + i), right = r.s(at + 4 + i);
            if (right > left && bottom > top) {
                const QRect rect(QPoint(left, top), QPoint(right - 1, bottom - 1));
                region.rects.push_back(rect);
                region.bounds |= rect;
            }
        }
        at += 3 + coords + 1;  // count, top, bottom, coordinates, count again
    }
    return region;
}

QByteArray RegionData(const Region& region) {
    QByteArray out;
    out.reserve(32 + 16 * qsizetype(region.rects.size()));
    Put32(out, 32);
    Put32(out, 1);  // RDH_RECTANGLES
    Put32(out, std::int32_t(region.rects.size()));
    Put32(out, std::int32_t(16 * region.rects.size()));
    const QRect& b = region.bounds;
    Put32(out, b.left());
    Put32(out, b.top());
    Put32(out, b.isEmpty() ? b.left() : b.right() + 1);
    Put32(out, b.isEmpty() ? b.top() : b.bottom() + 1);
    for (const QRect& rect : region.rects) {
        Put32(out, rect.left());
        Put32(out, rect.top());
        Put32(out, rect.right() + 1);
        Put32(out, rect.bottom() + 1);
    }
    return out;
}

}  // namespace mf::wmf
