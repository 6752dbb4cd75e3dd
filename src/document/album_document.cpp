#include "document/album_document.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>
#include <limits>

#include "core/cp932.h"
#include "core/sjis_text.h"
#include "document/document_logging.h"
#include "document/temp_copy.h"
#include "document/whole_inflate.h"
#include "document/zlib_reader.h"

namespace {

constexpr qint64 kCopyBlock = 4096;
// Bodies up to this length are inflated in one call, in memory.
constexpr qint64 kMaxOneCallBody = qint64(256) << 20;
// The compressed side is read in larger pieces: fewer reads, same output blocks.
constexpr qint64 kCopyInputChunk = 256 * 1024;
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

    std::unique_ptr<const AlbumDocument> Run() {
        if (!Load()) return nullptr;
        return std::move(doc_);
    }

private:
    bool Fail(LoadError::Kind kind, const QString& reason) {
        if (error_) *error_ = MakeError(kind, path_, reason);
        return false;
    }
    bool Load();
    bool BodyEndsInside(const QString& what);
    bool ReadStructure(const ReadFn& read, char* out, qint64 count, const QString& what);
    bool MakeTemporaryCopy(QFile& file);
    bool CopyInBlocks(QFile& file, QFile& copy, qint64 length, qint64* copied);
    bool CopyWriteFailed(const QFile& copy);
    bool ReadSettings(const ReadFn& read);
    bool ReadContents(const ReadFn& read);
    bool ReadPageIndex(const ReadFn& read, qint64 roomLeft);

    QString path_;
    OpenOptions options_;
    LoadError* error_;
    std::unique_ptr<AlbumDocument> doc_ = std::make_unique<AlbumDocument>();
    // The body while it is read; the pages are read from it later.
    std::unique_ptr<QFile> body_;
    qint64 bodySize_ = 0;  // the copy's length or the file's size
    QString temporaryCopy_;
    QString streamError_;  // the inflating reader's reason after a failed read
};

// The body's structures must be whole: one that the body does not hold is
// damage, told by what cut the body short when its stream failed.
bool Loader::BodyEndsInside(const QString& what) {
    if (!doc_->bodyDamage.isEmpty()) return Fail(LoadError::Kind::Damaged, doc_->bodyDamage);
    return Fail(LoadError::Kind::Damaged, QStringLiteral("the body ends inside the %1").arg(what));
}

bool Loader::ReadStructure(const ReadFn& read, char* out, qint64 count, const QString& what) {
    switch (ReadExactly(read, out, count)) {
        case ReadResult::Ok:
            return true;
        case ReadResult::Short:
            return BodyEndsInside(what);
        case ReadResult::Failed:
            break;
    }
    return Fail(LoadError::Kind::Damaged,
                QStringLiteral("cannot read the %1: %2").arg(what, streamError_));
}

// The body stream, from the file's current position to its end, inflated in
// one call. Nothing when the memory cannot be had or the stream does not
// simply end within `length` bytes: the copy in blocks then finds out why.
std::optional<QByteArray> InflateBodyInOneCall(QFile& file, qint64 length) {
    const qint64 stored = file.size() - file.pos();
    // Holding a very large body and its stream at once costs more memory
    // than the copy in blocks saves in time.
    if (!OneCallInflate() || length > kMaxOneCallBody || stored > kMaxOneCallBody)
        return std::nullopt;
    std::optional<QByteArray> input = AllocateBuffer(stored);
    if (!input || file.read(input->data(), stored) != stored) return std::nullopt;
    std::optional<QByteArray> body = AllocateBuffer(length);
    if (!body) return std::nullopt;
    const std::optional<qint64> inflated = InflateWhole(*input, *body);
    if (!inflated) return std::nullopt;
    body->truncate(*inflated);
    return body;
}

// Inflates the body from the file's current position into the first free
// temporary copy.
bool Loader::MakeTemporaryCopy(QFile& file) {
    const qint64 streamStart = file.pos();
    const QString folder = options_.workFolder.isEmpty() ? QDir::tempPath() : options_.workFolder;
    std::unique_ptr<QFile> copy = CreateTemporaryCopy(folder, &temporaryCopy_);
    if (!copy)
        return Fail(LoadError::Kind::Io,
                    QStringLiteral("no temporary copy NERIDAL_0.TMP .. NERIDAL_30.TMP can be "
                                   "created in %1")
                        .arg(folder));
    const qint64 length = doc_->header.pageBase;
    qint64 copied = 0;
    if (std::optional<QByteArray> body = InflateBodyInOneCall(file, length)) {
        if (copy->write(*body) != body->size()) return CopyWriteFailed(*copy);
        copied = body->size();
    } else {
        qCDebug(lcInflate) << "the body of" << path_ << "is inflated in blocks";
        if (!file.seek(streamStart))
            return Fail(LoadError::Kind::Io,
                        QStringLiteral("cannot read the body: %1").arg(file.errorString()));
        if (!CopyInBlocks(file, *copy, length, &copied)) return false;
    }
    // A stream that ends cleanly before the announced length is the whole body
    // its producer wrote; whether the structures and pages lie inside it is
    // told when they are read.
    if (copied < length && doc_->bodyDamage.isEmpty())
        doc_->irregularities << QStringLiteral(
                                    "the body inflates to %1 bytes, the header announces %2")
                                    .arg(copied)
                                    .arg(length);
    if (!copy->flush() || !copy->seek(0))
        return Fail(LoadError::Kind::Io, QStringLiteral("cannot rewind the temporary copy %1: %2")
                                             .arg(temporaryCopy_, copy->errorString()));
    bodySize_ = copied;
    body_ = std::move(copy);
    return true;
}

