#pragma once

// The program's print and printer-setup dialogs over Qt's print dialog. They
// refuse to open while a job runs, read the paper list again when the user
// switched printers, and report failures as printer errors.

#include <QPrintDialog>

class QComboBox;
class QPrinter;
class QRadioButton;
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

// Chooses the printer, its paper and the orientation; nothing prints.
// Accepting makes them the printer object's.
class QPrinterSetupDialog : public QDialog {
    Q_OBJECT
public:
    QPrinterSetupDialog(TPrinterEnv& env, QWidget* parent);
    bool Execute();
    QPrinter* printer() const;

    QComboBox* PrinterBox = nullptr;
    QComboBox* PaperBox = nullptr;
    QRadioButton* PortraitButton = nullptr;
    QRadioButton* LandscapeButton = nullptr;

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FillPapers(const QString& printerName);

    TPrinterEnv& env_;
};

}  // namespace prn
