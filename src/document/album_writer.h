#pragma once

// Writes album documents of every producer, format version and extension:
// used by the tests, the fuzz seeds, the benchmark and `neridal-tool pack`.
// Overrides let tests write deliberately inconsistent files.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "document/album_format.h"

struct AlbumPage {
    QByteArray picture;            // EMF or placeable WMF bytes
    std::uint8_t orientation = 0;  // 9-byte records only
    // Values written instead of the true ones, to make damaged files.
    std::optional<std::int32_t> offsetOverride;
    std::optional<std::int32_t> sizeOverride;
};

struct AlbumDraft {
    QByteArray producer = "PXA";  // tag text, up to 4 characters
    Scaled producerVersion = 30000;
    Scaled marginTop = 0, marginBottom = 0, marginLeft = 0, marginRight = 0;
    TAlbumSettings settings;
    std::vector<TTocEntry> toc;
    std::vector<AlbumPage> pages;
    bool nineByteRecords = true;  // must agree with the extension: .PXA has 9-byte records
    std::uint8_t baseOrientation = 0;
    // Format 2.0 and later: zero bytes between the compressed stream and the
    // first picture; page offsets count from the page base.
    int pictureGap = 16;
    int zlibLevel = 6;

    // Overrides for damaged files.
    std::optional<std::int32_t> pageCountOverride;
    std::optional<std::int32_t> bodyLengthOverride;  // format 1.x header bytes 44-47
    std::optional<std::int32_t> tocLengthOverride;
    QByteArray tocExtraBytes;  // bytes appended to the contents block (counted in its length)
};

// The producer version actually written: a four-character tag keeps its fourth
// character in the version's lowest byte, so the version is lowered to the
// nearest value whose lowest byte is that character.
Scaled WrittenProducerVersion(const AlbumDraft& draft);

// The whole file.
QByteArray WriteAlbum(const AlbumDraft& draft);
// The record width follows the path's extension, as a reader would take it.
bool WriteAlbumFile(const QString& path, const AlbumDraft& draft, QString* error = nullptr);

// A settings block with the usual fields filled (A4 portrait, empty texts).
TAlbumSettings DefaultSettings();
