#include "document/page_output.h"

#include <QFileInfo>
#include <QMimeData>
#include <QSaveFile>

namespace {

const QStringList kEmfMimeTypes = {QStringLiteral("image/emf"), QStringLiteral("image/x-emf")};

}  // namespace

QStringList PageSaveFilters() {
    return {QStringLiteral("エンハンスメタファイル(*.emf)"),
            QStringLiteral("Windowsメタファイル(*.wmf)"), QStringLiteral("ビットマップ(*.bmp)")};
}

PageOutputKind PageOutputKindFor(const QString& fileName, int filterIndex,
                                 mf::Picture::Kind stored) {
    // A file's contents never contradict its name.
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("wmf")) return PageOutputKind::PlaceableWmf;
    if (suffix == QLatin1String("emf")) return PageOutputKind::Emf;
    if (suffix == QLatin1String("bmp")) return PageOutputKind::Bmp;
    if (filterIndex == kSaveFilterBmp) return PageOutputKind::Bmp;
    return stored == mf::Picture::Kind::Wmf ? PageOutputKind::PlaceableWmf : PageOutputKind::Emf;
}

QByteArray PageOutputBytes(const mf::Picture& picture, PageOutputKind kind) {
    switch (kind) {
        case PageOutputKind::Emf:
            return picture.ToEmf();
        case PageOutputKind::PlaceableWmf:
            return picture.ToPlaceableWmf();
        case PageOutputKind::Bmp:
            return picture.ToBmp();
    }
    return {};
}

bool WritePageFile(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    const bool written = !bytes.isEmpty() && file.open(QIODevice::WriteOnly) &&
                         file.write(bytes) == bytes.size() && file.commit();
    if (!written && error) {
        const QString why =
            bytes.isEmpty() ? QStringLiteral("the page cannot be converted") : file.errorString();
        *error = QStringLiteral("%1 に書き込めませんでした。 (%2)").arg(path, why);
    }
    return written;
}

QString NameWithoutExtension(const QString& name) {
    const QFileInfo info(name);
    if (info.suffix().isEmpty()) return name;
    return name.left(name.size() - info.suffix().size() - 1);
}

QMimeData* PageClipboardData(const mf::Picture& picture) {
    auto* data = new QMimeData;
    const QByteArray emf = picture.ToEmf();
    for (const QString& type : kEmfMimeTypes)
        data->setData(type, emf);
    data->setImageData(picture.ToImage(picture.naturalSize()));
    return data;
}
