// neridal-tool thumbnail FILE OUT.png --size N: page 1 drawn as the window
// draws it, its long side N pixels; what file managers show for an album.

#include <QImage>
#include <QSaveFile>
#include <algorithm>

#include "document/page_sheet.h"
#include "tool/tool_album.h"
#include "tool/tool_command.h"
#include "viewer/page_painter.h"

namespace {

const char kUsage[] = "FILE OUT.png --size N";
constexpr int kMaxThumbnailSide = 4096;
constexpr int kScreenPpi = 96;
constexpr int kFirstPage = 1;

int UsageError(const QString& why) {
    return ToolUsageError("thumbnail", kUsage, why);
}

int RunThumbnail(const QStringList& args) {
    QString file, out;
    int side = 0;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--size") && i + 1 < args.size()) {
            bool ok = false;
            side = args[++i].toInt(&ok);
            if (!ok || side <= 0 || side > kMaxThumbnailSide)
                return UsageError(QStringLiteral("bad size"));
        } else if (!a.startsWith(QLatin1String("--")) && file.isEmpty()) {
            file = a;
        } else if (!a.startsWith(QLatin1String("--")) && out.isEmpty()) {
            out = a;
        } else {
            return UsageError(QStringLiteral("unexpected argument %1").arg(a));
        }
    }
    if (file.isEmpty() || out.isEmpty() || side <= 0)
        return UsageError(QStringLiteral("FILE, OUT.png and --size are needed"));

    QString why;
    std::unique_ptr<ToolAlbum> album = ToolAlbum::Open(file, kScreenPpi, &why);
    std::optional<mf::Picture> picture;
    if (album) picture = album->LoadPage(kFirstPage, &why);
    if (!picture) return ToolRefused("thumbnail", QStringLiteral("%1: %2").arg(file, why));
    const PageSheet sheet = album->Sheet(kFirstPage);
    const int longSide = std::max(sheet.paper.width(), sheet.paper.height());
    if (longSide <= 0)
        return ToolRefused("thumbnail", QStringLiteral("%1: no paper size").arg(file));
    const double zoom = 100.0 * side / longSide;
    const QSize size(std::max(1, int(sheet.paper.width() * zoom / 100)),
                     std::max(1, int(sheet.paper.height() * zoom / 100)));
    const QImage image = RenderPage(size, 1.0, *picture, sheet.margins, int(zoom));
    // Written beside and renamed: a reader never sees half a thumbnail.
    QSaveFile target(out);
    if (!target.open(QIODevice::WriteOnly) || !image.save(&target, "PNG") || !target.commit())
        return ToolRefused("thumbnail", QStringLiteral("cannot write %1").arg(out));
    return 0;
}

const ToolCommand kThumbnail("thumbnail", kUsage, RunThumbnail);

}  // namespace
