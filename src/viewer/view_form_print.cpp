// 印刷: the document's paper into the printer, the print dialog with the
// displayed page numbers, then the chosen pages with the progress window.
#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "document/album_document.h"
#include "printing/print_job.h"
#include "printing/print_rules.h"
#include "printing/printer_messages.h"
#include "printing/prn_form.h"
#include "viewer/messages.h"
#include "viewer/view_form.h"

namespace {

// The process's one printer.
QPrinter& ProcessPrinter() {
    static QPrinter* printer = new QPrinter(QPrinter::HighResolution);
    return *printer;
}

}  // namespace

void TViewForm::PrnBtnClick() {
    if (!picture_ || !doc_ || printing_) {
        QApplication::beep();
        return;
    }
    QPrinter& printer = ProcessPrinter();
    if (!execPrintDialog && QPrinterInfo::availablePrinters().isEmpty()) {
        ErrorMessage(PrinterErrorText(PrinterErrorKind::SetupUnconfirmed));
        return;
    }
    ApplyDocumentPaper(printer, *doc_);
    if (const std::optional<QString> message = NegativeOffsetMessage(pageNumberOffset()))
        InfoMessage(*message);
    const PrintPageRange range = PrintRangeFor(pageCount(), pageNumberOffset());

    QPrintDialog dialog(&printer, this);
    dialog.setOptions(QAbstractPrintDialog::PrintPageRange);
    dialog.setMinMax(range.lowest, range.highest);
    dialog.setFromTo(range.lowest, range.highest);
    dialog.setPrintRange(QAbstractPrintDialog::AllPages);
    const int answer = execPrintDialog ? execPrintDialog(dialog) : dialog.exec();
    if (answer != QDialog::Accepted) return;
    int first = 1, last = pageCount();
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = std::clamp(range.IndexOf(printer.fromPage()), 1, pageCount());
        last = std::clamp(range.IndexOf(printer.toPage()), first, pageCount());
    }

    printing_ = true;
    printer.setDocName(QApplication::applicationName());
    TPrnForm& progress = TPrnForm::Instance();
    progress.ProgressStart(QString(), last - first + 1);
    const PrintJobOutcome outcome =
        PrintAlbumPages(printer, *doc_, first, last, [&progress, first](int position, int) {
            return !progress.ProgressStep(first + position - 1);
        });
    progress.ProgressFinish();
    printing_ = false;
    if (outcome.result == PrintJobOutcome::Result::Failed) ErrorMessage(outcome.error);
}
