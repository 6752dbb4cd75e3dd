#pragma once

// Bitmaps inside WMF records: packed DIBs (BITMAPINFO directly followed by
// the bits) and the Windows 3 device-dependent Bitmap16. The EMF records want
// the header and the bits apart, and only DIBs.

#include <QByteArray>
#include <cstdint>
#include <optional>

namespace mf::wmf {

struct DibParts {
    QByteArray info;  // BITMAPINFO: header, masks, colour table
    QByteArray bits;
};

// Splits a packed DIB of `size` bytes. Checks the header size, bit count and
// colour table against the bytes; the bits are whatever follows (the player
// checks them against the header). Nothing when the header is unusable.
std::optional<DibParts> SplitPackedDib(const unsigned char* data, qsizetype size,
                                       std::uint32_t usage);

// A Bitmap16 (rows of `widthBytes`, top row first, one plane) as a bottom-up
// DIB. 1-bpp bitmaps get black and white; 4 and 8 bpp the VGA colours.
std::optional<DibParts> Bitmap16ToDib(int width, int height, int widthBytes, int planes,
                                      int bitsPixel, const unsigned char* bits, qsizetype bitsSize);

}  // namespace mf::wmf
