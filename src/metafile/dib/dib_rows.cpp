// Row decoders behind DibRows: raw rows for 24/32 bpp, palette and bit-field
// expansion for the other uncompressed formats, a streaming run-length
// decoder, and whole-image decoding for JPEG/PNG bits.

#include "metafile/dib/dib_rows.h"

#include <QtEndian>
#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace mf::dib_internal {

void DibRows::MakeRing(std::size_t bytes, int window) {
    bufferBytes_ = bytes;
    window_ = window;
    ring_.assign(bytes * static_cast<std::size_t>(window), 0);
}

std::uint8_t* DibRows::NextBuffer() {
    std::uint8_t* buffer = ring_.data() + bufferBytes_ * static_cast<std::size_t>(next_);
    next_ = (next_ + 1) % window_;
    return buffer;
}

namespace {

// The colour table padded with black to 256 entries, so that any index is
// safe even when a caller has swapped in a shorter table.
std::vector<std::uint32_t> FullPalette(const DibView& dib) {
    std::vector<std::uint32_t> palette(
        dib.palette.begin(),
        dib.palette.begin() +
            static_cast<std::ptrdiff_t>(std::min<std::size_t>(dib.palette.size(), 256)));
    palette.resize(256, 0xFF000000u);
    return palette;
}

// Decoded rows kept at once; a few rows of the widest bitmap stay small.
constexpr int kDecodedWindow = 8;

void PutBgra(std::uint8_t* p, std::uint32_t argb) {
    p[0] = static_cast<std::uint8_t>(argb);
    p[1] = static_cast<std::uint8_t>(argb >> 8);
    p[2] = static_cast<std::uint8_t>(argb >> 16);
    p[3] = static_cast<std::uint8_t>(argb >> 24);
}

// 24 and 32 bpp BI_RGB: the stored bytes already are B, G, R(, X) and are
// handed out in place.
class RawRows final : public DibRows {
public:
    RawRows(const DibView& dib, int x0) : dib_(dib), x0_(x0) {
        channels_ = dib.bitCount / 8;
        opaque_ = channels_ == 3 || !dib.hasAlpha;
        window_ = std::numeric_limits<int>::max();
    }
    const std::uint8_t* Row(int y) override {
        const int stored = dib_.topDown ? y : dib_.height - 1 - y;
        return dib_.bits + static_cast<std::size_t>(stored) * dib_.stride +
               static_cast<std::size_t>(x0_) * channels_;
    }

private:
    const DibView& dib_;
    int x0_;
};

// 1, 4 and 8 bpp through the colour table.
class IndexedRows final : public DibRows {
public:
    IndexedRows(const DibView& dib, int x0, int x1)
        : dib_(dib), x0_(x0), x1_(x1), palette_(FullPalette(dib)) {
        MakeRing(static_cast<std::size_t>(x1 - x0) * 4, kDecodedWindow);
    }
    const std::uint8_t* Row(int y) override {
        const int stored = dib_.topDown ? y : dib_.height - 1 - y;
        const std::uint8_t* src = dib_.bits + static_cast<std::size_t>(stored) * dib_.stride;
        const std::uint32_t* palette = palette_.data();
        std::uint8_t* buffer = NextBuffer();
        std::uint8_t* out = buffer;
        switch (dib_.bitCount) {
            case 8:
                for (int x = x0_; x < x1_; ++x, out += 4)
                    PutBgra(out, palette[src[x]]);
                break;
            case 4:
                for (int x = x0_; x < x1_; ++x, out += 4)
                    PutBgra(out, palette[(x & 1) ? src[x >> 1] & 0x0F : src[x >> 1] >> 4]);
                break;
            default:
                for (int x = x0_; x < x1_; ++x, out += 4)
                    PutBgra(out, palette[(src[x >> 3] >> (7 - (x & 7))) & 1]);
                break;
        }
        return buffer;
    }

private:
    const DibView& dib_;
    int x0_, x1_;
    std::vector<std::uint32_t> palette_;
};

// One colour channel of a 16/32 bpp pixel under a mask, widened to 8 bits:
// rounded v * 255 / max through a table for channels up to 12 bits, the top
// 8 bits for wider ones.
class Channel {
public:
    explicit Channel(std::uint32_t mask) : mask_(mask) {
        if (!mask) return;
        shift_ = std::countr_zero(mask);
        const std::uint32_t max = mask >> shift_;
        if (max < 4096) {
            table_.resize(max + 1);
            for (std::uint32_t v = 0; v <= max; ++v)
                table_[v] = static_cast<std::uint8_t>((v * 255 + max / 2) / max);
        } else {
            shift_ += std::bit_width(max) - 8;
        }
    }
    bool empty() const { return mask_ == 0; }
    std::uint8_t Get(std::uint32_t px) const {
        const std::uint32_t v = (px & mask_) >> shift_;
        return table_.empty() ? static_cast<std::uint8_t>(v) : table_[v];
    }

private:
    std::uint32_t mask_ = 0;
    int shift_ = 0;
    std::vector<std::uint8_t> table_;
};

// 16 bpp (BI_RGB 5-5-5 or bit fields) and 32 bpp bit fields.
class MaskedRows final : public DibRows {
public:
    MaskedRows(const DibView& dib, int x0, int x1)
        : dib_(dib),
          x0_(x0),
          x1_(x1),
          r_(dib.masks[0]),
          g_(dib.masks[1]),
          b_(dib.masks[2]),
          a_(dib.hasAlpha ? dib.masks[3] : 0) {
        MakeRing(static_cast<std::size_t>(x1 - x0) * 4, kDecodedWindow);
    }
    const std::uint8_t* Row(int y) override {
        const int stored = dib_.topDown ? y : dib_.height - 1 - y;
        const std::uint8_t* src = dib_.bits + static_cast<std::size_t>(stored) * dib_.stride;
        std::uint8_t* buffer = NextBuffer();
        std::uint8_t* out = buffer;
        const bool wide = dib_.bitCount == 32;
        for (int x = x0_; x < x1_; ++x, out += 4) {
            const std::uint32_t px = wide ? qFromLittleEndian<std::uint32_t>(src + x * 4)
                                          : qFromLittleEndian<std::uint16_t>(src + x * 2);
            out[0] = b_.Get(px);
            out[1] = g_.Get(px);
            out[2] = r_.Get(px);
            out[3] = a_.empty() ? 255 : a_.Get(px);
        }
        return buffer;
    }

private:
    const DibView& dib_;
    int x0_, x1_;
    Channel r_, g_, b_, a_;
};

// BI_RLE8 / BI_RLE4 as a stream from the bottom row up. Pixels the stream
// never writes (skipped by a delta, cut short by end of line or of bitmap)
// stay transparent, as GDI leaves the destination alone there.
class RleRows final : public DibRows {
public:
    RleRows(const DibView& dib, int x0, int x1)
        : dib_(dib),
          x0_(x0),
          x1_(x1),
          bytes_(static_cast<std::size_t>(x1 - x0) * 4),
          palette_(FullPalette(dib)) {
        MakeRing(bytes_, kDecodedWindow);
        bottomUpOnly_ = true;
    }
    const std::uint8_t* Row(int y) override {
        const int stored = dib_.height - 1 - y;
        if (stored == current_) return buffer_;
        buffer_ = NextBuffer();
        std::fill(buffer_, buffer_ + bytes_, std::uint8_t{0});
        current_ = stored;
        Decode(stored);  // rows asked out of order, or skipped by the stream, stay empty
        return buffer_;
    }

private:
    // Runs the stream until it leaves row `target`, writing that row's pixels.
    void Decode(int target) {
        const std::uint8_t* p = dib_.bits;
        const std::size_t n = dib_.bitsSize;
        const bool four = dib_.compression == kBiRle4;
        while (!done_ && posY_ <= target) {
            if (at_ + 2 > n) {
                done_ = true;
                break;
            }
            const unsigned first = p[at_];
            const unsigned second = p[at_ + 1];
            if (first > 0) {  // encoded run: `first` pixels of one index (or two alternating)
                if (posY_ == target)
                    for (unsigned i = 0; i < first; ++i) {
                        const unsigned index =
                            four ? ((i & 1) ? second & 0x0F : second >> 4) : second;
                        Put(posX_ + static_cast<std::int64_t>(i), index);
                    }
                posX_ += first;
                at_ += 2;
            } else if (second == 0) {  // end of line
                posX_ = 0;
                ++posY_;
                at_ += 2;
            } else if (second == 1) {  // end of bitmap
                done_ = true;
            } else if (second == 2) {  // delta: move right and up
                if (at_ + 4 > n) {
                    done_ = true;
                    break;
                }
                posX_ += p[at_ + 2];
                posY_ += p[at_ + 3];
                at_ += 4;
            } else {  // absolute run of `second` pixels, padded to a word
                const std::size_t bytes = four ? (second + 1) / 2 : second;
                if (at_ + 2 + bytes > n) {
                    done_ = true;
                    break;
                }
                if (posY_ == target) {
                    const std::uint8_t* run = p + at_ + 2;
                    for (unsigned i = 0; i < second; ++i) {
                        const unsigned index =
                            four ? ((i & 1) ? run[i / 2] & 0x0F : run[i / 2] >> 4) : run[i];
                        Put(posX_ + static_cast<std::int64_t>(i), index);
                    }
                }
                posX_ += second;
                at_ += 2 + (bytes + 1) / 2 * 2;
            }
            if (posY_ >= dib_.height) done_ = true;
        }
    }
    // Pixels beyond the row end are dropped rather than wrapped.
    void Put(std::int64_t x, unsigned index) {
        if (x < x0_ || x >= x1_) return;
        PutBgra(buffer_ + (x - x0_) * 4, palette_[index]);
    }

