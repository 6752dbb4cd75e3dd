#pragma once

// Small albums for the document tests, written by our own album writer.

#include <zlib.h>

#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "core/cp932.h"
#include "document/album_document.h"
#include "document/album_writer.h"
#include "metafile/emf_writer.h"

// A small EMF page with a rectangle and a caption; `seed` varies its content.
inline QByteArray SmallEmf(int seed = 0) {
    mf::EmfWriter w(QSizeF(210, 297));
    const std::uint32_t pen = w.CreatePen(mf::kPsSolid, 1, QColor(seed % 256, 0, 0));
    w.SelectObject(pen);
    w.Rectangle(QRect(10 + seed, 10, 100, 50));
    w.ExtTextOut(QPoint(20, 40), QStringLiteral("着工前 %1").arg(seed), 12);
    w.DeleteObject(pen);
    return w.Finish();
}

// A placeable WMF (header with a valid checksum) followed by a minimal WMF.
inline QByteArray PlaceableWmf(bool validChecksum = true) {
    QByteArray b;
    auto put16 = [&](int v) {
        b.append(char(v & 0xFF));
        b.append(char((v >> 8) & 0xFF));
    };
    put16(0xCDD7);
    put16(0x9AC6);
    put16(0);  // handle
    put16(0);
    put16(0);
    put16(1000);
    put16(1000);  // bounding box
    put16(1440);  // units per inch
    put16(0);
    put16(0);  // reserved
    std::uint16_t sum = 0;
    for (int i = 0; i < 20; i += 2)
        sum ^= std::uint16_t(std::uint8_t(b[i]) | std::uint8_t(b[i + 1]) << 8);
    put16(validChecksum ? sum : sum ^ 1);
    // METAHEADER, then the end record.
    for (int v : {1, 9, 0x0300, 12, 0, 0, 3, 0, 0})
        put16(v);
    for (int v : {3, 0, 0})
        put16(v);
    return b;
}

inline AlbumDraft BasicDraft(const char* producer, Scaled version, int pages = 2) {
    AlbumDraft draft;
    draft.producer = producer;
    draft.producerVersion = version;
    draft.settings = DefaultSettings();
    draft.settings.title = UnicodeToSjis(QStringLiteral("○○線道路改良工事"));
    for (int i = 0; i < pages; ++i)
        draft.pages.push_back({SmallEmf(i), 0, {}, {}});
    return draft;
}

enum class Ending {
    Clean,    // the stream ends, checksum and all
    Cut,      // the file ends
    BadData,  // a block of a kind deflate does not have
};

// A format-1.x body stream that holds the first `intact` bytes of `body`,
// then ends as told.
inline QByteArray PartialBodyStream(const QByteArray& body, qsizetype intact, Ending ending) {
    z_stream z{};
    deflateInit(&z, Z_DEFAULT_COMPRESSION);
    QByteArray out(qsizetype(deflateBound(&z, uLong(intact))) + 64, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(body.constData()));
    z.avail_in = uInt(intact);
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    deflate(&z, ending == Ending::Clean ? Z_FINISH : Z_FULL_FLUSH);
    out.truncate(out.size() - qsizetype(z.avail_out));
    deflateEnd(&z);
    // After a full flush the next block starts on a byte: 0xFF makes it a
    // final block of type 3.
    return ending == Ending::BadData ? out + "\xFF" : out;
}

// The inflated body of a whole format-1.x album file.
inline QByteArray InflatedBody(const QByteArray& file) {
    QByteArray body(TAlbumHeader::Parse(file.constData()).pageBase, '\0');
    uLongf length = uLongf(body.size());
    uncompress(reinterpret_cast<Bytef*>(body.data()), &length,
               reinterpret_cast<const Bytef*>(file.constData()) + kHeaderSize,
               uLong(file.size() - kHeaderSize));
    body.truncate(qsizetype(length));
    return body;
}

// A temporary folder with the albums of one test and a work folder for copies.
class AlbumFolder {
public:
    QString Write(const QString& name, const AlbumDraft& draft) {
        const QString path = dir_.filePath(name);
        WriteAlbumFile(path, draft);
        return path;
    }
    QString WriteBytes(const QString& name, const QByteArray& bytes) {
        const QString path = dir_.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(bytes);
        return path;
    }
    QString work() const { return dir_.path() + QLatin1Char('/'); }
    std::unique_ptr<const AlbumDocument> Open(const QString& path, LoadError* error) const {
        return OpenAlbum(path, OpenOptions{work()}, error);
    }

private:
    QTemporaryDir dir_;
};
