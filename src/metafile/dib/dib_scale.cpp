// Decodes a source rectangle of a DIB straight to the destination size: with
// averaging, an area-weighted box filter along shrinking axes and linear
// interpolation along growing ones; nearest pixel otherwise. Only the
// destination image and a few row buffers are allocated.

#include <algorithm>
#include <cstring>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "metafile/dib/dib.h"
#include "metafile/dib/dib_box.h"
#include "metafile/dib/dib_rows.h"

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
// Widest destination the smoothing enlargement takes (it keeps two rows of
// four floats a destination pixel); wider ones fall back to the box filter
// or the nearest pixel.
constexpr int kMaxSmoothWidth = 1 << 20;

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

// Filter taps along one axis of the smoothing scaler: destination pixel d is
// the sum of weights[at[d] + k] * source[first[d] + k] for k < count[d],
// source indices relative to the clipped start. Taps that fall off the bitmap
// are left out, so what they would add stays transparent.
struct Taps {
    std::vector<int> first;
    std::vector<int> count;
    std::vector<std::size_t> at;
    std::vector<float> weights;
};

// The box filter of a shrinking (or unchanged) axis, weights summing to 1.
Taps BoxTaps(std::int64_t srcStart, std::int64_t srcN, int dstN, int lo, int hi) {
    const BoxAxis box = MakeBoxAxis(srcStart, srcN, dstN, lo, hi);
    const float inverse = static_cast<float>(1.0 / static_cast<double>(srcN));
    Taps t{box.first, box.count, box.at, {}};
    t.weights.reserve(box.weights.size());
    for (std::uint32_t w : box.weights)
        t.weights.push_back(static_cast<float>(w) * inverse);
    return t;
}

// Linear interpolation along a growing axis: destination pixel d sits at
// source position (d + 0.5) * srcN / dstN, held within the first and last
// source pixel, and mixes the two pixels around it. This follows GDI, which
// does not subtract the half pixel that centre alignment would.
Taps LinearTaps(std::int64_t srcStart, std::int64_t srcN, int dstN, int lo, int hi) {
    Taps t;
    t.first.resize(dstN);
    t.count.resize(dstN);
    t.at.resize(dstN);
    t.weights.reserve(static_cast<std::size_t>(dstN) * 2);
    const std::int64_t den = std::int64_t{2} * dstN;
    for (int d = 0; d < dstN; ++d) {
        // Position * den, exactly.
        const std::int64_t num = (2 * std::int64_t{d} + 1) * srcN;
        std::int64_t s0 = num / den;
        float f = static_cast<float>(static_cast<double>(num % den) / static_cast<double>(den));
        if (s0 >= srcN - 1) {
            s0 = srcN - 1;
            f = 0.0f;
        }
        t.at[d] = t.weights.size();
        t.first[d] = 0;
        int count = 0;
        const std::int64_t taps[2] = {s0, s0 + 1};
        const float weights[2] = {1.0f - f, f};
        for (int k = 0; k < (f > 0.0f ? 2 : 1); ++k) {
            const std::int64_t s = srcStart + taps[k];
            if (s < lo || s >= hi) continue;
            if (count == 0) t.first[d] = static_cast<int>(s - lo);
            t.weights.push_back(weights[k]);
            ++count;
        }
        t.count[d] = count;
    }
    return t;
}

