#pragma once

#include <QByteArray>
#include <QImage>

namespace mf {

// The 40-byte BITMAPINFOHEADER of a packed DIB.
constexpr int kDibInfoHeaderBytes = 40;

// A packed DIB of 24 bits per pixel: BITMAPINFOHEADER (96 pixels per inch),
// then the rows bottom-up, 4-byte aligned.
QByteArray PackedDib24(const QImage& image);

// A Windows BMP file of the same: file header, then the packed DIB.
QByteArray BmpFile24(const QImage& image);

}  // namespace mf
