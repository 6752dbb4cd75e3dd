#include "document/album_document.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>

#include "core/cp932.h"
#include "core/sjis_text.h"
#include "document/document_paper.h"
#include "document/temp_copy.h"
#include "document/zlib_reader.h"

namespace {

constexpr qint64 kCopyBlock = 4096;
// The compressed side is read in larger pieces: fewer reads, same output blocks.
constexpr qint64 kCopyInputChunk = 256 * 1024;
// Deflate cannot inflate more than about 1032 bytes from one stored byte; a
// length beyond that ratio cannot be genuine.
constexpr qint64 kMaxInflateRatio = 1100;
// Page records are read in chunks so that a wild page count allocates no more
// than the data really holds.
constexpr qint64 kRecordChunk = 65536;

QString BaseName(const QString& path) {
    return QFileInfo(path).fileName();
}

LoadError MakeError(LoadError::Kind kind, const QString& path, const QString& reason) {
    LoadError e;
    e.kind = kind;
    e.fileName = path;
    e.reason = reason;
    const QString name = BaseName(path);
    switch (kind) {
        case LoadError::Kind::NotFound:
            e.message = QStringLiteral("書類名がパラメータとして渡されていません。");
            break;
        case LoadError::Kind::BadName:
            e.message = QStringLiteral("この形式はサポートされていません。 > ") + name;
            break;
        case LoadError::Kind::BadVersion:
            e.message = QStringLiteral("このバージョンはサポートされていません。 > ") + name;
            break;
        case LoadError::Kind::NoPages:
            e.message.clear();  // the window closes without a message
            break;
        case LoadError::Kind::Damaged:
            e.message = QStringLiteral("書類が壊れているため読み込めません。 > ") + name;
            break;
        case LoadError::Kind::Io:
            e.message = QStringLiteral("書類を読み込めません。 > ") + name;
            break;
        case LoadError::Kind::BadPicture:
            e.message = QStringLiteral("頁の図形を表示できません。 > ") + name;
            break;
    }
    return e;
}

// A body stream is read to its end even when the reader needs fewer bytes,
// so that bad data or a bad checksum anywhere in it is found. What the stream
// holds beyond the bytes the reader needs is ignored.
bool DrainToStreamEnd(ZlibReader& inflater) {
    char scratch[16384];
    qint64 got;
    while ((got = inflater.read(scratch, sizeof scratch)) > 0) {
    }
    return got == 0;
}

// Reads the structures of the body one after another, from the temporary copy
// or through the inflating reader.
using ReadFn = std::function<qint64(char*, qint64)>;

enum class ReadResult { Ok, Short, Failed };

ReadResult ReadExactly(const ReadFn& read, char* out, qint64 count) {
    qint64 done = 0;
    while (done < count) {
        const qint64 got = read(out + done, count - done);
        if (got < 0) return ReadResult::Failed;
        if (got == 0) return ReadResult::Short;
        done += got;
    }
    return ReadResult::Ok;
}

class Loader {
public:
    Loader(const QString& path, const OpenOptions& options, LoadError* error)
        : path_(path), options_(options), error_(error) {}

    std::unique_ptr<AlbumDocument> Run() { return Load() ? std::move(doc_) : nullptr; }

private:
    bool Fail(LoadError::Kind kind, const QString& reason) {
        if (error_) *error_ = MakeError(kind, path_, reason);
        return false;
    }
    bool Load();
    bool ReadStructure(const ReadFn& read, char* out, qint64 count, const QString& what);
    bool MakeTemporaryCopy(QFile& file);
    bool ReadSettings(const ReadFn& read);
    bool ReadContents(const ReadFn& read);
    bool ReadPageIndex(const ReadFn& read, qint64 roomLeft);

