#pragma once

// The headers of a WMF (the optional placeable one and the metafile header)
// and a bounds-checked walk over its records.

#include <QByteArray>
#include <QRect>
#include <QString>
#include <cstdint>
#include <optional>

namespace mf::wmf {

// XOR of the placeable header's first ten words: what its eleventh holds.
// `header` points at 22 readable bytes.
std::uint16_t PlaceableChecksum(const char* header);

// Whether the bytes start with a placeable header: key and checksum.
bool IsPlaceableHeader(const char* data, qsizetype size);

// Whether the bytes start with a METAHEADER: type memory or disk, nine words,
// version 1.0 or 3.0.
bool IsMetaHeader(const char* data, qsizetype size);

// The placeable header for `bbox` in `unitsPerInch` units, checksum included.
QByteArray PlaceableHeader(const QRect& bbox, int unitsPerInch);

struct Header {
    bool placeable = false;
    QRect bbox;                 // placeable only
    int unitsPerInch = 0;       // placeable only
    int objectCount = 0;        // size of the object table
    qsizetype firstRecord = 0;  // byte offset of the first record
};

std::optional<Header> ParseHeader(const QByteArray& wmf, QString* why);

// One record's parameters. Reads past the end give 0; callers check words()
// before they rely on a field.
struct Record {
    std::uint16_t function = 0;
    const unsigned char* params = nullptr;
    qsizetype paramBytes = 0;

    qsizetype words() const { return paramBytes / 2; }
    std::uint16_t u(qsizetype i) const;
    std::int16_t s(qsizetype i) const { return std::int16_t(u(i)); }
    // Two words as one 32-bit value, low word first.
    std::uint32_t u32(qsizetype i) const { return u(i) | (std::uint32_t(u(i + 1)) << 16); }
    // Bytes from word `i` to the end of the record.
    const unsigned char* bytesAt(qsizetype i) const { return params + 2 * i; }
    qsizetype bytesFrom(qsizetype i) const { return i * 2 <= paramBytes ? paramBytes - 2 * i : 0; }
};

// Walks the records from the header on. Stops at META_EOF, at a record whose
// size is below the 3-word minimum (it would never advance) or that runs past
// the end of the bytes.
class RecordReader {
public:
    RecordReader(const QByteArray& wmf, qsizetype first) : data_(wmf), pos_(first) {}
    bool Next(Record& r);
    // True when the walk ended at META_EOF rather than at damage.
    bool reachedEof() const { return eof_; }
    // True when it ended at a record whose size is impossible or runs past
    // the end; that record's function is `damagedFunction()`.
    bool stoppedAtDamage() const { return damaged_; }
    std::uint16_t damagedFunction() const { return damagedFunction_; }

private:
    const QByteArray& data_;
    qsizetype pos_;
    bool eof_ = false;
    bool done_ = false;
    bool damaged_ = false;
    std::uint16_t damagedFunction_ = 0;
};

}  // namespace mf::wmf
