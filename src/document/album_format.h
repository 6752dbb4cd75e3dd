#pragma once

// The bytes of an album document: header, settings block, contents entries,
// page-index records, the extension and producer tables and the rules that
// derive the format version from the header.

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

#include "core/units.h"

constexpr int kHeaderSize = 48;
constexpr int kWideSettingsSize = 441;
constexpr int kNarrowSettingsSize = 391;
constexpr int kTocEntrySize = 59;
constexpr int kMaxTocEntries = 999;

// The 48-byte plain header at offset 0. Its four fields cover every byte, so
// Serialize() reproduces the bytes that Parse() read.
struct TAlbumHeader {
    std::array<std::uint8_t, 4> tag{};  // length byte and three characters
    Scaled producerVersion = 0;
    Scaled marginTop = 0;  // millimetres
    Scaled marginBottom = 0;
    Scaled marginLeft = 0;
    Scaled marginRight = 0;
    std::int32_t pageBase = 0;  // format 1.x: inflated body length; 2.0 and later: page base

    static TAlbumHeader Parse(const char* bytes);  // kHeaderSize bytes
    QByteArray Serialize() const;

    // The tag as a text: the characters after the length byte, as many as it
    // says. A length of 4 takes its fourth character from the lowest byte of
    // the producer version; the text never reaches past the header.
    QByteArray ProducerText() const;
    // Bytes 0-3 equal a length-3 tag such as "PXA".
    bool TagIs(const char* threeChars) const;
};

// The settings block, decoded. Texts are Shift-JIS bytes as stored (a length
// byte above the field's capacity is cut to the capacity).
struct TAlbumSettings {
    double created = 0;  // OLE Automation date
    QByteArray title;    // capacity 100 (wide) or 50 (narrow)
    QByteArray remarks;  // capacity 50
    QByteArray author;   // capacity 30
    std::int32_t pageNumberOffset = 0;
    std::int32_t paperCode = 0;    // DMPAPER code, 256 = user-defined
    std::uint8_t orientation = 0;  // 0 portrait, else landscape
    std::int32_t paperWidth = 0;   // whole millimetres
    std::int32_t paperHeight = 0;
    std::uint8_t externalCharsConverted = 0;
    QByteArray substituteFont;  // capacity 30
    QByteArray fontsUsed;       // capacity 200, names separated by CR LF

    static int Size(bool wide) { return wide ? kWideSettingsSize : kNarrowSettingsSize; }
    static TAlbumSettings Parse(const char* bytes, bool wide);  // Size(wide) bytes
    QByteArray Serialize(bool wide) const;                      // texts longer than a field are cut
};

// One 59-byte contents entry.
struct TTocEntry {
    std::int32_t pageSlot = 0;   // readers take the low 16 bits, signed
    std::int32_t levelSlot = 0;  // likewise
    QByteArray text;             // Shift-JIS, capacity 50

    std::int16_t page() const { return std::int16_t(std::uint16_t(pageSlot & 0xFFFF)); }
    std::int16_t level() const { return std::int16_t(std::uint16_t(levelSlot & 0xFFFF)); }
    static TTocEntry Parse(const char* bytes);  // kTocEntrySize bytes
    QByteArray Serialize() const;
};

// One page-index record: 8 bytes, or 9 with the orientation byte. In record 0
// `size` holds the page count and `orientation` the base orientation.
// After loading, `offset` of a page record is its final position (file position
// for format 2.0 and later), which may exceed the int32 range of the record.
struct TPageEntry {
    std::int64_t offset = 0;
    std::int32_t size = 0;
    std::uint8_t orientation = 0;

    static int Size(bool nineByte) { return nineByte ? 9 : 8; }
    static TPageEntry Parse(const char* bytes, bool nineByte);
    QByteArray Serialize(bool nineByte) const;  // offset written as its low 32 bits
};

struct ProducerRow {
    const char* tag;
    Scaled highestVersion;
};

inline constexpr std::array<const char*, 5> AlbumExtensions = {"PXA", "PXB", "PXC", "PXD", "PXA"};
inline constexpr std::array<ProducerRow, 5> ProducerTable = {{
    {"RTWA", 20000},
    {"RTB", 80000},
    {"RTB", 60000},
    {"RTC", 70000},
    {"PXA", 30000},
}};

// The name, upper-cased, contains "." followed by one of the extensions.
bool IsAlbumFileName(const QString& name);
// The name's extension, upper-cased, is ".PXA": the page index has 9-byte records.
bool HasPxaExtension(const QString& name);

// Scaled format version; 0 rejects the document.
Scaled DocumentFormatVersion(const TAlbumHeader& header);
bool HasWideSettings(const TAlbumHeader& header);

enum class BodyScheme { WholeBody, PlainPictures, CompressedPictures };
// How a format version stores its body and pictures (version at least 1.0).
BodyScheme BodySchemeOf(Scaled formatVersion);

// The header with new margins and every other byte as it was.
TAlbumHeader WithMargins(const TAlbumHeader& header, Scaled top, Scaled bottom, Scaled left,
                         Scaled right);

// Rewrites bytes 0-47 of the document with `header`, touching nothing after
// them. Refuses a file shorter than a header, and one whose header differs
// from `header` elsewhere than in the margins (not the album that was read).
// Returns false with a message that names the file.
bool WriteHeaderMargins(const QString& path, const TAlbumHeader& header, QString* error);
