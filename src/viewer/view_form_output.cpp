// Page output: the page picture as a file or on the clipboard, whatever the
// zoom, margins or printer.
#include <QClipboard>
#include <QGuiApplication>

#include "document/page_output.h"
#include "metafile/picture.h"
#include "viewer/messages.h"
#include "viewer/view_form.h"

void TViewForm::Mn_FileClick() {
    if (!picture_ || !frame_) return;  // a document without pages has nothing to write
    const std::optional<SaveChoice> choice = frame_->ChooseSaveFile();
    if (!choice) return;
    const PageOutputKind kind =
        PageOutputKindFor(choice->fileName, choice->filterIndex, picture_->kind());
    QString error;
    if (!WritePageFile(choice->fileName, PageOutputBytes(*picture_, kind), &error))
        ErrorMessage(error);
}

void TViewForm::Mn_ClipClick() {
    if (!picture_) return;
    QGuiApplication::clipboard()->setMimeData(PageClipboardData(*picture_));
}
