// Printing from the document window: keeping the document's paper and the
// printer's in line, 印刷 with its progress window, and 印刷設定.
#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>

#include "document/album_document.h"
#include "document/page_sheet.h"
#include "printing/print_dialogs.h"
#include "printing/print_job.h"
#include "printing/print_rules.h"
#include "printing/printer_env.h"
#include "viewer/messages.h"
#include "viewer/view_form.h"
#include "viewer/view_widgets.h"

namespace {

// Clears the printable-area flag however the command ends.
class PrintableAreaShown {
public:
    explicit PrintableAreaShown(TViewForm& view) : view_(view) { view_.setShowPrintableArea(true); }
    ~PrintableAreaShown() { view_.setShowPrintableArea(false); }
    PrintableAreaShown(const PrintableAreaShown&) = delete;
    PrintableAreaShown& operator=(const PrintableAreaShown&) = delete;

private:
    TViewForm& view_;
};

}  // namespace

void TViewForm::ApplyDocPaper() {
    if (!doc_) return;
    TPrinterEnv& env = *PrinterEnv;
    const DocumentPaper& paper = geometry_.paper;
    const int index = env.FindPaper(paper.code);
    if (index < 0) return;  // the printer keeps its own paper
    env.SelectPaper(index);
    env.SetOrientation(paper.orientation);
    if (paper.code == 0 || paper.code == kUserDefinedPaper) {
        TPaperSettings& settings = PaperSettings();
        env.ReadPaperSettings(settings);
        settings.UseSource = false;
        settings.UseCustomSize = true;
        // The document keeps whole millimetres, the device tenths.
        settings.PaperWidth = paper.widthMm * 10;
        settings.PaperLength = paper.heightMm * 10;
        env.ApplyPaperSettings(settings);
    }
}

DocumentPaper TViewForm::PrinterPaper() {
    TPrinterEnv& env = *PrinterEnv;
    DocumentPaper paper;
    paper.code = env.PaperCode(env.CurrentPaperIndex());
    paper.orientation = env.GetOrientation();
    paper.widthMm = std::int32_t(env.PhysicalWidthMm() / kScale);
    paper.heightMm = std::int32_t(env.PhysicalHeightMm() / kScale);
    return paper;
}

bool TViewForm::PrinterPaperDiffers(const DocumentPaper& saved) {
    return PrinterPaper() != saved;
}

void TViewForm::AdoptPrinterPaper() {
    if (!doc_) return;
    geometry_ = WithPaper(geometry_, PrinterPaper());
    ScrollBoxResize();
}

void TViewForm::S1Click() {
    if (!doc_) return;
    if (PrinterEnv->IsPrinting()) {
        // The printer takes no paper changes while a job is open.
        QApplication::beep();
        return;
    }
    ApplyDocPaper();
    const DocumentPaper saved = geometry_.paper;
    if (!PrinterEnv->SetupDialog().Execute()) return;
    if (PrinterPaperDiffers(saved)) AdoptPrinterPaper();
}

void TViewForm::PrnBtnClick() {
    TPrinterEnv& env = *PrinterEnv;
    if (!picture_ || !doc_ || env.IsPrinting()) {
        QApplication::beep();
        return;
    }
    ApplyDocPaper();
    const PrintableAreaShown shown(*this);
    if (const std::optional<QString> message = NegativeOffsetMessage(pageNumberOffset()))
        InfoMessage(*message);
    const PrintPageRange range = PrintRangeFor(pageCount(), pageNumberOffset());

    prn::QPrintDialog& dialog = env.PrintDialog();
    dialog.setOptions(QAbstractPrintDialog::PrintPageRange);
    dialog.setMinMax(range.lowest, range.highest);
    dialog.setFromTo(range.lowest, range.highest);
    dialog.setPrintRange(QAbstractPrintDialog::AllPages);
    const DocumentPaper saved = geometry_.paper;
    if (!dialog.Execute()) return;
    QPrinter& printer = *dialog.printer();
    int first = 1, last = pageCount();
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = std::clamp(range.IndexOf(printer.fromPage()), 1, pageCount());
        last = std::clamp(range.IndexOf(printer.toPage()), first, pageCount());
    }
    if (PrinterPaperDiffers(saved)) AdoptPrinterPaper();

    const int shownPage = currentPage();
    env.SetTitle(QApplication::applicationName());
    const PrintJobScope job;
    env.ProgressStart(QString(), last - first + 1);
    const PrintJobOutcome outcome =
        PrintAlbumPages(printer, *doc_, geometry_, first, last, [&](int position, int) {
            const int page = first + position - 1;
            if (env.ProgressStep(page)) return false;
            // The window follows the job, one page at a time.
            currentPage_ = page;
            if (LoadCurrentPage() && doc_->pxaFlag) ScrollBoxResize();
            PaintBox->repaint();
            return true;
        });
    env.ProgressFinish();
    if (currentPage() != shownPage) ChangePage(shownPage);
    if (outcome.result == PrintJobOutcome::Result::Failed) ErrorMessage(outcome.error);
}
