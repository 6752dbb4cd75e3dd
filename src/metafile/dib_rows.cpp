// Row decoders behind DibRows: raw rows for 24/32 bpp, palette and bit-field
// expansion for the other uncompressed formats.

#include "metafile/dib_rows.h"

namespace mf::dib_internal {
namespace {

// 24 and 32 bpp BI_RGB: the stored bytes already are B, G, R(, X) and are
// handed out in place.
class RawRows final : public DibRows {
public:
    RawRows(const DibView& dib, int x0) : dib_(dib), x0_(x0) {
        channels_ = dib.bitCount / 8;
        opaque_ = channels_ == 3 || !dib.hasAlpha;
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

}  // namespace

std::unique_ptr<DibRows> MakeDibRows(const DibView& dib, int x0, int x1) {
    (void)x1;
    if (dib.compression == kBiRgb && (dib.bitCount == 24 || dib.bitCount == 32))
        return std::make_unique<RawRows>(dib, x0);
    return nullptr;
}

}  // namespace mf::dib_internal
