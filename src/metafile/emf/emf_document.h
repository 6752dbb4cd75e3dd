#pragma once

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <optional>

namespace mf {

// An EMF's header and the extent of its record stream, checked once.
struct EmfDocument {
    QByteArray bytes;         // shares the caller's buffer
    QRect bounds;             // device units of the reference device
    QRect frame;              // 0.01 mm, inclusive
    QSize devicePixels;       // reference device size in pixels
    QSize deviceMillimeters;  // ... and in millimetres
    std::uint32_t handles = 0;
    std::size_t firstRecord = 0;
    std::size_t end = 0;  // end of the last whole record (EOF included)
    std::uint32_t recordCount = 0;
    std::uint32_t bitmapRecords = 0;  // records that carry a bitmap
    std::uint64_t bitmapBytes = 0;    // ... and their size
    // The type of a record that ran past the end and ended the walk.
    std::optional<std::uint32_t> damagedTail;

    // Reference-device pixels per millimetre.
    double pxPerMmX() const;
    double pxPerMmY() const;
    // Frame in reference-device pixels.
    QRectF frameInPixels() const;
    // Frame size in pixels at the reference device's resolution.
    QSize naturalSize() const;
};

// Checks the header and walks the records (every size at least 8 and within
// the file); stops at EOF or at the first record that does not fit.
std::optional<EmfDocument> ReadEmf(const QByteArray& bytes, QString* why = nullptr);

// Whether the bytes start like an EMF: longer than 100 bytes, the header
// record first and the " EMF" signature in it.
bool LooksLikeEmf(const char* data, qsizetype size);
inline bool LooksLikeEmf(const QByteArray& bytes) {
    return LooksLikeEmf(bytes.constData(), bytes.size());
}

}  // namespace mf
