// libFuzzer target: the input is written as an album file (its first byte
// chooses the name, and so the page-record width) and opened through the
// loader; every page is read and tested as a picture.

#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

#include "document/album_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir* dir = new QTemporaryDir;  // lives for the whole run
    if (size == 0 || !dir->isValid()) return 0;
    static const char* const kNames[] = {"F.PXA", "F.PXB", "f.pxa", "F.PXD"};
    const QString path = dir->filePath(QString::fromLatin1(kNames[data[0] % 4]));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        file.write(reinterpret_cast<const char*>(data) + 1, qint64(size - 1));
    }
    LoadError error;
    std::unique_ptr<const AlbumDocument> doc =
        OpenAlbum(path, OpenOptions{dir->path() + QLatin1Char('/')}, &error);
    if (!doc) return 0;
    for (int page = 1; page <= doc->pageCount; ++page) {
        std::optional<QByteArray> bytes = ReadPageBytes(*doc, page, &error);
        if (bytes) mf::DetectPictureFormat(*bytes);
    }
    return 0;
}
