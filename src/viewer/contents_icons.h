#pragma once

#include <QPixmap>

// The two 16 x 16 contents icons: image 0 a green page with dark-blue lines
// (top-level entries), image 1 the same page in white (deeper entries).
QPixmap ContentsIcon(int image);
