#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

namespace mf {

class Picture;

// The picture as a placeable WMF. A picture loaded from a WMF keeps its
// records behind a rebuilt header; an EMF picture is converted record by
// record (or, should that fail, written as a WMF that stretches one 24-bit
// bitmap of the picture at its natural size over the bounding box).
QByteArray PlaceableWmfFor(const Picture& picture);

// A WMF body (header and records, no placeable header) that draws `image`
// stretched over a window of `size` logical units.
QByteArray WmfWithBitmap(const QImage& image, const QSize& size);

}  // namespace mf
