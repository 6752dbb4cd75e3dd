// Decodes a source rectangle of a DIB straight to the destination size: an
// area-weighted box filter when shrinking with averaging, nearest pixel
// otherwise. Only the destination image and a few row buffers are allocated.

#include <algorithm>
#include <cstring>
#include <optional>

#include "metafile/dib.h"
#include "metafile/dib_box.h"
#include "metafile/dib_rows.h"

namespace mf {
namespace {

using dib_internal::BoxAxis;
using dib_internal::DibRows;
using dib_internal::MakeBoxAxis;

// Largest source rectangle side (before clipping) and destination size the
// scaler takes; keeps 255 * side within the 32-bit row accumulators.
constexpr std::int64_t kMaxSrcSide = std::int64_t{1} << 24;
constexpr std::int64_t kMaxDstPixels = std::int64_t{1} << 28;
// Source rows summed per call of the row kernel.
constexpr int kRowsPerPass = 32;

std::uint32_t Pack(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return a << 24 | r << 16 | g << 8 | b;
}

// Premultiplied pixel from averaged channels; colours never exceed alpha.
std::uint32_t PackClamped(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return Pack(a, std::min(r, a), std::min(g, a), std::min(b, a));
}

// Full weight of a destination pixel on each axis, and 1 / (w * h).
struct Area {
    std::uint32_t w;
    std::uint32_t h;
    double inverse;
};

// The horizontal step for one destination row: weighted sums over the
// accumulated source columns, divided by the full area. Without an alpha
// channel, alpha is the share of the pixel that lies on the bitmap.
template <int kChannels, bool kOpaque, typename Sum>
void ResolveRow(const BoxAxis& ax, const std::uint32_t* acc, std::uint32_t coveredY,
                const Area& area, std::uint32_t* line) {
    const int dstW = static_cast<int>(ax.count.size());
    for (int dx = 0; dx < dstW; ++dx) {
        const int count = ax.count[dx];
        const std::uint32_t* wx = ax.weights.data() + ax.at[dx];
        const std::uint32_t* p = acc + static_cast<std::size_t>(ax.first[dx]) * kChannels;
        // Separate variables, not an array, so that the sums live in registers.
        Sum s0 = 0, s1 = 0, s2 = 0, s3 = 0;
        for (int s = 0; s < count; ++s, p += kChannels) {
            const Sum w = wx[s];
            s0 += w * p[0];
            s1 += w * p[1];
            s2 += w * p[2];
            if constexpr (kChannels == 4) s3 += w * p[3];
        }
        const Sum sum[4] = {s0, s1, s2, s3};
        const auto b = static_cast<std::uint32_t>(static_cast<double>(sum[0]) * area.inverse + 0.5);
        const auto g = static_cast<std::uint32_t>(static_cast<double>(sum[1]) * area.inverse + 0.5);
        const auto r = static_cast<std::uint32_t>(static_cast<double>(sum[2]) * area.inverse + 0.5);
        std::uint32_t a = 255;
        if constexpr (kOpaque) {
            if (coveredY != area.h || ax.covered[dx] != area.w)
                a = static_cast<std::uint32_t>(255.0 * coveredY * ax.covered[dx] * area.inverse +
                                               0.5);
        } else {
            a = static_cast<std::uint32_t>(static_cast<double>(sum[3]) * area.inverse + 0.5);
        }
        line[dx] = PackClamped(a, r, g, b);
    }
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
    const std::uint8_t* rowPtrs[kRowsPerPass];
    std::uint32_t rowWeights[kRowsPerPass];
    const int window = std::min(kRowsPerPass, rows.window());
    const Area area{static_cast<std::uint32_t>(src.width()),
                    static_cast<std::uint32_t>(src.height()),
                    1.0 / (static_cast<double>(src.width()) * src.height())};
    // Row sums stay below 255 * srcW * srcH: 32 bits do for all usual sizes.
    const bool narrow = 255.0 * src.width() * src.height() < 4294967296.0;
    using Resolve =
        void (*)(const BoxAxis&, const std::uint32_t*, std::uint32_t, const Area&, std::uint32_t*);
    Resolve resolve;
    if (channels == 3)
        resolve = narrow ? ResolveRow<3, true, std::uint32_t> : ResolveRow<3, true, std::uint64_t>;
    else if (opaque)
        resolve = narrow ? ResolveRow<4, true, std::uint32_t> : ResolveRow<4, true, std::uint64_t>;
    else
        resolve =
            narrow ? ResolveRow<4, false, std::uint32_t> : ResolveRow<4, false, std::uint64_t>;
    std::optional<dib_internal::FastResolver> fast;
    if (dib_internal::FastResolver::Usable(ax, src.height()))
        fast.emplace(ax, channels, opaque, area.w, area.h, area.inverse, n);
    const bool up = rows.bottomUpOnly();

    for (int i = 0; i < dstH; ++i) {
        const int dy = up ? dstH - 1 - i : i;
        auto* line = reinterpret_cast<std::uint32_t*>(out.scanLine(dy));
        const int count = ay.count[dy];
        if (count == 0) {
            std::fill(line, line + dstW, 0u);
            continue;
        }
        // Rows in groups the decoder keeps valid together, bottom-up first
        // when the decoder streams.
        const std::uint32_t* wy = ay.weights.data() + ay.at[dy];
        for (int j = 0; j < count; j += window) {
            const int group = std::min(window, count - j);
            for (int g = 0; g < group; ++g) {
                const int k = up ? count - 1 - (j + g) : j + g;
                rowPtrs[g] = rows.Row(clip.top() + ay.first[dy] + k);
                rowWeights[g] = wy[k];
            }
            const bool last = j + group == count;
            dib_internal::AccumulateRows(acc.data(), rowPtrs, rowWeights, group, n, j > 0,
                                         last && fast ? fast->Sums() : nullptr);
        }
        if (fast)
            fast->Row(ay.covered[dy], line);
        else
            resolve(ax, acc.data(), ay.covered[dy], area, line);
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
