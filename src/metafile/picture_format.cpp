#include <cstdint>

#include "metafile/picture.h"

namespace mf {
namespace {

std::uint32_t Dword(const char* p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return std::uint32_t(u[0]) | std::uint32_t(u[1]) << 8 | std::uint32_t(u[2]) << 16 |
           std::uint32_t(u[3]) << 24;
}

std::uint16_t Word(const char* p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return std::uint16_t(u[0] | u[1] << 8);
}

constexpr std::uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr qsizetype kPlaceableHeaderSize = 22;
constexpr qsizetype kWmfHeaderSize = 18;

bool LooksLikeEmf(const char* data, qsizetype size) {
    return size > 100 && Dword(data) == 1 && Dword(data + 40) == kEmfSignature;
}

// The checksum is the XOR of the header's first ten words.
bool PlaceableChecksumValid(const char* data) {
    std::uint16_t sum = 0;
    for (int i = 0; i < 10; ++i)
        sum ^= Word(data + 2 * i);
    return sum == Word(data + 20);
}

// METAHEADER: type 1 (memory) or 2 (disk), header size 9 words, version 1.0 or 3.0.
bool LooksLikePlainWmf(const char* data, qsizetype size) {
    if (size < kWmfHeaderSize) return false;
    const std::uint16_t type = Word(data);
    const std::uint16_t headerWords = Word(data + 2);
    const std::uint16_t version = Word(data + 4);
    return (type == 1 || type == 2) && headerWords == 9 && (version == 0x0100 || version == 0x0300);
}

}  // namespace

PictureFormat DetectPictureFormat(const char* data, qsizetype size) {
    if (data == nullptr || size <= 0) return PictureFormat::Invalid;
    if (LooksLikeEmf(data, size)) return PictureFormat::Emf;
    if (size >= 4 && Dword(data) == kPlaceableKey) {
        return size >= kPlaceableHeaderSize && PlaceableChecksumValid(data)
                   ? PictureFormat::PlaceableWmf
                   : PictureFormat::Invalid;
    }
    if (LooksLikePlainWmf(data, size)) return PictureFormat::PlainWmf;
    return PictureFormat::Invalid;
}

}  // namespace mf
