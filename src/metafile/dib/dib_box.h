#pragma once

// The area-averaging (box filter) pieces of the DIB scaler: per-axis weights
// and the two inner loops, vertical over source rows and horizontal over the
// summed columns.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mf::dib_internal {

// Box filter along one axis. In units where a source pixel is `dstN` long
// and a destination pixel `srcN` long, destination pixel d spans
// [d * srcN, (d + 1) * srcN); its weights are the overlaps with the source
// pixels inside the bitmap, so they add up to srcN where the bitmap covers it.
struct BoxAxis {
    std::vector<int> first;              // first source index, relative to the clipped start
    std::vector<int> count;              // number of source pixels
    std::vector<std::size_t> at;         // start in `weights`
    std::vector<std::uint32_t> weights;  // each at most dstN
    std::vector<std::uint32_t> covered;  // sum of the weights
    int maxCount = 0;
};

// srcStart/srcN: requested source span (may reach outside the bitmap);
// [lo, hi): the part inside it, which `first` is relative to.
BoxAxis MakeBoxAxis(std::int64_t srcStart, std::int64_t srcN, int dstN, int lo, int hi);

// Vertical step: acc[k] = sum of weights[j] * rows[j][k] over `count` rows,
// k < n; added to acc when `add`. The weights of all calls for one sum add
// up to at most 2^24, so 32 bits hold it. With `floats`, the last call of a
// sum writes it there as floats instead of into acc.
void AccumulateRows(std::uint32_t* acc, const std::uint8_t* const* rows,
                    const std::uint32_t* weights, int count, std::size_t n, bool add,
                    float* floats = nullptr);

// Horizontal step in single-precision SIMD, when the machine has it and the
// sums are small enough (`acc` below 2^31, at most 4096 columns a pixel).
// Writes one destination row of premultiplied pixels: sums over `ax` of the
// `channels`-float columns of the row sums (left by AccumulateRows in
// Sums()) times `inverse`. With `opaque`, alpha is the share of the pixel on
// the bitmap (coveredY * ax.covered * inverse); otherwise the fourth channel.
class FastResolver {
public:
    static bool Usable(const BoxAxis& ax, std::int64_t srcH);
    FastResolver(const BoxAxis& ax, int channels, bool opaque, std::uint32_t fullW,
                 std::uint32_t fullH, double inverse, std::size_t n);
    float* Sums() { return accFloat_.data(); }
    void Row(std::uint32_t coveredY, std::uint32_t* line);

private:
    const BoxAxis& ax_;
    int channels_;
    bool opaque_;
    std::uint32_t fullW_, fullH_;
    double inverse_;
    std::vector<float> weights_;
    std::vector<float> accFloat_;
};

}  // namespace mf::dib_internal
