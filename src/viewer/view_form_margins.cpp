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
    geometry_.margins = {top, bottom, left, right};
    PaintBox->repaint();
}

bool TViewForm::WriteMarginsToFile(QString* error) {
    if (!doc_) return false;
    // The margins are pixels at the density the window opened the document at.
    return WriteHeaderMargins(
        doc_->fileName, WithMarginPixels(doc_->header, geometry_.margins, geometry_.ppi), error);
}
