#pragma once

#include <QPainterPath>
#include <QRectF>
#include <optional>

namespace mf {

// The rectangle a path is, when it is exactly one axis-aligned rectangle.
// Clipping and region arithmetic take a faster road for those.
std::optional<QRectF> PathAsRect(const QPainterPath& path);

}  // namespace mf