    const DibView& dib_;
    int x0_, x1_;
    std::size_t bytes_;
    std::vector<std::uint32_t> palette_;
    std::uint8_t* buffer_ = nullptr;
    int current_ = -1;
    std::size_t at_ = 0;
    std::int64_t posX_ = 0;
    int posY_ = 0;
    bool done_ = false;
};

// BI_JPEG / BI_PNG: Qt decodes the whole image. Where its size differs from
// the header's, the pixels it lacks are transparent.
class ImageRows final : public DibRows {
public:
    ImageRows(QImage image, int x0, int x1)
        : image_(std::move(image)),
          x0_(x0),
          x1_(x1),
          bytes_(static_cast<std::size_t>(x1 - x0) * 4) {
        MakeRing(bytes_, kDecodedWindow);
    }
    const std::uint8_t* Row(int y) override {
        std::uint8_t* buffer = NextBuffer();
        std::fill(buffer, buffer + bytes_, std::uint8_t{0});
        if (y >= image_.height()) return buffer;
        const auto* line = reinterpret_cast<const QRgb*>(image_.constScanLine(y));
        const int end = std::min(x1_, image_.width());
        for (int x = x0_; x < end; ++x)
            PutBgra(buffer + (x - x0_) * 4, line[x]);
        return buffer;
    }

private:
    QImage image_;
    int x0_, x1_;
    std::size_t bytes_;
};

}  // namespace

