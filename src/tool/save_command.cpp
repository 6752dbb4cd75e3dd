// neridal-tool save FILE --page N --out OUT: writes a page picture as the
// document window's page output does, the kind chosen by OUT's extension
// (.emf, .wmf or .bmp).

#include <QFileInfo>

#include "document/album_document.h"
#include "document/page_output.h"
#include "tool/tool_album.h"
#include "tool/tool_command.h"

namespace {

const char kUsage[] = "FILE --page N --out OUT.emf|OUT.wmf|OUT.bmp";
constexpr int kScreenPpi = 96;  // a WMF page is written at the screen's resolution

int UsageError(const QString& why) {
    return ToolUsageError("save", kUsage, why);
}

// The save dialog's entry a name's extension stands for.
int FilterFor(const QString& out) {
    const QString suffix = QFileInfo(out).suffix().toLower();
    if (suffix == QLatin1String("bmp")) return kSaveFilterBmp;
    if (suffix == QLatin1String("wmf")) return kSaveFilterWmf;
    return kSaveFilterEmf;
}

int RunSave(const QStringList& args) {
    QString file, out;
    int page = 0;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--page") && hasValue) {
            bool ok = false;
            page = args[++i].toInt(&ok);
            if (!ok || page <= 0) return UsageError(QStringLiteral("bad page"));
        } else if (a == QLatin1String("--out") && hasValue) {
            out = args[++i];
        } else if (!a.startsWith(QLatin1String("--")) && file.isEmpty()) {
            file = a;
        } else {
            return UsageError(QStringLiteral("unexpected argument %1").arg(a));
        }
    }
    if (file.isEmpty() || out.isEmpty() || page <= 0)
        return UsageError(QStringLiteral("FILE, --page and --out are needed"));
    const QString suffix = QFileInfo(out).suffix().toLower();
    if (suffix != QLatin1String("emf") && suffix != QLatin1String("wmf") &&
        suffix != QLatin1String("bmp"))
        return UsageError(QStringLiteral("OUT must end in .emf, .wmf or .bmp"));

    QString why;
    std::unique_ptr<ToolAlbum> album = ToolAlbum::Open(file, kScreenPpi, &why);
    std::optional<mf::Picture> picture;
    if (album) picture = album->LoadPage(page, &why);
    if (!picture) return ToolRefused("save", QStringLiteral("%1: %2").arg(file, why));
    const PageOutputKind kind = PageOutputKindFor(out, FilterFor(out), picture->kind());
    if (!WritePageFile(out, PageOutputBytes(*picture, kind), &why))
        return ToolRefused("save", QStringLiteral("%1: %2").arg(file, why));
    return 0;
}

const ToolCommand kSave("save", kUsage, RunSave);

}  // namespace
