// neridal-tool print FILE (--printer NAME | --pdf OUT.pdf) [--from A] [--to B]:
// the print command's job without dialogs. The document's paper goes to the
// printer, each page is stretched over the sheet with the margins moved as
// the window prints them, and pages in the other orientation turn the sheet.

#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <cstdio>

#include "document/album_document.h"
#include "printing/print_job.h"
#include "printing/print_rules.h"
#include "tool/tool_album.h"
#include "tool/tool_command.h"

namespace {

const char kUsage[] = "FILE (--printer NAME | --pdf OUT.pdf) [--from A] [--to B]";
constexpr int kScreenPpi = 96;  // the pixels the margins are measured in on screen

int UsageError(const QString& why) {
    return ToolUsageError("print", kUsage, why);
}

int Refused(const QString& file, const QString& why) {
    return ToolRefused("print", QStringLiteral("%1: %2").arg(file, why));
}

bool Number(const QString& text, int* value) {
    bool ok = false;
    *value = text.toInt(&ok);
    return ok;
}

int RunPrint(const QStringList& args) {
    QString file, printerName, pdf;
    int from = 0, to = 0;
    bool hasFrom = false, hasTo = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--printer") && hasValue) {
            printerName = args[++i];
        } else if (a == QLatin1String("--pdf") && hasValue) {
            pdf = args[++i];
        } else if (a == QLatin1String("--from") && hasValue) {
            if (!Number(args[++i], &from)) return UsageError(QStringLiteral("bad --from"));
            hasFrom = true;
        } else if (a == QLatin1String("--to") && hasValue) {
            if (!Number(args[++i], &to)) return UsageError(QStringLiteral("bad --to"));
            hasTo = true;
        } else if (!a.startsWith(QLatin1String("--")) && file.isEmpty()) {
            file = a;
        } else {
            return UsageError(QStringLiteral("unexpected argument %1").arg(a));
        }
    }
    if (file.isEmpty() || printerName.isEmpty() == pdf.isEmpty())
        return UsageError(QStringLiteral("FILE and one of --printer and --pdf are needed"));

    QString why;
    std::unique_ptr<ToolAlbum> album = ToolAlbum::Open(file, kScreenPpi, &why);
    if (!album) return Refused(file, why);
    const AlbumDocument* doc = &album->doc();
    if (doc->pageCount < 1) return Refused(file, QStringLiteral("the document has no pages"));

    // Displayed page numbers, as the print dialog offers them.
    const PrintPageRange range = PrintRangeFor(doc->pageCount, doc->pageNumberOffset);
    if (!hasFrom) from = range.lowest;
    if (!hasTo) to = range.highest;
    if (from < range.lowest || to > range.highest || from > to)
        return Refused(file, QStringLiteral("pages %1 to %2 are outside %3 to %4")
                                 .arg(from)
                                 .arg(to)
                                 .arg(range.lowest)
                                 .arg(range.highest));
    const int first = range.IndexOf(from), last = range.IndexOf(to);

    QPrinter printer(QPrinter::HighResolution);
    // The PDF is written beside its name and renamed only when every page is in.
    const QString part = pdf + QStringLiteral(".part");
    if (!pdf.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(part);
    } else {
        const QPrinterInfo info = QPrinterInfo::printerInfo(printerName);
        if (info.isNull())
            return Refused(file, QStringLiteral("no printer named %1").arg(printerName));
        printer.setPrinterName(printerName);
    }
    printer.setDocName(QFileInfo(file).fileName());
    ApplyDocumentPaper(printer, album->geometry().paper);
    const PrintJobOutcome outcome =
        PrintAlbumPages(printer, *doc, album->geometry(), first, last, [](int position, int count) {
            ToolErr(QStringLiteral("page %1/%2\n").arg(position).arg(count));
            return true;
        });
    if (outcome.result != PrintJobOutcome::Result::Printed) {
        if (!pdf.isEmpty()) QFile::remove(part);
        return Refused(file, outcome.error);
    }
    if (!pdf.isEmpty() &&
        std::rename(QFile::encodeName(part).constData(), QFile::encodeName(pdf).constData()) != 0) {
        QFile::remove(part);
        return Refused(file, QStringLiteral("cannot write %1").arg(pdf));
    }
    return 0;
}

const ToolCommand kPrint("print", kUsage, RunPrint);

}  // namespace
