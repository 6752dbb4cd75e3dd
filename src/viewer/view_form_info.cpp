// 書類情報: the document information dialog, one for the whole run.
#include <QPointer>

#include "printing/printer_env.h"
#include "viewer/pro_form.h"
#include "viewer/view_form.h"

namespace {

// The printer environment's paper list names the document's paper.
std::optional<QString> PrinterPaperName(int code) {
    TPrinterEnv* env = TPrinterEnv::CurrentPrinterEnv();
    if (!env) return std::nullopt;
    const int count = env->PaperCount();
    for (int i = 0; i < count; ++i)
        if (env->PaperCode(i) == code) return env->PaperName(i);
    return std::nullopt;
}

}  // namespace

void TViewForm::N4Click() {
    // One dialog for the whole run, made on first use.
    static QPointer<TProForm> dialog;
    if (!dialog) {
        dialog = new TProForm(window());
        PrinterFacts facts;
        facts.paperName = PrinterPaperName;
        facts.hasFont = FontAvailable;
        dialog->setPrinterFacts(std::move(facts));
    }
    dialog->setDocumentWindow(this);
    dialog->exec();
}
