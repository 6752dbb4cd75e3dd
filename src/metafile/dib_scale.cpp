// Decodes a source rectangle of a DIB straight to the destination size: an
// area-weighted box filter when shrinking with averaging, nearest pixel
// otherwise. Only the destination image and a few row buffers are allocated.

#include <algorithm>
#include <cstring>

#include "metafile/dib.h"
#include "metafile/dib_rows.h"

namespace mf {
namespace {

using dib_internal::DibRows;

// Largest source rectangle side (before clipping) and destination size the
// scaler takes; keeps 255 * side within the 32-bit row accumulators.
constexpr std::int64_t kMaxSrcSide = std::int64_t{1} << 24;
constexpr std::int64_t kMaxDstPixels = std::int64_t{1} << 28;

// Box filter along one axis. In units where a source pixel is `dstN` long
// and a destination pixel `srcN` long, destination pixel d spans
// [d * srcN, (d + 1) * srcN); its weights are the overlaps with the source
// pixels inside the bitmap, so they add up to srcN where the bitmap covers it.
struct BoxAxis {
    std::vector<int> first;       // first source index, relative to the clipped start
    std::vector<int> count;       // number of source pixels
    std::vector<std::size_t> at;  // start in `weights`
    std::vector<std::uint32_t> weights;
    std::vector<std::uint32_t> covered;  // sum of the weights
};

// srcStart/srcN: requested source span (may reach outside); lo/hi: the part
// inside the bitmap, which indices in `first` are relative to.
BoxAxis MakeBoxAxis(std::int64_t srcStart, std::int64_t srcN, int dstN, int lo, int hi) {
    BoxAxis a;
    a.first.resize(dstN);
    a.count.resize(dstN);
    a.at.resize(dstN);
    a.covered.resize(dstN);
    a.weights.reserve(static_cast<std::size_t>(std::min<std::int64_t>(srcN, hi - lo)) + dstN);
    for (int d = 0; d < dstN; ++d) {
        const std::int64_t begin = d * srcN;  // in fine units
        const std::int64_t end = (d + 1) * srcN;
        std::int64_t s0 = begin / dstN;             // relative to srcStart
        std::int64_t s1 = (end + dstN - 1) / dstN;  // exclusive
        s0 = std::max(s0, lo - srcStart);
        s1 = std::min(s1, hi - srcStart);
        a.at[d] = a.weights.size();
        a.first[d] = static_cast<int>(srcStart + s0 - lo);
        a.count[d] = static_cast<int>(std::max<std::int64_t>(0, s1 - s0));
        std::uint32_t sum = 0;
        for (std::int64_t s = s0; s < s1; ++s) {
            const std::int64_t w = std::min((s + 1) * dstN, end) - std::max(s * dstN, begin);
            a.weights.push_back(static_cast<std::uint32_t>(w));
            sum += static_cast<std::uint32_t>(w);
        }
        a.covered[d] = sum;
    }
    return a;
}

// acc[k] (+)= w * row[k] for the n bytes of a row.
void AccumulateFirst(std::uint32_t* acc, const std::uint8_t* row, std::size_t n, std::uint32_t w) {
    for (std::size_t k = 0; k < n; ++k)
        acc[k] = w * row[k];
}
void AccumulateMore(std::uint32_t* acc, const std::uint8_t* row, std::size_t n, std::uint32_t w) {
    for (std::size_t k = 0; k < n; ++k)
        acc[k] += w * row[k];
}

std::uint32_t Pack(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return a << 24 | r << 16 | g << 8 | b;
}

// Premultiplied pixel from averaged channels; colours never exceed alpha.
std::uint32_t PackClamped(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return Pack(a, std::min(r, a), std::min(g, a), std::min(b, a));
}

void ShrinkAveraged(DibRows& rows, const QRect& src, const QRect& clip, QImage& out) {
    const int dstW = out.width();
    const int dstH = out.height();
    const int channels = rows.channels();
    const bool opaque = rows.opaque();
    const BoxAxis ax = MakeBoxAxis(src.x(), src.width(), dstW, clip.left(), clip.right() + 1);
    const BoxAxis ay = MakeBoxAxis(src.y(), src.height(), dstH, clip.top(), clip.bottom() + 1);
    const std::size_t n = static_cast<std::size_t>(clip.width()) * channels;
    std::vector<std::uint32_t> acc(n);
    const double scale = 1.0 / (static_cast<double>(src.width()) * src.height());
    const double fullArea = static_cast<double>(src.width()) * src.height();
    const bool up = rows.bottomUpOnly();

    for (int i = 0; i < dstH; ++i) {
        const int dy = up ? dstH - 1 - i : i;
        auto* line = reinterpret_cast<std::uint32_t*>(out.scanLine(dy));
        const int count = ay.count[dy];
        if (count == 0) {
            std::fill(line, line + dstW, 0u);
            continue;
        }
        for (int j = 0; j < count; ++j) {
            const int k = up ? count - 1 - j : j;
            const std::uint8_t* row = rows.Row(clip.top() + ay.first[dy] + k);
            const std::uint32_t w = ay.weights[ay.at[dy] + k];
            if (j == 0)
                AccumulateFirst(acc.data(), row, n, w);
            else
                AccumulateMore(acc.data(), row, n, w);
        }
        const double coveredY = ay.covered[dy];
        for (int dx = 0; dx < dstW; ++dx) {
            const int cnt = ax.count[dx];
            std::uint64_t sum[4] = {0, 0, 0, 0};
            const std::uint32_t* wx = ax.weights.data() + ax.at[dx];
            const std::uint32_t* p = acc.data() + static_cast<std::size_t>(ax.first[dx]) * channels;
            if (channels == 3) {
                for (int s = 0; s < cnt; ++s, p += 3) {
                    sum[0] += std::uint64_t{wx[s]} * p[0];
                    sum[1] += std::uint64_t{wx[s]} * p[1];
                    sum[2] += std::uint64_t{wx[s]} * p[2];
                }
            } else {
                for (int s = 0; s < cnt; ++s, p += 4) {
                    sum[0] += std::uint64_t{wx[s]} * p[0];
                    sum[1] += std::uint64_t{wx[s]} * p[1];
                    sum[2] += std::uint64_t{wx[s]} * p[2];
                    sum[3] += std::uint64_t{wx[s]} * p[3];
                }
            }
            const auto b = static_cast<std::uint32_t>(sum[0] * scale + 0.5);
            const auto g = static_cast<std::uint32_t>(sum[1] * scale + 0.5);
            const auto r = static_cast<std::uint32_t>(sum[2] * scale + 0.5);
            std::uint32_t a;
            if (opaque) {
                const double cover = coveredY * ax.covered[dx];
                a = cover >= fullArea ? 255u
                                      : static_cast<std::uint32_t>(255 * cover / fullArea + 0.5);
            } else {
                a = static_cast<std::uint32_t>(sum[3] * scale + 0.5);
            }
            line[dx] = PackClamped(a, r, g, b);
        }
    }
}

// Destination index d samples source floor((d + 0.5) * srcN / dstN); -1 when
// that falls outside [lo, hi). Indices are relative to lo.
std::vector<int> NearestAxis(std::int64_t srcStart, std::int64_t srcN, int dstN, int lo, int hi) {
    std::vector<int> map(dstN);
    for (int d = 0; d < dstN; ++d) {
        const std::int64_t s =
            srcStart + (std::int64_t{2} * d + 1) * srcN / (std::int64_t{2} * dstN);
        map[d] = (s >= lo && s < hi) ? static_cast<int>(s - lo) : -1;
    }
    return map;
}

void SampleNearest(DibRows& rows, const QRect& src, const QRect& clip, QImage& out) {
    const int dstW = out.width();
    const int dstH = out.height();
    const int channels = rows.channels();
    const bool opaque = rows.opaque();
    const std::vector<int> mx =
        NearestAxis(src.x(), src.width(), dstW, clip.left(), clip.right() + 1);
    const std::vector<int> my =
        NearestAxis(src.y(), src.height(), dstH, clip.top(), clip.bottom() + 1);
    const bool up = rows.bottomUpOnly();
    for (int i = 0; i < dstH; ++i) {
        const int dy = up ? dstH - 1 - i : i;
        auto* line = reinterpret_cast<std::uint32_t*>(out.scanLine(dy));
        if (my[dy] < 0) {
            std::fill(line, line + dstW, 0u);
            continue;
        }
        // Rows repeat when enlarging: copy the previous destination row.
        const int prev = up ? dy + 1 : dy - 1;
        if (i > 0 && my[prev] == my[dy]) {
            std::memcpy(line, out.constScanLine(prev), static_cast<std::size_t>(dstW) * 4);
            continue;
        }
        const std::uint8_t* row = rows.Row(clip.top() + my[dy]);
        for (int dx = 0; dx < dstW; ++dx) {
            if (mx[dx] < 0) {
                line[dx] = 0;
                continue;
            }
            const std::uint8_t* p = row + static_cast<std::size_t>(mx[dx]) * channels;
            line[dx] = opaque ? Pack(255, p[2], p[1], p[0]) : PackClamped(p[3], p[2], p[1], p[0]);
        }
    }
}

}  // namespace

QImage DecodeDibScaled(const DibView& dib, const QRect& src, const QSize& dst, bool averaging) {
    if (dib.width <= 0 || dib.height <= 0 || !dib.bits) return {};
    if (src.width() <= 0 || src.height() <= 0 || dst.width() <= 0 || dst.height() <= 0) return {};
    if (src.width() > kMaxSrcSide || src.height() > kMaxSrcSide ||
        std::int64_t{dst.width()} * dst.height() > kMaxDstPixels)
        return {};
    const QRect clip = src & QRect(0, 0, dib.width, dib.height);
    if (clip.isEmpty()) return {};
    auto rows = dib_internal::MakeDibRows(dib, clip.left(), clip.right() + 1);
    if (!rows) return {};
    QImage out(dst, QImage::Format_ARGB32_Premultiplied);
    if (out.isNull()) return {};
    if (averaging && (dst.width() < src.width() || dst.height() < src.height()))
        ShrinkAveraged(*rows, src, clip, out);
    else
        SampleNearest(*rows, src, clip, out);
    return out;
}

QImage DecodeDib(const DibView& dib) {
    return DecodeDibScaled(dib, QRect(0, 0, dib.width, dib.height), QSize(dib.width, dib.height),
                           false);
}

}  // namespace mf
