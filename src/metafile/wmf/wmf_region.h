#pragma once

// WMF region objects (bands of scan lines) and the RGNDATA form EMF records
// carry them in.

#include <QByteArray>
#include <QRect>
#include <vector>

namespace mf::wmf {

struct Record;

struct Region {
    std::vector<QRect> rects;  // QRect with the usual inclusive right/bottom
    QRect bounds;
};

// The region of a META_CREATEREGION record. Scans that do not fit the record
// end the list; a record too short for the region header gives an empty one.
Region ParseRegion(const Record& r);

// RGNDATA: 32-byte header, then one RECTL per rectangle (exclusive right and
// bottom, as GDI keeps them).
QByteArray RegionData(const Region& region);

}  // namespace mf::wmf
