// neridal-tool render FILE --page N --out OUT.png [--zoom PERCENT] [--dpi DPI]:
// draws what the document window's sheet shows for one page, through the
// window's own page drawing.

#include <QFileInfo>
#include <QImage>

#include "document/album_document.h"
#include "document/page_sheet.h"
#include "tool/tool_album.h"
#include "tool/tool_command.h"
#include "viewer/page_painter.h"

namespace {

const char kUsage[] = "FILE --page N --out OUT.png [--zoom PERCENT] [--dpi DPI]";

int UsageError(const QString& why) {
    return ToolUsageError("render", kUsage, why);
}

bool PositiveNumber(const QString& text, int* value) {
    bool ok = false;
    *value = text.toInt(&ok);
    return ok && *value > 0;
}

int RunRender(const QStringList& args) {
    QString file, out;
    int page = 0, zoom = 100, dpi = 96;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--page") && hasValue) {
            if (!PositiveNumber(args[++i], &page)) return UsageError(QStringLiteral("bad page"));
        } else if (a == QLatin1String("--out") && hasValue) {
            out = args[++i];
        } else if (a == QLatin1String("--zoom") && hasValue) {
            if (!PositiveNumber(args[++i], &zoom)) return UsageError(QStringLiteral("bad zoom"));
        } else if (a == QLatin1String("--dpi") && hasValue) {
            if (!PositiveNumber(args[++i], &dpi)) return UsageError(QStringLiteral("bad dpi"));
        } else if (!a.startsWith(QLatin1String("--")) && file.isEmpty()) {
            file = a;
        } else {
            return UsageError(QStringLiteral("unexpected argument %1").arg(a));
        }
    }
    if (file.isEmpty() || out.isEmpty() || page <= 0)
        return UsageError(QStringLiteral("FILE, --page and --out are needed"));

    QString why;
    std::unique_ptr<ToolAlbum> album = ToolAlbum::Open(file, dpi, &why);
    std::optional<mf::Picture> picture;
    if (album) picture = album->LoadPage(page, &why);
    if (!picture) return ToolRefused("render", QStringLiteral("%1: %2").arg(file, why));
    const PageSheet sheet = album->Sheet(page);
    const QSize size = sheet.PaperAtZoom(zoom);
    if (size.isEmpty())
        return ToolRefused("render", QStringLiteral("%1: the paper has no size").arg(file));
    const QImage image = RenderPage(size, 1.0, *picture, sheet.margins, zoom);
    if (!image.save(out, "PNG")) {
        ToolErr(QStringLiteral("neridal-tool render: cannot write %1\n").arg(out));
        return 1;
    }
    return 0;
}

const ToolCommand kRender("render", kUsage, RunRender);

}  // namespace
