#include "printing/print_job.h"

#include <algorithm>

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include "document/album_document.h"
#include "document/page_sheet.h"
#include "printing/print_rules.h"

namespace {

QPageLayout::Orientation OrientationOf(int byte) {
    return byte == 0 ? QPageLayout::Portrait : QPageLayout::Landscape;
}

// Size and orientation go in together: one after the other can lose landscape.
// The document keeps its paper as the screen shows it, so a landscape paper is
// wider than high; the printer takes the paper upright and turns it by the
// orientation, as a printer's paper list and orientation setting do.
void SetLayout(QPrinter& printer, const DocumentPaper& paper, int orientation) {
    const QSizeF upright(std::min(paper.widthMm, paper.heightMm),
                         std::max(paper.widthMm, paper.heightMm));
    const QPageSize size(upright, QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
    printer.setPageLayout(QPageLayout(size, OrientationOf(orientation), QMarginsF()));
}

}  // namespace

void ApplyDocumentPaper(QPrinter& printer, const DocumentPaper& paper) {
    printer.setFullPage(true);  // the canvas starts at the sheet's corner
    SetLayout(printer, paper, paper.orientation);
}

PrintJobOutcome PrintAlbumPages(QPrinter& printer, const AlbumDocument& doc,
                                const SheetGeometry& geometry, int first, int last,
                                const PrintProgressFunction& progress) {
    PrintJobOutcome outcome;
    const bool pdf = printer.outputFormat() == QPrinter::PdfFormat;
    const bool perPage = doc.pxaFlag;
    int printerOrientation = printer.pageLayout().orientation() == QPageLayout::Portrait ? 0 : 1;
    QPainter painter;
    const int count = last - first + 1;
    for (int page = first; page <= last; ++page) {
        if (progress && !progress(page - first + 1, count)) {
            outcome.result = PrintJobOutcome::Result::Cancelled;
            break;
        }
        const int pageOrientation =
            perPage ? doc.pages[size_t(page)].orientation : printerOrientation;
        const JobStep step =
            NextJobStep(painter.isActive(), perPage, printerOrientation, pageOrientation);
        if (step == JobStep::TurnThenBeginDoc || step == JobStep::EndDocTurnThenBeginDoc) {
            printerOrientation = pageOrientation;
            SetLayout(printer, geometry.paper, printerOrientation);
        }
        bool started = true;
        if (!painter.isActive()) {
            started = painter.begin(&printer);
        } else if (step == JobStep::EndDocTurnThenBeginDoc && !pdf) {
            // A real printer gets a new job in the other orientation.
            painter.end();
            started = painter.begin(&printer);
        } else {
            printer.newPage();
        }
        if (!started) {
            outcome = {PrintJobOutcome::Result::Failed,
                       QStringLiteral("%1: the printer refused the job").arg(doc.fileName)};
            return outcome;
        }
        LoadError error;
        const std::optional<mf::Picture> picture = LoadPagePicture(doc, page, &error);
        if (!picture) {
            printer.abort();
            painter.end();
            outcome = {PrintJobOutcome::Result::Failed,
                       error.message.isEmpty() ? error.reason : error.message};
            return outcome;
        }
        const QRect paper = printer.pageLayout().fullRectPixels(printer.resolution());
        const PrinterSheet sheet{paper.size(), QPoint(0, 0)};
        painter.save();
        painter.setClipRect(QRect(QPoint(0, 0), paper.size()));
        picture->Draw(painter,
                      QRectF(PrintPageRect(sheet, geometry.paperPixels.width(), geometry.margins)));
        painter.restore();
    }
    if (painter.isActive()) {
        if (outcome.result == PrintJobOutcome::Result::Cancelled) printer.abort();
        painter.end();
    }
    return outcome;
}