// Four float channels (B, G, R, A) of one pixel.
#if defined(__SSE2__)
using Vec4 = __m128;
inline Vec4 Splat(float w) {
    return _mm_set1_ps(w);
}
inline Vec4 Add(Vec4 a, Vec4 b) {
    return _mm_add_ps(a, b);
}
inline Vec4 Mul(Vec4 a, Vec4 b) {
    return _mm_mul_ps(a, b);
}
inline Vec4 Load(const float* p) {
    return _mm_loadu_ps(p);
}
inline void Store(float* p, Vec4 v) {
    _mm_storeu_ps(p, v);
}
inline Vec4 Unpack(std::uint32_t px) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i v = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(px)), zero);
    return _mm_cvtepi32_ps(_mm_unpacklo_epi16(v, zero));
}
// Rounded and saturated to bytes, B G R A from the low byte up.
inline std::uint32_t Round(Vec4 v) {
    __m128i i = _mm_cvttps_epi32(_mm_add_ps(v, _mm_set1_ps(0.5f)));
    i = _mm_packs_epi32(i, i);
    i = _mm_packus_epi16(i, i);
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(i));
}
#else
struct Vec4 {
    float v[4];
};
inline Vec4 Splat(float w) {
    return {{w, w, w, w}};
}
inline Vec4 Add(Vec4 a, Vec4 b) {
    return {{a.v[0] + b.v[0], a.v[1] + b.v[1], a.v[2] + b.v[2], a.v[3] + b.v[3]}};
}
inline Vec4 Mul(Vec4 a, Vec4 b) {
    return {{a.v[0] * b.v[0], a.v[1] * b.v[1], a.v[2] * b.v[2], a.v[3] * b.v[3]}};
}
inline Vec4 Load(const float* p) {
    return {{p[0], p[1], p[2], p[3]}};
}
inline void Store(float* p, Vec4 v) {
    std::memcpy(p, v.v, sizeof v.v);
}
inline Vec4 Unpack(std::uint32_t px) {
    return {{static_cast<float>(px & 0xFF), static_cast<float>(px >> 8 & 0xFF),
             static_cast<float>(px >> 16 & 0xFF), static_cast<float>(px >> 24)}};
}
inline std::uint32_t Round(Vec4 v) {
    std::uint32_t px = 0;
    for (int c = 0; c < 4; ++c) {
        const float x = std::clamp(v.v[c] + 0.5f, 0.0f, 255.0f);
        px |= static_cast<std::uint32_t>(x) << (8 * c);
    }
    return px;
}
#endif

// A premultiplied pixel from filtered channels; colours never exceed alpha.
inline std::uint32_t PackFiltered(Vec4 v) {
    const std::uint32_t px = Round(v);
    const std::uint32_t a = px >> 24;
    if (a == 255) return px;
    return PackClamped(a, px >> 16 & 0xFF, px >> 8 & 0xFF, px & 0xFF);
}

// Source pixel x of a row as B, G, R, A bytes; opaque rows get alpha 255, so
// that the filtered alpha is the share of the pixel on the bitmap.
template <int kChannels, bool kOpaque>
inline std::uint32_t Fetch(const std::uint8_t* row, int x) {
    const std::uint8_t* p = row + static_cast<std::size_t>(x) * kChannels;
    if constexpr (kChannels == 3) {
        return 0xFF000000u | std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
    } else {
        const std::uint32_t px =
            std::uint32_t{p[3]} << 24 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
        return kOpaque ? px | 0xFF000000u : px;
    }
}

// Filters one source row along x into `out` (four floats a destination
// pixel) times `scale`, added to what `out` holds when `add`.
template <int kChannels, bool kOpaque>
void FilterRow(const Taps& tx, const std::uint8_t* row, float scale, bool add, float* out) {
    const int dstW = static_cast<int>(tx.count.size());
    const float* weights = tx.weights.data();
    const int* firsts = tx.first.data();
    const int* counts = tx.count.data();
    const std::size_t* ats = tx.at.data();
    for (int dx = 0; dx < dstW; ++dx, out += 4) {
        const float* w = weights + ats[dx];
        const int first = firsts[dx];
        Vec4 sum = Splat(0.0f);
        for (int k = 0; k < counts[dx]; ++k)
            sum = Add(sum,
                      Mul(Unpack(Fetch<kChannels, kOpaque>(row, first + k)), Splat(w[k] * scale)));
        Store(out, add ? Add(Load(out), sum) : sum);
    }
}

// Adds `weight` times the `width` pixels of a source row to `acc` (four
// floats a source pixel), or sets it when not `add`.
template <int kChannels, bool kOpaque>
void AccumulateRow(const std::uint8_t* row, int width, float weight, bool add, float* acc) {
    const Vec4 w = Splat(weight);
    for (int x = 0; x < width; ++x, acc += 4) {
        const Vec4 v = Mul(Unpack(Fetch<kChannels, kOpaque>(row, x)), w);
        Store(acc, add ? Add(Load(acc), v) : v);
    }
}

using FilterRowFn = void (*)(const Taps&, const std::uint8_t*, float, bool, float*);
using AccumulateRowFn = void (*)(const std::uint8_t*, int, float, bool, float*);

