#include <QFileInfo>
#include "document/album_document.h"

// Kept apart from the reading code so that programs which only read page bytes
// do not need the picture decoder.
std::optional<mf::Picture> LoadPagePicture(const AlbumDocument& doc, int page, LoadError* error) {
    std::optional<QByteArray> bytes = ReadPageBytes(doc, page, error);
    if (!bytes) return std::nullopt;
    const auto refuse = [&](const QString& reason) {
        if (error) {
            error->kind = LoadError::Kind::BadPicture;
            error->fileName = doc.fileName;
            error->message = QStringLiteral("頁の図形を表示できません。 > ") +
                             QFileInfo(doc.fileName).fileName();
            error->reason = QStringLiteral("page %1: %2").arg(page).arg(reason);
        }
        return std::nullopt;
    };
    const mf::PictureFormat format = mf::DetectPictureFormat(*bytes);
    if (format != mf::PictureFormat::Emf && format != mf::PictureFormat::PlaceableWmf)
        return refuse(QStringLiteral("the picture is neither an EMF nor a placeable WMF"));
    QString why;
    std::optional<mf::Picture> picture = mf::Picture::Load(*bytes, &why);
    if (!picture) return refuse(why);
    return picture;
}