    QString path_;
    OpenOptions options_;
    LoadError* error_;
    std::unique_ptr<AlbumDocument> doc_ = std::make_unique<AlbumDocument>();
    QString streamError_;  // the inflating reader's reason after a failed read
};

bool Loader::ReadStructure(const ReadFn& read, char* out, qint64 count, const QString& what) {
    switch (ReadExactly(read, out, count)) {
        case ReadResult::Ok:
            return true;
        case ReadResult::Short:
            return Fail(LoadError::Kind::Damaged,
                        QStringLiteral("the body ends inside the %1").arg(what));
        case ReadResult::Failed:
            break;
    }
    return Fail(LoadError::Kind::Damaged,
                QStringLiteral("cannot read the %1: %2").arg(what, streamError_));
}

// Inflates the body from the file's current position into the first free
// temporary copy, in blocks of 4096 bytes.
bool Loader::MakeTemporaryCopy(QFile& file) {
    ZlibReader inflater(file, kCopyInputChunk);
    const QString folder = options_.workFolder.isEmpty() ? QDir::tempPath() : options_.workFolder;
    std::unique_ptr<QFile> copy = CreateTemporaryCopy(folder, &doc_->tempPath);
    if (!copy)
        return Fail(LoadError::Kind::Io,
                    QStringLiteral("no temporary copy NERIDAL_0.TMP .. NERIDAL_30.TMP can be "
                                   "created in %1")
                        .arg(folder));
    const qint64 length = doc_->header.pageBase;
    char block[kCopyBlock];
    qint64 copied = 0;
    while (copied < length) {
        const qint64 want = std::min(kCopyBlock, length - copied);
        const qint64 got = inflater.read(block, want);
        if (got < 0)
            return Fail(LoadError::Kind::Damaged,
                        QStringLiteral("cannot inflate the body: %1").arg(inflater.error()));
        if (got > 0 && copy->write(block, got) != got)
            return Fail(LoadError::Kind::Io,
                        QStringLiteral("cannot write the temporary copy %1: %2")
                            .arg(doc_->tempPath, copy->errorString()));
        copied += got;
        if (got < want) break;
    }
    if (copied < length)
        return Fail(LoadError::Kind::Damaged,
                    QStringLiteral("the body inflates to %1 bytes, the header announces %2")
                        .arg(copied)
                        .arg(length));
    if (!DrainToStreamEnd(inflater))
        return Fail(LoadError::Kind::Damaged,
                    QStringLiteral("cannot inflate the body: %1").arg(inflater.error()));
    if (!copy->flush() || !copy->seek(0))
        return Fail(LoadError::Kind::Io, QStringLiteral("cannot rewind the temporary copy %1: %2")
                                             .arg(doc_->tempPath, copy->errorString()));
    doc_->bodySize = length;
    doc_->body = std::move(copy);
    return true;
}

bool Loader::ReadSettings(const ReadFn& read) {
    QByteArray bytes(TAlbumSettings::Size(doc_->wideSettings), '\0');
    if (!ReadStructure(read, bytes.data(), bytes.size(), QStringLiteral("settings block")))
        return false;
    doc_->settings = TAlbumSettings::Parse(bytes.constData(), doc_->wideSettings);
    doc_->pageNumberOffset = doc_->settings.pageNumberOffset;
    SetPaperPixels(*doc_, options_.screenPpi);
    return true;
}

bool Loader::ReadContents(const ReadFn& read) {
    char lengthBytes[4];
    if (!ReadStructure(read, lengthBytes, 4, QStringLiteral("contents length"))) return false;
    const auto length =
        std::int32_t(std::uint32_t(static_cast<unsigned char>(lengthBytes[0])) |
                     std::uint32_t(static_cast<unsigned char>(lengthBytes[1])) << 8 |
                     std::uint32_t(static_cast<unsigned char>(lengthBytes[2])) << 16 |
                     std::uint32_t(static_cast<unsigned char>(lengthBytes[3])) << 24);
    if (length < 0)
        return Fail(LoadError::Kind::Damaged,
                    QStringLiteral("the contents length %1 is negative").arg(length));
    if (length / kTocEntrySize > kMaxTocEntries)
        return Fail(LoadError::Kind::Damaged,
                    QStringLiteral("the contents has %1 entries, more than %2")
                        .arg(length / kTocEntrySize)
                        .arg(kMaxTocEntries));
    QByteArray bytes(length, '\0');
    if (!ReadStructure(read, bytes.data(), length, QStringLiteral("contents"))) return false;
    for (int i = 0; i < length / kTocEntrySize; ++i) {
        const TTocEntry entry = TTocEntry::Parse(bytes.constData() + i * kTocEntrySize);
        doc_->toc.push_back({entry.page(), entry.level(), SjisToUnicode(TrimBlanks(entry.text))});
    }
    return true;
}

// `roomLeft`: how many bytes the body can still hold, or -1 when unknown (the
// inflating reader delivers only what its stream has).
bool Loader::ReadPageIndex(const ReadFn& read, qint64 roomLeft) {
    const int recordSize = TPageEntry::Size(doc_->pxaFlag);
    char record0[9];
    if (!ReadStructure(read, record0, recordSize, QStringLiteral("page index"))) return false;
    const TPageEntry first = TPageEntry::Parse(record0, doc_->pxaFlag);
    doc_->pages.push_back(first);
    doc_->pageCount = first.size;
    if (doc_->pageCount <= 0) return true;
    const qint64 count = doc_->pageCount;
    if (roomLeft >= 0 && count * recordSize > roomLeft - recordSize)
        return Fail(LoadError::Kind::Damaged,
                    QStringLiteral("the page index announces %1 pages, more than the body holds")
                        .arg(count));
    QByteArray chunk;
    for (qint64 done = 0; done < count;) {
        const qint64 n = std::min(kRecordChunk, count - done);
        chunk.resize(n * recordSize);
        if (!ReadStructure(read, chunk.data(), chunk.size(), QStringLiteral("page index")))
            return false;
        for (qint64 i = 0; i < n; ++i)
            doc_->pages.push_back(
                TPageEntry::Parse(chunk.constData() + i * recordSize, doc_->pxaFlag));
        done += n;
    }
    return true;
}

bool Loader::Load() {
    doc_->pxaFlag = HasPxaExtension(path_);
    if (!QFileInfo(path_).isFile())
        return Fail(LoadError::Kind::NotFound, QStringLiteral("no such file"));
    if (!IsAlbumFileName(path_))
        return Fail(LoadError::Kind::BadName, QStringLiteral("not an album file name"));

    auto file = std::make_unique<QFile>(path_);
    if (!file->open(QIODevice::ReadOnly)) return Fail(LoadError::Kind::Io, file->errorString());
    const qint64 fileSize = file->size();
    doc_->currentPage = 1;
    char headerBytes[kHeaderSize] = {};
    const qint64 headerRead = file->read(headerBytes, kHeaderSize);
    doc_->header = TAlbumHeader::Parse(headerBytes);
    doc_->wideSettings = HasWideSettings(doc_->header);
    doc_->formatVersion = DocumentFormatVersion(doc_->header);
    if (doc_->formatVersion < 10000)
        return Fail(LoadError::Kind::BadVersion, QStringLiteral("unsupported producer or version"));
    if (headerRead != kHeaderSize)
        return Fail(LoadError::Kind::Damaged, QStringLiteral("the file ends inside the header"));

    const BodyScheme scheme = BodySchemeOf(doc_->formatVersion);
    std::optional<ZlibReader> inflater;  // format 2.0 and later read straight through it
    ReadFn read;
    qint64 roomLeft = -1;
    if (scheme == BodyScheme::WholeBody) {
        const qint64 length = doc_->header.pageBase;
        if (length < 0)
            return Fail(LoadError::Kind::Damaged,
                        QStringLiteral("the body length %1 is negative").arg(length));
        if (length > (fileSize - kHeaderSize + 1) * kMaxInflateRatio)
            return Fail(
                LoadError::Kind::Damaged,
                QStringLiteral("the body length %1 is more than the file can hold").arg(length));
        if (!MakeTemporaryCopy(*file)) return false;
        file.reset();  // the copy is the body from now on
        QIODevice* body = doc_->body.get();
        read = [this, body](char* out, qint64 max) {
            const qint64 got = body->read(out, max);
            if (got < 0) streamError_ = body->errorString();
            return got;
        };
    } else {
        inflater.emplace(*file);
        read = [this, &inflater](char* out, qint64 max) {
            const qint64 got = inflater->read(out, max);
            if (got < 0) streamError_ = inflater->error();
            return got;
        };
    }
    if (!ReadSettings(read) || !ReadContents(read)) return false;
    if (scheme == BodyScheme::WholeBody) roomLeft = doc_->bodySize - doc_->body->pos();
    if (!ReadPageIndex(read, roomLeft)) return false;
    if (inflater && !DrainToStreamEnd(*inflater))
        return Fail(LoadError::Kind::Damaged,
                    QStringLiteral("cannot inflate the page index: %1").arg(inflater->error()));

    if (scheme != BodyScheme::WholeBody) {
        // The same read handle serves the pictures, which lie in the file itself.
        doc_->bodySize = fileSize;
        doc_->body = std::move(file);
    }
    if (doc_->pageCount <= 0)
        return Fail(LoadError::Kind::NoPages, QStringLiteral("the document has no pages"));

    doc_->fileName = path_;
    const int ppi = options_.screenPpi;
    doc_->marginTop = MmToScreenPixels(doc_->header.marginTop, ppi);
    doc_->marginBottom = MmToScreenPixels(doc_->header.marginBottom, ppi);
    doc_->marginLeft = MmToScreenPixels(doc_->header.marginLeft, ppi);
    doc_->marginRight = MmToScreenPixels(doc_->header.marginRight, ppi);
    if (scheme != BodyScheme::WholeBody) {
        for (size_t k = 1; k < doc_->pages.size(); ++k)
            doc_->pages[k].offset += doc_->header.pageBase;
    }
    return true;
}

bool PageFail(LoadError* error, LoadError::Kind kind, const AlbumDocument& doc,
              const QString& reason) {
    if (error) *error = MakeError(kind, doc.fileName, reason);
    return false;
}

}  // namespace

