#include "tool/tool_album.h"

#include "tool/tool_command.h"

namespace {

QString Why(const LoadError& error) {
    return error.reason.isEmpty() ? error.message : error.reason;
}

}  // namespace

int ToolUsageError(const char* command, const char* usage, const QString& why) {
    ToolErr(QStringLiteral("neridal-tool %1: %2\nusage: neridal-tool %1 %3\n")
                .arg(QString::fromLatin1(command), why, QString::fromLatin1(usage)));
    return 2;
}

int ToolRefused(const char* command, const QString& text) {
    ToolErr(QStringLiteral("neridal-tool %1: %2\n").arg(QString::fromLatin1(command), text));
    return 1;
}

std::unique_ptr<ToolAlbum> ToolAlbum::Open(const QString& file, int ppi, QString* why) {
    auto album = std::unique_ptr<ToolAlbum>(new ToolAlbum);
    OpenOptions options;
    options.workFolder = album->work_.path() + QLatin1Char('/');
    LoadError error;
    album->doc_ = OpenAlbum(file, options, &error);
    if (!album->doc_) {
        *why = Why(error);
        return nullptr;
    }
    album->geometry_ = SheetGeometryOf(*album->doc_, ppi);
    return album;
}

std::optional<mf::Picture> ToolAlbum::LoadPage(int page, QString* why) {
    if (page < 1 || page > doc_->pageCount) {
        *why = QStringLiteral("page %1: the album has %2 page(s)").arg(page).arg(doc_->pageCount);
        return std::nullopt;
    }
    LoadError error;
    std::optional<mf::Picture> picture = LoadPagePicture(*doc_, page, &error);
    if (!picture) *why = Why(error);  // the reason names the page
    return picture;
}