bool Loader::CopyWriteFailed(const QFile& copy) {
    return Fail(LoadError::Kind::Io, QStringLiteral("cannot write the temporary copy %1: %2")
                                         .arg(temporaryCopy_, copy.errorString()));
}

// Inflates the body piece by piece, in blocks of 4096 bytes, to its announced
// length or the end of its stream, and reads the stream to its end. A stream
// that fails leaves what it gave before in the copy and its reason in the
// document.
bool Loader::CopyInBlocks(QFile& file, QFile& copy, qint64 length, qint64* copied) {
    ZlibReader inflater(file, kCopyInputChunk);
    char block[kCopyBlock];
    while (*copied < length && inflater.error().isEmpty()) {
        const qint64 want = std::min(kCopyBlock, length - *copied);
        const qint64 got = inflater.read(block, want);
        if (got < 0) break;
        if (got > 0 && copy.write(block, got) != got) return CopyWriteFailed(copy);
        *copied += got;
        if (got < want) break;
    }
    if (inflater.error().isEmpty()) DrainToStreamEnd(inflater);
    if (!inflater.error().isEmpty()) {
        doc_->bodyDamage = QStringLiteral("cannot inflate the body: %1").arg(inflater.error());
        qCInfo(lcLenient) << path_ << "keeps the" << *copied
                          << "body bytes inflated before:" << doc_->bodyDamage;
    }
    return true;
}

bool Loader::ReadSettings(const ReadFn& read) {
    QByteArray bytes(TAlbumSettings::Size(doc_->wideSettings), '\0');
    if (!ReadStructure(read, bytes.data(), bytes.size(), QStringLiteral("settings block")))
        return false;
    doc_->settings = TAlbumSettings::Parse(bytes.constData(), doc_->wideSettings);
    doc_->pageNumberOffset = doc_->settings.pageNumberOffset;
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
    if (roomLeft >= 0 && count * recordSize > roomLeft - recordSize) {
        if (!doc_->bodyDamage.isEmpty()) return BodyEndsInside(QStringLiteral("page index"));
        return Fail(LoadError::Kind::Damaged,
                    QStringLiteral("the page index announces %1 pages, more than the body holds")
                        .arg(count));
    }
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
        QIODevice* body = body_.get();
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
    if (scheme == BodyScheme::WholeBody) roomLeft = bodySize_ - body_->pos();
    if (!ReadPageIndex(read, roomLeft)) return false;
    // Damage after the page index costs nothing the album needs: the pages
    // lie beside the stream.
    if (inflater && !DrainToStreamEnd(*inflater)) {
        doc_->bodyDamage =
            QStringLiteral("cannot inflate the page index: %1").arg(inflater->error());
        qCInfo(lcLenient) << path_ << "opens although" << doc_->bodyDamage;
    }

    if (scheme != BodyScheme::WholeBody) {
        // The same read handle serves the pictures, which lie in the file itself.
        bodySize_ = fileSize;
        body_ = std::move(file);
    }
    if (doc_->pageCount <= 0) {
        // What a damaged body gave may be no page index at all.
        if (!doc_->bodyDamage.isEmpty()) return Fail(LoadError::Kind::Damaged, doc_->bodyDamage);
        return Fail(LoadError::Kind::NoPages, QStringLiteral("the document has no pages"));
    }

    doc_->fileName = path_;
    for (const QString& irregularity : std::as_const(doc_->irregularities))
        qCInfo(lcLenient) << path_ << "is read although" << irregularity;
    if (scheme != BodyScheme::WholeBody) {
        for (size_t k = 1; k < doc_->pages.size(); ++k)
            doc_->pages[k].offset += doc_->header.pageBase;
    }
    doc_->source = PageSource(std::move(body_), bodySize_, temporaryCopy_);
    return true;
}

}  // namespace

bool AlbumDocument::IsTurnedPage(int page) const {
    if (!pxaFlag || page < 1 || page >= int(pages.size())) return false;
    return pages[size_t(page)].orientation != pages[0].orientation;
}

std::unique_ptr<const AlbumDocument> OpenAlbum(const QString& path, const OpenOptions& options,
                                               LoadError* error) {
    return Loader(path, options, error).Run();
}

LoadError MakeLoadError(LoadError::Kind kind, const QString& path, const QString& reason) {
    return MakeError(kind, path, reason);
}
