#pragma once

// The program's print and printer-setup dialogs over Qt's print dialog. They
// refuse to open while a job runs, read the paper list again when the user
// switched printers, and report failures as printer errors.

#include <QPrintDialog>

class TPrinterEnv;

namespace prn {

class QPrintDialog : public ::QPrintDialog {
    Q_OBJECT
public:
    QPrintDialog(TPrinterEnv& env, QWidget* parent);
    // True when the user accepted.
    bool Execute();

private:
    TPrinterEnv& env_;
};

// Chooses the printer and its paper, orientation and copies; nothing prints.
class QPrinterSetupDialog : public ::QPrintDialog {
    Q_OBJECT
public:
    QPrinterSetupDialog(TPrinterEnv& env, QWidget* parent);
    bool Execute();

protected:
    void showEvent(QShowEvent* event) override;

private:
    TPrinterEnv& env_;
};

}  // namespace prn
