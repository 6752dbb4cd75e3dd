#pragma once

#include <memory>

#include "printing/printer_device.h"

// The printer device over Qt's printing (CUPS underneath): the installed
// printers, the paper list of QPrinterInfo with the Windows paper codes of
// QPageSize, and the page layout of one high-resolution QPrinter.
class QtPrinterDevice : public PrinterDevice {
public:
    QtPrinterDevice();
    ~QtPrinterDevice() override;

    QStringList PrinterNames() const override;
    QString CurrentPrinterName() const override;
    std::optional<std::vector<PaperEntry>> Papers() override;
    std::optional<DeviceMode> Mode() override;
    bool SetMode(const DeviceMode& mode) override;
    std::optional<DeviceMeasures> Measures() override;
    QPrinter* Printer() override;

private:
    std::unique_ptr<QPrinter> printer_;
};

// A Qt page size as a paper entry: its Windows paper code (256 when it has
// none) and its size in tenths of a millimetre.
PaperEntry PaperEntryOf(const class QPageSize& size);
