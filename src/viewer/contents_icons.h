#pragma once

#include <QPixmap>

// The two 16 x 16 contents icons: image 0 a green page with dark-blue lines
// (top-level entries), image 1 the same page in white (deeper entries).
// Drawn for `devicePixelRatio` so that they stay sharp on scaled screens; the
// pixmap's device-independent size is 16 x 16.
inline constexpr int kContentsIconSize = 16;
QPixmap ContentsIcon(int image, qreal devicePixelRatio = 1.0);
