// Reading one page's bytes from an open album: bounded by the page's record,
// inflated in one call where its stream allows, by the streaming reader
// otherwise.
#include <limits>

#include "document/album_document.h"
#include "document/document_logging.h"
#include "document/positional_device.h"
#include "document/whole_inflate.h"
#include "document/zlib_reader.h"

namespace {

// Deflate frames what it cannot compress in stored blocks of up to 65535
// bytes; a page's stream is read whole only up to this share of its declared
// size beyond it, plus the zlib framing and a final block or two.
constexpr qint64 kStoredFramingShare = 256;
constexpr qint64 kStreamFraming = 4096;

// How far a page's stored stream may reach: to the next page's stream or the
// end of the file, and no further than stored blocks would take its declared
// size.
qint64 StoredStreamLimit(const AlbumDocument& doc, const TPageEntry& entry) {
    qint64 end = doc.source.size();
    for (size_t k = 1; k < doc.pages.size(); ++k) {
        if (doc.pages[k].offset > entry.offset) end = std::min<qint64>(end, doc.pages[k].offset);
    }
    const qint64 framing = entry.size / kStoredFramingShare + kStreamFraming;
    return std::min(end - entry.offset, entry.size + framing);
}

// A compressed page, read from its offset and inflated in one call into
// `out`, its declared size. Nothing when the stream does not simply end within
// it or cannot be read whole.
std::optional<qint64> InflateStoredPage(const AlbumDocument& doc, QIODevice& body,
                                        const TPageEntry& entry, QByteArray& out) {
    if (!OneCallInflate()) return std::nullopt;
    std::optional<QByteArray> input = AllocateBuffer(StoredStreamLimit(doc, entry));
    if (!input) return std::nullopt;
    const qint64 got = body.read(input->data(), input->size());
    if (got <= 0) return std::nullopt;
    return InflateWhole(std::span<const char>(input->constData(), size_t(got)), out);
}

// Inflates up to `count` bytes and drops them; how many there were, or -1.
qint64 DiscardInflated(ZlibReader& inflater, qint64 count) {
    char scratch[16384];
    qint64 done = 0;
    while (done < count) {
        const qint64 got = inflater.read(scratch, std::min<qint64>(sizeof scratch, count - done));
        if (got < 0) return got;
        done += got;
        if (got == 0 || !inflater.error().isEmpty()) break;
    }
    return done;
}

bool PageFail(LoadError* error, LoadError::Kind kind, const AlbumDocument& doc,
              const QString& reason) {
    if (error) *error = MakeLoadError(kind, doc.fileName, reason);
    return false;
}

}  // namespace

std::optional<QByteArray> ReadPageBytes(const AlbumDocument& doc, int page, LoadError* error,
                                        QString* irregularity) {
    const auto damaged = [&](const QString& reason) {
        PageFail(error, LoadError::Kind::Damaged, doc,
                 QStringLiteral("page %1: %2").arg(page).arg(reason));
        return std::nullopt;
    };
    if (page < 1 || page > doc.pageCount || size_t(page) >= doc.pages.size())
        return damaged(QStringLiteral("there is no such page"));
    const TPageEntry& entry = doc.pages[size_t(page)];
    const bool compressed = doc.PagesAreZlibStreams();
    const QString where = BodySchemeOf(doc.formatVersion) == BodyScheme::WholeBody
                              ? QStringLiteral("the inflated body")
                              : QStringLiteral("the file");
    if (entry.size < 0) return damaged(QStringLiteral("the size %1 is negative").arg(entry.size));
    if (entry.offset < 0 || entry.offset > doc.source.size())
        return damaged(
            QStringLiteral("the offset %1 lies outside %2").arg(entry.offset).arg(where));
    if (!compressed && entry.size > doc.source.size() - entry.offset)
        return damaged(QStringLiteral("%1 bytes at %2 reach past the end of %3")
                           .arg(entry.size)
                           .arg(entry.offset)
                           .arg(where));
    if (compressed && entry.size > (doc.source.size() - entry.offset + 1) * kMaxInflateRatio)
        return damaged(
            QStringLiteral("the size %1 is more than the stored data can hold").arg(entry.size));
    // A reader of its own: pages may be read on any thread.
    if (!doc.source.isOpen()) return damaged(QStringLiteral("its file is not open"));
    const std::unique_ptr<PositionalDevice> reader = doc.source.ReaderAt(entry.offset);
    if (!reader) return damaged(QStringLiteral("cannot seek to its offset"));
    PositionalDevice& body = *reader;

    if (!compressed) {
        QByteArray bytes(entry.size, Qt::Uninitialized);
        if (body.read(bytes.data(), entry.size) != entry.size)
            return damaged(QStringLiteral("the picture is cut short"));
        return bytes;
    }
    const auto inflatesShort = [&](qint64 inflated) {
        return damaged(QStringLiteral("the picture inflates to %1 bytes, %2 are announced")
                           .arg(inflated)
                           .arg(entry.size));
    };
    std::optional<QByteArray> bytes = AllocateBuffer(entry.size);
    if (bytes) {
        if (const std::optional<qint64> inflated = InflateStoredPage(doc, body, entry, *bytes)) {
            if (*inflated < entry.size) return inflatesShort(*inflated);
            return bytes;
        }
        if (!body.seek(entry.offset)) return damaged(QStringLiteral("cannot seek to its offset"));
    }
    qCDebug(lcInflate) << "page" << page << "of" << doc.fileName << "is inflated piece by piece";
    // The streaming reader finds out what is wrong with the stream; it also
    // tells a page too large to hold from a damaged one.
    ZlibReader inflater(body);
    const qint64 inflated =
        bytes ? inflater.read(bytes->data(), entry.size) : DiscardInflated(inflater, entry.size);
    if (inflated < 0 || !inflater.error().isEmpty()) return damaged(inflater.error());
    if (inflated < entry.size) return inflatesShort(inflated);
    // The page is its declared bytes; what its stream holds beyond them is
    // read to the stream's end, so that a stream cut or damaged there is
    // still found.
    const qint64 surplus = DiscardInflated(inflater, std::numeric_limits<qint64>::max());
    if (surplus < 0 || !inflater.error().isEmpty()) return damaged(inflater.error());
    if (surplus > 0) {
        const QString note = QStringLiteral(
                                 "page %1: the picture inflates to %2 bytes, %3 are announced; "
                                 "the page is its first %3")
                                 .arg(page)
                                 .arg(entry.size + surplus)
                                 .arg(entry.size);
        qCInfo(lcLenient) << doc.fileName << "is read although" << note;
        if (irregularity) *irregularity = note;
    }
    if (!bytes) {
        PageFail(error, LoadError::Kind::Io, doc,
                 QStringLiteral("page %1: there is no memory for its %2 bytes")
                     .arg(page)
                     .arg(entry.size));
        return std::nullopt;
    }
    return bytes;
}
