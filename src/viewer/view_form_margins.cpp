// マージン調整: the margins move the page picture's edges on screen and on
// paper; the dialog changes them live and may write them into the file.
#include "document/album_document.h"
#include "printing/printer_env.h"
#include "viewer/set_form.h"
#include "viewer/view_form.h"
#include "viewer/view_widgets.h"

void TViewForm::MarjinBtnClick() {
    if (!doc_ || !picture_) return;
    // The printable area shown belongs to the document's paper.
    if (!PrinterEnv->IsPrinting()) ApplyDocPaper();
    setShowPrintableArea(true);
    TSetForm& form = TSetForm::Instance(window());
    form.setDocumentWindow(this);
    form.exec();
    setShowPrintableArea(false);
}

void TViewForm::SetMargins(int top, int bottom, int left, int right) {
    if (!doc_) return;
    doc_->marginTop = top;
    doc_->marginBottom = bottom;
    doc_->marginLeft = left;
    doc_->marginRight = right;
    PaintBox->repaint();
}

bool TViewForm::WriteMarginsToFile(QString* error) {
    if (!doc_) return false;
    // The loader turned the header's millimetres into pixels at this density.
    const int ppi = logicalDpiY();
    doc_->header = WithMargins(doc_->header, ScreenPixelsToMm(doc_->marginTop, ppi),
                               ScreenPixelsToMm(doc_->marginBottom, ppi),
                               ScreenPixelsToMm(doc_->marginLeft, ppi),
                               ScreenPixelsToMm(doc_->marginRight, ppi));
    return WriteHeaderMargins(doc_->fileName, doc_->header, error);
}