std::unique_ptr<DibRows> MakeDibRows(const DibView& dib, int x0, int x1) {
    switch (dib.compression) {
        case kBiRgb:
            if (dib.bitCount == 24 || dib.bitCount == 32) return std::make_unique<RawRows>(dib, x0);
            if (dib.bitCount == 16) return std::make_unique<MaskedRows>(dib, x0, x1);
            return std::make_unique<IndexedRows>(dib, x0, x1);
        case kBiBitfields:
            // The usual 32 bpp masks are plain B, G, R(, A) bytes.
            if (dib.bitCount == 32 && dib.masks[0] == 0x00FF0000 && dib.masks[1] == 0x0000FF00 &&
                dib.masks[2] == 0x000000FF && (dib.masks[3] == 0xFF000000 || !dib.hasAlpha))
                return std::make_unique<RawRows>(dib, x0);
            return std::make_unique<MaskedRows>(dib, x0, x1);
        case kBiRle8:
        case kBiRle4:
            return std::make_unique<RleRows>(dib, x0, x1);
        case kBiJpeg:
        case kBiPng: {
            QImage image;
            if (dib.bitsSize > static_cast<std::size_t>(std::numeric_limits<int>::max()) ||
                !image.loadFromData(dib.bits, static_cast<int>(dib.bitsSize)))
                return nullptr;
            // Keep the image's alpha only when the DIB says it carries any.
            image = image.convertToFormat(dib.hasAlpha ? QImage::Format_ARGB32_Premultiplied
                                                       : QImage::Format_RGB32);
            return std::make_unique<ImageRows>(std::move(image), x0, x1);
        }
        default:
            return nullptr;
    }
}

}  // namespace mf::dib_internal
