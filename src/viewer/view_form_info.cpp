// 書類情報: the document information dialog, one for the whole run.
#include <QPointer>

#include "viewer/pro_form.h"
#include "viewer/view_form.h"

void TViewForm::N4Click() {
    // One dialog for the whole run, made on first use.
    static QPointer<TProForm> dialog;
    if (!dialog) dialog = new TProForm(window());
    dialog->setDocumentWindow(this);
    dialog->exec();
}
