#include "printing/print_dialogs.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPrinter>
#include <QPushButton>

#include "printing/printer_env.h"

namespace prn {

namespace {

QPrinter& DialogPrinter(TPrinterEnv& env) {
    // A device without a printer object still needs one for the dialog.
    static QPrinter fallback(QPrinter::HighResolution);
    QPrinter* printer = env.PrinterObject();
    return printer ? *printer : fallback;
}

// The shared steps of both dialogs: refuse during a job, run, and read the
// paper list again when the accepted dialog switched printers.
bool RunPrinterDialog(TPrinterEnv& env, QDialog& dialog) {
    if (env.IsPrinting()) {
        QApplication::beep();
        return false;
    }
    TPrinterEnv* current = TPrinterEnv::CurrentPrinterEnv();
    const int before = current ? current->PrinterIndex() : -1;
    const int result = env.runDialog ? env.runDialog(dialog) : dialog.exec();
    const bool accepted = result == QDialog::Accepted;
    if (accepted && !DialogPrinter(env).isValid()) {
        ShowPrinterError(PrinterErrorKind::SetupFailed);
        return false;
    }
    current = TPrinterEnv::CurrentPrinterEnv();
    if (accepted && current && current->PrinterIndex() != before) env.RefreshCapabilities();
    return accepted;
}

}  // namespace

QPrintDialog::QPrintDialog(TPrinterEnv& env, QWidget* parent)
    : ::QPrintDialog(&DialogPrinter(env), parent), env_(env) {}

bool QPrintDialog::Execute() {
    return RunPrinterDialog(env_, *this);
}

QPrinterSetupDialog::QPrinterSetupDialog(TPrinterEnv& env, QWidget* parent)
    : ::QPrintDialog(&DialogPrinter(env), parent), env_(env) {
    setWindowTitle(QStringLiteral("印刷設定"));
    setOptions(QAbstractPrintDialog::PrintDialogOptions());
}

bool QPrinterSetupDialog::Execute() {
    return RunPrinterDialog(env_, *this);
}

void QPrinterSetupDialog::showEvent(QShowEvent* event) {
    // Accepting sets the printer up; it prints nothing.
    for (QDialogButtonBox* box : findChildren<QDialogButtonBox*>())
        if (QPushButton* ok = box->button(QDialogButtonBox::Ok)) ok->setText(QStringLiteral("OK"));
    ::QPrintDialog::showEvent(event);
}

}  // namespace prn
