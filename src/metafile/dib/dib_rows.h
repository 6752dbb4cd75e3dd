#pragma once

// Row access for the DIB scaler: each format delivers the pixels of one
// source row, over a fixed column range, as bytes the scaler averages or
// samples without knowing the format.

#include <cstdint>
#include <memory>
#include <vector>

#include "metafile/dib/dib.h"

namespace mf::dib_internal {

class DibRows {
public:
    virtual ~DibRows() = default;

    // Bytes per pixel in the rows: 3 (B, G, R) or 4 (B, G, R, A).
    int channels() const { return channels_; }
    // The fourth byte is not alpha: the pixels are opaque.
    bool opaque() const { return opaque_; }
    // Rows must be asked for from the bottom of the bitmap upwards
    // (run-length data is a stream that starts at the bottom row).
    bool bottomUpOnly() const { return bottomUpOnly_; }
    // How many of the latest Row() pointers stay valid together, so that
    // the scaler can sum that many rows in one pass.
    int window() const { return window_; }

    // Pixels of top-down row `y` (0 <= y < height), columns [x0, x1) given at
    // creation.
    virtual const std::uint8_t* Row(int y) = 0;

protected:
    // Decoders write into a ring of `window` row buffers of `bytes` each.
    void MakeRing(std::size_t bytes, int window);
    std::uint8_t* NextBuffer();

    int channels_ = 4;
    bool opaque_ = false;
    bool bottomUpOnly_ = false;
    int window_ = 1;

private:
    std::vector<std::uint8_t> ring_;
    std::size_t bufferBytes_ = 0;
    int next_ = 0;
};

// Row access for columns [x0, x1) of `dib` (0 <= x0 < x1 <= width); null when
// the bits cannot be decoded (a broken JPEG or PNG).
std::unique_ptr<DibRows> MakeDibRows(const DibView& dib, int x0, int x1);

}  // namespace mf::dib_internal
