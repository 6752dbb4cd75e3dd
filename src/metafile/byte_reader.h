#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace mf {

// Little-endian reads from a byte range that never leave it. A read past the
// end yields zero and marks the reader as short, so callers can read a whole
// record structure and check `ok()` once.
class ByteReader {
public:
    ByteReader() = default;
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t size() const { return size_; }
    const std::uint8_t* data() const { return data_; }
    bool ok() const { return ok_; }
    bool has(std::size_t offset, std::size_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }

    std::uint8_t u8(std::size_t off) const { return has(off, 1) ? data_[off] : fail8(); }
    std::uint16_t u16(std::size_t off) const {
        if (!has(off, 2)) return fail16();
        return std::uint16_t(data_[off] | (data_[off + 1] << 8));
    }
    std::int16_t i16(std::size_t off) const { return std::int16_t(u16(off)); }
    std::uint32_t u32(std::size_t off) const {
        if (!has(off, 4)) return fail32();
        return std::uint32_t(data_[off]) | (std::uint32_t(data_[off + 1]) << 8) |
               (std::uint32_t(data_[off + 2]) << 16) | (std::uint32_t(data_[off + 3]) << 24);
    }
    std::int32_t i32(std::size_t off) const { return std::int32_t(u32(off)); }
    float f32(std::size_t off) const {
        const std::uint32_t bits = u32(off);
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }

    // A sub-range, empty (and the reader marked short) when it does not fit.
    ByteReader sub(std::size_t offset, std::size_t length) const {
        if (!has(offset, length)) {
            ok_ = false;
            return ByteReader();
        }
        return ByteReader(data_ + offset, length);
    }

    // Whether `count` items of `itemSize` bytes fit from `offset`.
    bool hasArray(std::size_t offset, std::uint64_t count, std::size_t itemSize) const {
        if (offset > size_) return false;
        return count <= (size_ - offset) / (itemSize ? itemSize : 1);
    }

private:
    std::uint8_t fail8() const { return ok_ = false, 0; }
    std::uint16_t fail16() const { return ok_ = false, 0; }
    std::uint32_t fail32() const { return ok_ = false, 0; }

    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    mutable bool ok_ = true;
};

}  // namespace mf
