#pragma once

#include <QByteArray>
#include <QImage>

namespace mf {

// A Windows BMP file of 24 bits per pixel (bottom-up rows, 4-byte aligned).
QByteArray BmpFile24(const QImage& image);

}  // namespace mf
