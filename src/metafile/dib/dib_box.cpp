// The inner loops of the averaging shrink. Vertically, on x86-64, two rows at
// a time go through one multiply-add (pmaddwd), a strip of 16 bytes at a
// time, so every source byte is loaded once and the sums stay in registers.
// Horizontally, each pixel's channels are summed as one float vector.

#include <algorithm>

#include "metafile/dib/dib_box.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace mf::dib_internal {
namespace {

void AccumulateScalar(std::uint32_t* acc, const std::uint8_t* const* rows,
                      const std::uint32_t* weights, int count, std::size_t from, std::size_t n,
                      bool add, float* floats) {
    for (std::size_t k = from; k < n; ++k) {
        std::uint32_t sum = add ? acc[k] : 0;
        for (int j = 0; j < count; ++j)
            sum += weights[j] * rows[j][k];
        if (floats)
            floats[k] = static_cast<float>(sum);
        else
            acc[k] = sum;
    }
}

#if defined(__SSE2__)
// Bytes k..k+15 of rows a and b, times wa and wb, added to sums[0..3]
// (four lanes of 32 bits each, bytes k..k+3, k+4..k+7, ...).
inline void MultiplyAddPair(__m128i sums[4], const std::uint8_t* a, const std::uint8_t* b,
                            __m128i weightPair) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a));
    const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b));
    const __m128i lo = _mm_unpacklo_epi8(va, vb);  // a0 b0 a1 b1 ... a7 b7
    const __m128i hi = _mm_unpackhi_epi8(va, vb);
    sums[0] = _mm_add_epi32(sums[0], _mm_madd_epi16(_mm_unpacklo_epi8(lo, zero), weightPair));
    sums[1] = _mm_add_epi32(sums[1], _mm_madd_epi16(_mm_unpackhi_epi8(lo, zero), weightPair));
    sums[2] = _mm_add_epi32(sums[2], _mm_madd_epi16(_mm_unpacklo_epi8(hi, zero), weightPair));
    sums[3] = _mm_add_epi32(sums[3], _mm_madd_epi16(_mm_unpackhi_epi8(hi, zero), weightPair));
}
#endif

}  // namespace

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
        a.count[d] = static_cast<int>(std::max<std::int64_t>(0, s1 - s0));
        a.first[d] = a.count[d] ? static_cast<int>(srcStart + s0 - lo) : 0;
        std::uint32_t sum = 0;
        for (std::int64_t s = s0; s < s1; ++s) {
            const std::int64_t w = std::min((s + 1) * dstN, end) - std::max(s * dstN, begin);
            a.weights.push_back(static_cast<std::uint32_t>(w));
            sum += static_cast<std::uint32_t>(w);
        }
        a.covered[d] = sum;
        a.maxCount = std::max(a.maxCount, a.count[d]);
    }
    return a;
}

void AccumulateRows(std::uint32_t* acc, const std::uint8_t* const* rows,
                    const std::uint32_t* weights, int count, std::size_t n, bool add,
                    float* floats) {
    std::size_t done = 0;
#if defined(__SSE2__)
    // pmaddwd multiplies signed 16-bit values: weights must stay below 2^15.
    const bool small =
        std::all_of(weights, weights + count, [](std::uint32_t w) { return w < 32768; });
    if (small && count <= 64) {
        __m128i pairs[32];
        const std::uint8_t* a[32];
        const std::uint8_t* b[32];
        const int pairCount = (count + 1) / 2;
        for (int p = 0; p < pairCount; ++p) {
            const int j = 2 * p;
            const bool odd = j + 1 == count;  // the last row pairs with itself at weight 0
            a[p] = rows[j];
            b[p] = odd ? rows[j] : rows[j + 1];
            const std::uint32_t wb = odd ? 0 : weights[j + 1];
            pairs[p] = _mm_set1_epi32(static_cast<int>(wb << 16 | weights[j]));
        }
        for (; done + 16 <= n; done += 16) {
            auto* out = reinterpret_cast<__m128i*>(acc + done);
            __m128i sums[4];
            if (add) {
                sums[0] = _mm_loadu_si128(out);
                sums[1] = _mm_loadu_si128(out + 1);
                sums[2] = _mm_loadu_si128(out + 2);
                sums[3] = _mm_loadu_si128(out + 3);
            } else {
                sums[0] = sums[1] = sums[2] = sums[3] = _mm_setzero_si128();
            }
            for (int p = 0; p < pairCount; ++p)
                MultiplyAddPair(sums, a[p] + done, b[p] + done, pairs[p]);
            if (floats) {
                _mm_storeu_ps(floats + done, _mm_cvtepi32_ps(sums[0]));
                _mm_storeu_ps(floats + done + 4, _mm_cvtepi32_ps(sums[1]));
                _mm_storeu_ps(floats + done + 8, _mm_cvtepi32_ps(sums[2]));
                _mm_storeu_ps(floats + done + 12, _mm_cvtepi32_ps(sums[3]));
            } else {
                _mm_storeu_si128(out, sums[0]);
                _mm_storeu_si128(out + 1, sums[1]);
                _mm_storeu_si128(out + 2, sums[2]);
                _mm_storeu_si128(out + 3, sums[3]);
            }
        }
    }
#endif
    AccumulateScalar(acc, rows, weights, count, done, n, add, floats);
}