// Averaging scale where at least one axis grows: the growing axes are
// interpolated, the others box-filtered. Source rows are filtered along x
// once each (the latest two are kept) and then combined along y; where a
// destination row averages more than two source rows, they are summed first
// and the sum filtered along x.
void ScaleSmooth(DibRows& rows, const QRect& src, const QRect& clip, QImage& out) {
    const int dstW = out.width();
    const int dstH = out.height();
    const Taps tx = dstW > src.width()
                        ? LinearTaps(src.x(), src.width(), dstW, clip.left(), clip.right() + 1)
                        : BoxTaps(src.x(), src.width(), dstW, clip.left(), clip.right() + 1);
    const Taps ty = dstH > src.height()
                        ? LinearTaps(src.y(), src.height(), dstH, clip.top(), clip.bottom() + 1)
                        : BoxTaps(src.y(), src.height(), dstH, clip.top(), clip.bottom() + 1);
    FilterRowFn filter;
    AccumulateRowFn accumulate;
    if (rows.channels() == 3) {
        filter = FilterRow<3, true>;
        accumulate = AccumulateRow<3, true>;
    } else if (rows.opaque()) {
        filter = FilterRow<4, true>;
        accumulate = AccumulateRow<4, true>;
    } else {
        filter = FilterRow<4, false>;
        accumulate = AccumulateRow<4, false>;
    }
    const std::size_t n = static_cast<std::size_t>(dstW) * 4;
    std::vector<float> cache[2] = {std::vector<float>(n), std::vector<float>(n)};
    int cached[2] = {-1, -1};  // source row held by each cache slot
    std::vector<float> acc;
    // Row y filtered along x, from the cache or into the slot not holding `keep`.
    auto filtered = [&](int y, int keep) -> const float* {
        for (int s = 0; s < 2; ++s)
            if (cached[s] == y) return cache[s].data();
        const int s = cached[0] == keep ? 1 : 0;
        filter(tx, rows.Row(clip.top() + y), 1.0f, false, cache[s].data());
        cached[s] = y;
        return cache[s].data();
    };
    const bool up = rows.bottomUpOnly();

    for (int i = 0; i < dstH; ++i) {
        const int dy = up ? dstH - 1 - i : i;
        auto* line = reinterpret_cast<std::uint32_t*>(out.scanLine(dy));
        const int count = ty.count[dy];
        const int first = ty.first[dy];
        const float* wy = ty.weights.data() + ty.at[dy];
        if (count == 0) {
            std::fill(line, line + dstW, 0u);
        } else if (count <= 2) {
            // Rows in the order the decoder wants them.
            const float* f0;
            const float* f1 = nullptr;
            if (count == 1) {
                f0 = filtered(first, -1);
            } else if (up) {
                f1 = filtered(first + 1, first);
                f0 = filtered(first, first + 1);
            } else {
                f0 = filtered(first, first + 1);
                f1 = filtered(first + 1, first);
            }
            const Vec4 w0 = Splat(wy[0]);
            if (f1) {
                const Vec4 w1 = Splat(wy[1]);
                for (int dx = 0; dx < dstW; ++dx)
                    line[dx] =
                        PackFiltered(Add(Mul(Load(f0 + 4 * dx), w0), Mul(Load(f1 + 4 * dx), w1)));
            } else {
                for (int dx = 0; dx < dstW; ++dx)
                    line[dx] = PackFiltered(Mul(Load(f0 + 4 * dx), w0));
            }
        } else {
            // A shrinking y axis averages many rows: sum them as they come,
            // at the source width, then filter the sum along x. (Filtering
            // each row first would cost source rows times destination width.)
            acc.resize(static_cast<std::size_t>(clip.width()) * 4);
            for (int j = 0; j < count; ++j) {
                const int k = up ? count - 1 - j : j;
                accumulate(rows.Row(clip.top() + first + k), clip.width(), wy[k], j > 0,
                           acc.data());
            }
            for (int dx = 0; dx < dstW; ++dx) {
                const float* w = tx.weights.data() + tx.at[dx];
                const float* p = acc.data() + static_cast<std::size_t>(tx.first[dx]) * 4;
                Vec4 sum = Splat(0.0f);
                for (int k = 0; k < tx.count[dx]; ++k)
                    sum = Add(sum, Mul(Load(p + 4 * k), Splat(w[k])));
                line[dx] = PackFiltered(sum);
            }
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
    const bool grows = dst.width() > src.width() || dst.height() > src.height();
    if (averaging && grows && dst.width() <= kMaxSmoothWidth)
        ScaleSmooth(*rows, src, clip, out);
    else if (averaging && (dst.width() < src.width() || dst.height() < src.height()))
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
