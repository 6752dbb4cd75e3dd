// Shrinking camera-sized DIBs to page thumbnails, as an album page does:
// 1600x1200 24 bpp bottom-up to 321x241 with averaging; and enlarging them
// smoothly, as a page shown at 200 % does.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "metafile/dib/dib.h"

namespace {

struct SyntheticDib {
    std::vector<std::uint8_t> info;
    std::vector<std::uint8_t> bits;
};

void Put(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

SyntheticDib MakeDib(int width, int height, int bitCount) {
    SyntheticDib d;
    d.info.assign(40, 0);
    Put(d.info, 0, 40, 4);
    Put(d.info, 4, static_cast<std::uint32_t>(width), 4);
    Put(d.info, 8, static_cast<std::uint32_t>(height), 4);
    Put(d.info, 12, 1, 2);
    Put(d.info, 14, static_cast<std::uint32_t>(bitCount), 2);
    if (bitCount <= 8)  // a full grey colour table
        for (std::uint32_t i = 0; i < (1u << bitCount); ++i) {
            const std::uint32_t grey = i * 255 / ((1u << bitCount) - 1);
            for (int c = 0; c < 3; ++c)
                d.info.push_back(static_cast<std::uint8_t>(grey));
            d.info.push_back(0);
        }
    const std::size_t stride = (static_cast<std::size_t>(width) * bitCount + 31) / 32 * 4;
    d.bits.resize(stride * height);
    std::uint32_t s = 12345;
    for (auto& byte : d.bits) {
        s = s * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(s >> 24);
    }
    return d;
}

void ShrinkAveraged(benchmark::State& state, int bitCount) {
    const SyntheticDib dib = MakeDib(1600, 1200, bitCount);
    const auto view = mf::ParseDib(dib.info.data(), dib.info.size(), dib.bits.data(),
                                   dib.bits.size(), mf::kDibRgbColors);
    if (!view) {
        state.SkipWithError("synthetic DIB rejected");
        return;
    }
    for (auto _ : state) {
        QImage image = mf::DecodeDibScaled(*view, QRect(0, 0, 1600, 1200), QSize(321, 241), true);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_Shrink1600x1200To321x241_24bpp(benchmark::State& state) {
    ShrinkAveraged(state, 24);
}
void BM_Shrink1600x1200To321x241_32bpp(benchmark::State& state) {
    ShrinkAveraged(state, 32);
}
void BM_Shrink1600x1200To321x241_8bpp(benchmark::State& state) {
    ShrinkAveraged(state, 8);
}

void BM_Nearest1600x1200To321x241_24bpp(benchmark::State& state) {
    const SyntheticDib dib = MakeDib(1600, 1200, 24);
    const auto view = mf::ParseDib(dib.info.data(), dib.info.size(), dib.bits.data(),
                                   dib.bits.size(), mf::kDibRgbColors);
    for (auto _ : state) {
        QImage image = mf::DecodeDibScaled(*view, QRect(0, 0, 1600, 1200), QSize(321, 241), false);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void EnlargeSmooth(benchmark::State& state, int bitCount, QSize dst) {
    const SyntheticDib dib = MakeDib(1600, 1200, bitCount);
    const auto view = mf::ParseDib(dib.info.data(), dib.info.size(), dib.bits.data(),
                                   dib.bits.size(), mf::kDibRgbColors);
    if (!view) {
        state.SkipWithError("synthetic DIB rejected");
        return;
    }
    for (auto _ : state) {
        QImage image = mf::DecodeDibScaled(*view, QRect(0, 0, 1600, 1200), dst, true);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_Enlarge1600x1200To3200x2400_24bpp(benchmark::State& state) {
    EnlargeSmooth(state, 24, QSize(3200, 2400));
}
void BM_Enlarge1600x1200To3200x2400_8bpp(benchmark::State& state) {
    EnlargeSmooth(state, 8, QSize(3200, 2400));
}
// One axis grows while the other shrinks.
void BM_Stretch1600x1200To3200x300_24bpp(benchmark::State& state) {
    EnlargeSmooth(state, 24, QSize(3200, 300));
}

// The page case: three different photos (so none is warm in the cache for
// the next), each parsed and shrunk as the player does for every draw.
void BM_PageOfThreePhotos(benchmark::State& state) {
    std::vector<SyntheticDib> photos;
    for (int i = 0; i < 3; ++i)
        photos.push_back(MakeDib(1600, 1200, 24));
    for (auto _ : state) {
        for (const SyntheticDib& photo : photos) {
            const auto view = mf::ParseDib(photo.info.data(), photo.info.size(), photo.bits.data(),
                                           photo.bits.size(), mf::kDibRgbColors);
            QImage image =
                mf::DecodeDibScaled(*view, QRect(0, 0, 1600, 1200), QSize(321, 241), true);
            benchmark::DoNotOptimize(image.constBits());
        }
    }
}

}  // namespace

BENCHMARK(BM_PageOfThreePhotos)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Shrink1600x1200To321x241_24bpp)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Shrink1600x1200To321x241_32bpp)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Shrink1600x1200To321x241_8bpp)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Nearest1600x1200To321x241_24bpp)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Enlarge1600x1200To3200x2400_24bpp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Enlarge1600x1200To3200x2400_8bpp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Stretch1600x1200To3200x300_24bpp)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
