#pragma once

// The printer environment: everything the program asks of the printer goes
// through here. The process has one printer device; each document window
// carries an environment that owns its two printer dialogs.

#include <QPoint>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "core/units.h"
#include "printing/paper_snapshot.h"
#include "printing/printable_area.h"
#include "printing/printer_device.h"
#include "printing/printer_messages.h"

class QDialog;
class QPrinter;
class QWidget;
namespace prn {
class QPrintDialog;
class QPrinterSetupDialog;
}  // namespace prn

// The paper settings as the program keeps them between reading and applying.
struct TPaperSettings {
    std::int32_t PaperCode = 0;    // 0 and 256: a user-defined size
    std::uint8_t Orientation = 0;  // 0 portrait, 1 landscape
    bool Collate = false;
    std::int32_t Copies = 1;
    std::int16_t Source = 0;
    bool UseSource = false;       // apply Source
    std::int32_t PaperWidth = 0;  // tenths of a millimetre
    std::int32_t PaperLength = 0;
    bool UseCustomSize = false;  // apply PaperWidth and PaperLength
};

// The process's printer device; a Qt printer unless a test installed another.
PrinterDevice& ProcessPrinterDevice();
// Installs `device` as the process's printer device (null: back to the Qt
// printer); the paper snapshot is forgotten with the old device.
void SetProcessPrinterDevice(std::unique_ptr<PrinterDevice> device);

// The paper list as last read, shared by every environment.
PaperSnapshot& ProcessPaperSnapshot();
// The one shared paper settings record.
TPaperSettings& PaperSettings();

// Shows the printer error of `kind` (the cursor first goes back to the arrow).
void ShowPrinterError(PrinterErrorKind kind);
// Tests answer the printer error boxes; an empty function restores the boxes.
using PrinterErrorFunction = std::function<void(PrinterErrorKind kind)>;
PrinterErrorFunction SetPrinterErrorFunction(PrinterErrorFunction f);

// Runs a printer dialog and returns its result code; tests replace it.
using PrinterDialogFunction = std::function<int(QDialog& dialog)>;

class TPrinterEnv : public PrintableArea {
public:
    // `dialogParent` parents the dialogs this environment owns.
    explicit TPrinterEnv(QWidget* dialogParent = nullptr);
    ~TPrinterEnv() override;
    TPrinterEnv(const TPrinterEnv&) = delete;
    TPrinterEnv& operator=(const TPrinterEnv&) = delete;

    // The most recently created environment still alive; null when none is.
    static TPrinterEnv* CurrentPrinterEnv();

    QPrinter* PrinterObject() const;
    // True while a print job is open on the process's printer.
    bool IsPrinting() const override;
    // Position of the current device among the installed printers; -1 when
    // there is none or it cannot be told.
    int PrinterIndex() const;
    // The font families the printer can use: on this platform, what
    // fontconfig offers.
    QStringList PrinterFonts() const;

    // 0 portrait, 1 landscape.
    int GetOrientation() const;
    void SetOrientation(int orientation);
    void SetTitle(const QString& title);

    // The paper snapshot (read on first use, and again after a failure).
    void RefreshCapabilities();
    int PaperCount();
    QString PaperName(int index);
    int PaperCode(int index);
    int FindPaper(int code);

    bool ReadPaperSettings(TPaperSettings& r);
    bool ApplyPaperSettings(const TPaperSettings& r);
    void SelectPaper(int index);
    int CurrentPaperIndex();

    // Whole millimetres as scaled decimals.
    Scaled PhysicalWidthMm();
    Scaled PhysicalHeightMm();
    Scaled PrintableWidthMm();
    Scaled PrintableHeightMm();
    // The printable area's corner from the sheet's, x and y.
    std::pair<Scaled, Scaled> PhysicalOffsetMm();

    PrintableAreaMm PrintableAreaOnPaper() const override;

    // Forwarded to the printing progress window.
    void ProgressStart(const QString& caption, int count);
    bool ProgressStep(int page);
    bool ProgressFinish();

    prn::QPrintDialog& PrintDialog();
    prn::QPrinterSetupDialog& SetupDialog();
    // How the dialogs are run (exec unless a test says otherwise).
    PrinterDialogFunction runDialog;

private:
    QWidget* dialogParent_;
    std::unique_ptr<prn::QPrintDialog> printDialog_;
    std::unique_ptr<prn::QPrinterSetupDialog> setupDialog_;
};

// Marks a print job open on the process's printer for as long as it lives.
class PrintJobScope {
public:
    PrintJobScope();
    ~PrintJobScope();
    PrintJobScope(const PrintJobScope&) = delete;
    PrintJobScope& operator=(const PrintJobScope&) = delete;
};