bool FastResolver::Usable(const BoxAxis& ax, std::int64_t srcH) {
#if defined(__SSE2__)
    return ax.maxCount <= 4096 && 255 * srcH < (std::int64_t{1} << 31);
#else
    (void)ax;
    (void)srcH;
    return false;
#endif
}

FastResolver::FastResolver(const BoxAxis& ax, int channels, bool opaque, std::uint32_t fullW,
                           std::uint32_t fullH, double inverse, std::size_t n)
    : ax_(ax),
      channels_(channels),
      opaque_(opaque),
      fullW_(fullW),
      fullH_(fullH),
      inverse_(inverse),
      weights_(ax.weights.begin(), ax.weights.end()),
      accFloat_(n + 4, 0.0f) {}

void FastResolver::Row(std::uint32_t coveredY, std::uint32_t* line) {
#if defined(__SSE2__)
    // Locals, so that stores through the vector types (which may alias
    // anything) do not force the members to be reloaded.
    const float* f = accFloat_.data();
    const float* weights = weights_.data();
    const int* firsts = ax_.first.data();
    const int* counts = ax_.count.data();
    const std::size_t* ats = ax_.at.data();
    const std::uint32_t* covered = ax_.covered.data();
    const int channels = channels_;
    const bool opaque = opaque_;
    const std::uint32_t fullW = fullW_;
    const double inverse = inverse_;
    const __m128 scale = _mm_set1_ps(static_cast<float>(inverse_));
    const __m128 half = _mm_set1_ps(0.5f);
    const __m128 full = _mm_set1_ps(static_cast<float>(ax_.count.size()));
    const int dstW = static_cast<int>(ax_.count.size());
    const bool fullRow = coveredY == fullH_;
    for (int dx = 0; dx < dstW; ++dx) {
        const int count = counts[dx];
        if (count == 0) {  // wholly outside the bitmap
            line[dx] = 0;
            continue;
        }
        const float* w = weights + ats[dx];
        // Lane 3 of a 3-channel pixel picks up the next pixel's blue (or the
        // padding) and is ignored.
        const float* p = f + static_cast<std::size_t>(firsts[dx]) * channels;
        // Source pixels between the first and the last lie wholly inside the
        // destination pixel and all weigh the same: add them, multiply once.
        __m128 sum = _mm_mul_ps(_mm_loadu_ps(p), _mm_set1_ps(w[0]));
        if (count > 1) {
            __m128 inner = _mm_setzero_ps();
            for (int s = 1; s < count - 1; ++s)
                inner = _mm_add_ps(inner, _mm_loadu_ps(p + s * channels));
            const float* last = p + (count - 1) * channels;
            sum = _mm_add_ps(sum, _mm_mul_ps(_mm_loadu_ps(last), _mm_set1_ps(w[count - 1])));
            sum = _mm_add_ps(sum, _mm_mul_ps(inner, full));
        }
        __m128i v = _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(sum, scale), half));
        v = _mm_packs_epi32(v, v);
        v = _mm_packus_epi16(v, v);
        const auto px = static_cast<std::uint32_t>(_mm_cvtsi128_si32(v));
        if (opaque && fullRow && covered[dx] == fullW) {
            line[dx] = px | 0xFF000000u;
            continue;
        }
        std::uint32_t a = px >> 24;
        if (opaque) a = static_cast<std::uint32_t>(255.0 * coveredY * covered[dx] * inverse + 0.5);
        const std::uint32_t r = std::min((px >> 16) & 0xFF, a);
        const std::uint32_t g = std::min((px >> 8) & 0xFF, a);
        const std::uint32_t b = std::min(px & 0xFF, a);
        line[dx] = a << 24 | r << 16 | g << 8 | b;
    }
#else
    (void)coveredY;
    (void)line;
#endif
}

}  // namespace mf::dib_internal