AlbumDocument::~AlbumDocument() = default;

bool AlbumDocument::IsTurnedPage(int page) const {
    if (!pxaFlag || page < 1 || page >= int(pages.size())) return false;
    return pages[size_t(page)].orientation != pages[0].orientation;
}

std::unique_ptr<AlbumDocument> OpenAlbum(const QString& path, const OpenOptions& options,
                                         LoadError* error) {
    return Loader(path, options, error).Run();
}

std::optional<QByteArray> ReadPageBytes(AlbumDocument& doc, int page, LoadError* error) {
    const auto damaged = [&](const QString& reason) {
        PageFail(error, LoadError::Kind::Damaged, doc,
                 QStringLiteral("page %1: %2").arg(page).arg(reason));
        return std::nullopt;
    };
    if (page < 1 || page > doc.pageCount || size_t(page) >= doc.pages.size() || !doc.body)
        return damaged(QStringLiteral("there is no such page"));
    const TPageEntry& entry = doc.pages[size_t(page)];
    const bool compressed = BodySchemeOf(doc.formatVersion) == BodyScheme::CompressedPictures;
    const QString where = BodySchemeOf(doc.formatVersion) == BodyScheme::WholeBody
                              ? QStringLiteral("the inflated body")
                              : QStringLiteral("the file");
    if (entry.size < 0) return damaged(QStringLiteral("the size %1 is negative").arg(entry.size));
    if (entry.offset < 0 || entry.offset > doc.bodySize)
        return damaged(
            QStringLiteral("the offset %1 lies outside %2").arg(entry.offset).arg(where));
    if (!compressed && entry.size > doc.bodySize - entry.offset)
        return damaged(QStringLiteral("%1 bytes at %2 reach past the end of %3")
                           .arg(entry.size)
                           .arg(entry.offset)
                           .arg(where));
    if (compressed && entry.size > (doc.bodySize - entry.offset + 1) * kMaxInflateRatio)
        return damaged(
            QStringLiteral("the size %1 is more than the stored data can hold").arg(entry.size));
    if (!doc.body->seek(entry.offset)) return damaged(QStringLiteral("cannot seek to its offset"));

    QByteArray bytes;
    if (!compressed) {
        bytes.resize(entry.size);
        if (doc.body->read(bytes.data(), entry.size) != entry.size)
            return damaged(QStringLiteral("the picture is cut short"));
        return bytes;
    }
    // Grow with the data rather than trusting the declared size up front.
    ZlibReader inflater(*doc.body);
    constexpr qint64 kStep = 1 << 20;
    while (bytes.size() < entry.size) {
        const qint64 before = bytes.size();
        const qint64 want = std::min<qint64>(kStep, entry.size - before);
        bytes.resize(before + want);
        const qint64 got = inflater.read(bytes.data() + before, want);
        if (got < 0) return damaged(inflater.error());
        bytes.resize(before + got);
        if (got < want) break;
    }
    if (bytes.size() < entry.size)
        return damaged(QStringLiteral("the picture inflates to %1 bytes, %2 are announced")
                           .arg(bytes.size())
                           .arg(entry.size));
    // A picture stream ends with the picture: its checksum must follow.
    char extra;
    const qint64 more = inflater.read(&extra, 1);
    if (more < 0) return damaged(inflater.error());
    if (more > 0)
        return damaged(
            QStringLiteral("the picture inflates to more than %1 bytes").arg(entry.size));
    return bytes;
}
