// Damaged DIBs: random byte changes and truncations of valid bitmaps of
// every kind must be rejected or decoded, never crash or read out of bounds
// (the sanitizer build turns either into a failure).

#include <gtest/gtest.h>

#include <random>

#include "metafile/dib_test_builder.h"

namespace {

using namespace dib_test;

std::vector<Dib> Seeds() {
    std::vector<Dib> seeds;
    const QImage noise = NoiseImage(13, 9, 11);
    seeds.push_back(RgbDib(noise, 24));
    seeds.push_back(RgbDib(noise, 32, true));

    Dib core{CoreHeader(13, 9, 4), Bytes(8 * 9, 0x5A)};
    for (int i = 0; i < 16; ++i)
        core.info.insert(core.info.end(), {std::uint8_t(i * 16), 0x40, 0x80});
    seeds.push_back(core);

    Dib indexed{InfoHeader(13, -9, 8, mf::kBiRgb, 40, 5), Bytes(16 * 9, 3)};
    for (int i = 0; i < 5; ++i)
        PutRgbQuad(indexed.info, 0xFF000000u | (i * 0x331133u));
    seeds.push_back(indexed);

    Dib fields{InfoHeader(13, 9, 16, mf::kBiBitfields), Bytes(28 * 9, 0xA7)};
    for (std::uint32_t m : {0xF800u, 0x07E0u, 0x001Fu})
        Put32(fields.info, m);
    seeds.push_back(fields);

    const std::uint32_t masks[4] = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
    seeds.push_back(
        {InfoHeader(13, 9, 32, mf::kBiBitfields, 124, 0, 0, masks), Bytes(52 * 9, 0x81)});

    const Bytes rle8 = {4, 1, 0, 5, 1, 2, 3, 4, 5, 0, 0, 0, 0, 2, 3, 1, 200, 7, 0, 0, 9, 9, 0, 1};
    Dib r8{InfoHeader(13, 9, 8, mf::kBiRle8, 40, 0, std::uint32_t(rle8.size())), rle8};
    for (int i = 0; i < 256; ++i)
        PutRgbQuad(r8.info, 0xFF000000u | (i * 0x010203u));
    seeds.push_back(r8);

    const Bytes rle4 = {5, 0x12, 0, 5, 0x34, 0x56, 0x70, 0, 0, 0, 0, 2, 1, 4, 9, 0xAB, 0, 1};
    Dib r4{InfoHeader(13, 9, 4, mf::kBiRle4, 40, 0, std::uint32_t(rle4.size())), rle4};
    for (int i = 0; i < 16; ++i)
        PutRgbQuad(r4.info, 0xFF000000u | (i * 0x0F0E0Du));
    seeds.push_back(r4);
    return seeds;
}

// Decodes what parses, over requests whose work stays small whatever size
// the damaged header claims.
// Returns whether the bitmap parsed.
bool Exercise(const Dib& dib, std::uint32_t usage) {
    const auto view = dib.Parse(usage);
    if (!view) return false;
    if (view->width <= 0 || view->height <= 0) {
        ADD_FAILURE() << "parsed a bitmap of " << view->width << "x" << view->height;
        return true;
    }
    const int w = std::min(view->width, 40);
    const int h = std::min(view->height, 40);
    for (const bool averaging : {false, true}) {
        mf::DecodeDibScaled(*view, QRect(0, 0, w, h), QSize(std::max(1, w / 3), std::max(1, h / 3)),
                            averaging);
        mf::DecodeDibScaled(*view, QRect(view->width - w, view->height - h, w, h), QSize(7, 5),
                            averaging);
        mf::DecodeDibScaled(*view, QRect(-3, -2, w + 5, h + 4), QSize(w * 2, h), averaging);
    }
    if (std::int64_t{view->width} * view->height <= 4096) mf::DecodeDib(*view);
    return true;
}

TEST(DibRobustness, DamagedBitmapsAreRejectedOrDecoded) {
    std::mt19937 random(20261210);
    int parsed = 0;
    for (const Dib& seed : Seeds()) {
        ASSERT_TRUE(seed.Parse()) << "seed must be valid";
        for (int round = 0; round < 400; ++round) {
            Dib dib = seed;
            const int changes = 1 + static_cast<int>(random() % 4);
            for (int c = 0; c < changes; ++c) {
                // Headers matter most: three changes in four land in the info bytes.
                Bytes& target = (random() % 4 != 0 || dib.bits.empty()) ? dib.info : dib.bits;
                if (target.empty()) continue;
                const std::size_t at = random() % std::min<std::size_t>(target.size(), 64);
                target[at] = static_cast<std::uint8_t>(random() % 3 == 0 ? 0xFF : random());
            }
            if (random() % 5 == 0) dib.bits.resize(random() % (dib.bits.size() + 1));
            if (random() % 9 == 0) dib.info.resize(random() % (dib.info.size() + 1));
            parsed += Exercise(dib, random() % 8 == 0 ? mf::kDibPalColors : mf::kDibRgbColors);
        }
    }
    // The damage must leave enough bitmaps readable for the decoders to be tried.
    EXPECT_GT(parsed, 800);
}

}  // namespace
