#pragma once

// The loaded album: what OpenDocument fills into a document window, and the
// loader that fills it. Widgets call these; nothing here shows a window.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "core/units.h"
#include "document/album_format.h"
#include "document/page_source.h"
#include "metafile/picture.h"

// Why an open or a page load failed. The viewer turns it into a message box;
// neridal-tool prints it.
struct LoadError {
    enum class Kind {
        NotFound,    // "書類名がパラメータとして渡されていません。"
        BadName,     // "この形式はサポートされていません。 > NAME"
        BadVersion,  // "このバージョンはサポートされていません。 > NAME"
        NoPages,     // the page index describes no pages; no message in the viewer
        Damaged,     // the file is cut short, has bad zlib data or wild offsets
        Io,          // the file or the temporary copy cannot be read or written
        BadPicture,  // a page's bytes are not an EMF or placeable WMF
    };
    Kind kind = Kind::Damaged;
    QString fileName;  // the path as given
    QString message;   // user-facing text (Japanese), names the file
    QString reason;    // what is wrong, in plain English, for the tool and for tests
};

struct TocItem {
    std::int16_t page = 0;   // 1-based page index, without the page-number offset
    std::int16_t level = 0;  // 0 = top level
    QString text;            // after TrimBlanks, as Unicode
};

// An open album. Nothing in it changes once it is opened, so windows,
// printers and background page loads share it; the page shown, the paper a
// window adopted and everything in pixels belong to whoever shows the album.
struct AlbumDocument {
    QString fileName;
    bool pxaFlag = true;  // 9-byte page records
    bool wideSettings = true;
    Scaled formatVersion = 0;
    TAlbumHeader header{};
    TAlbumSettings settings{};  // wide or narrow layout, decoded; paper in millimetres
    std::int32_t pageCount = 0;
    std::int32_t pageNumberOffset = 0;
    std::vector<TPageEntry> pages;  // record 0 (count record) then pages 1..N
    std::vector<TocItem> toc;
    PageSource source;  // the album file (2.0+) or the temporary copy (1.x)
    // What the producer wrote otherwise than the format says although nothing
    // is lost, one plain-English line each (a body shorter than announced).
    QStringList irregularities;
    // Why the body stream cannot be read to its end; empty when it can. Such
    // an album opens when its settings, contents and page index are whole:
    // format 1.x keeps what the stream gave before it failed, and a page that
    // lies beyond that is damaged.
    QString bodyDamage;

    // A PXA page whose orientation byte differs from record 0's.
    bool IsTurnedPage(int page) const;
    // Each page is a zlib stream of its own, inflated when it is read.
    bool PagesAreZlibStreams() const {
        return BodySchemeOf(formatVersion) == BodyScheme::CompressedPictures;
    }
};

struct OpenOptions {
    QString workFolder;  // where NERIDAL_n.TMP copies go (with trailing separator)
};

// The reading part of opening a document: validates, reads header, settings,
// contents and page index, makes the temporary copy for format 1.x. No page
// is loaded yet.
std::unique_ptr<const AlbumDocument> OpenAlbum(const QString& path, const OpenOptions& options,
                                               LoadError* error);

// The reading part of loading a page, for `page` (1..pageCount): its bytes,
// tested and loaded as a picture.
std::optional<mf::Picture> LoadPagePicture(const AlbumDocument& doc, int page, LoadError* error);

// The raw bytes of a page (inflated for format 3.0), bounded by the declared size.
// Pages of one document may be read on several threads at once. A page stream
// that inflates to more than its declared size is read as its declared bytes,
// and `irregularity` (when given) says so; otherwise it is left alone.
std::optional<QByteArray> ReadPageBytes(const AlbumDocument& doc, int page, LoadError* error,
                                        QString* irregularity = nullptr);

// The error of `kind` for the album at `path`, with its user-facing message.
LoadError MakeLoadError(LoadError::Kind kind, const QString& path, const QString& reason);
