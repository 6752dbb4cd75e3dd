#pragma once

// A printer device for tests: Qt's printer writing PDF, presented as one
// installed printer with a paper list of the test's choosing. It is the
// process's device while the object lives.

#include <QPageSize>
#include <QPrinter>

#include "printing/printer_env.h"
#include "printing/qt_printer_device.h"

class PdfPrinterDevice : public QtPrinterDevice {
public:
    QStringList names{QStringLiteral("Test Printer")};
    QString current = QStringLiteral("Test Printer");
    std::vector<PaperEntry> papers{
        PaperEntryOf(QPageSize(QPageSize::A4)), PaperEntryOf(QPageSize(QPageSize::A3)),
        PaperEntryOf(QPageSize(QPageSize::B5)), PaperEntryOf(QPageSize(QPageSize::Letter))};

    QStringList PrinterNames() const override { return names; }
    QString CurrentPrinterName() const override { return current; }
    std::optional<std::vector<PaperEntry>> Papers() override { return papers; }
};

// Installs a PdfPrinterDevice writing to `pdf` for the scope; printer errors
// are recorded instead of shown.
class InstalledPdfPrinter {
public:
    explicit InstalledPdfPrinter(const QString& pdf) {
        auto owned = std::make_unique<PdfPrinterDevice>();
        device = owned.get();
        device->Printer()->setOutputFormat(QPrinter::PdfFormat);
        device->Printer()->setOutputFileName(pdf);
        SetProcessPrinterDevice(std::move(owned));
        previous_ =
            SetPrinterErrorFunction([this](PrinterErrorKind kind) { errors.push_back(kind); });
    }
    ~InstalledPdfPrinter() {
        SetPrinterErrorFunction(std::move(previous_));
        SetProcessPrinterDevice(nullptr);
    }
    InstalledPdfPrinter(const InstalledPdfPrinter&) = delete;
    InstalledPdfPrinter& operator=(const InstalledPdfPrinter&) = delete;

    PdfPrinterDevice* device = nullptr;
    std::vector<PrinterErrorKind> errors;

private:
    PrinterErrorFunction previous_;
};
