#include "printing/qt_printer_device.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <cmath>

namespace {

constexpr int kMaxPaperNameLength = 64;
constexpr double kMmPerInch = 25.4;

int Tenths(double mm) {
    return int(std::lround(mm * 10));
}

int CodeOf(const QPageSize& size) {
    const int id = size.windowsId();
    return id > 0 && size.id() != QPageSize::Custom ? id : kUserDefinedPaper;
}

}  // namespace

PaperEntry PaperEntryOf(const QPageSize& size) {
    const QSizeF mm = size.size(QPageSize::Millimeter);
    return {size.name().left(kMaxPaperNameLength), CodeOf(size), Tenths(mm.width()),
            Tenths(mm.height())};
}

QtPrinterDevice::QtPrinterDevice()
    : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    printer_->setFullPage(true);  // the canvas starts at the sheet's corner
}

QtPrinterDevice::~QtPrinterDevice() = default;

QStringList QtPrinterDevice::PrinterNames() const {
    return QPrinterInfo::availablePrinterNames();
}

QString QtPrinterDevice::CurrentPrinterName() const {
    if (printer_->outputFormat() != QPrinter::NativeFormat) return QString();
    return printer_->printerName();
}

std::optional<std::vector<PaperEntry>> QtPrinterDevice::Papers() {
    const QPrinterInfo info(*printer_);
    if (info.isNull()) return std::nullopt;
    std::vector<PaperEntry> entries;
    for (const QPageSize& size : info.supportedPageSizes())
        entries.push_back(PaperEntryOf(size));
    return entries;
}

std::optional<DeviceMode> QtPrinterDevice::Mode() {
    const QPageLayout layout = printer_->pageLayout();
    if (!layout.isValid()) return std::nullopt;
    DeviceMode mode;
    const QPageSize size = layout.pageSize();
    mode.paperSize = CodeOf(size);
    if (mode.paperSize == kUserDefinedPaper) {
        const QSizeF mm = size.size(QPageSize::Millimeter);
        mode.paperWidth = Tenths(mm.width());
        mode.paperLength = Tenths(mm.height());
    }
    mode.orientation = layout.orientation() == QPageLayout::Landscape ? DeviceMode::kLandscape
                                                                      : DeviceMode::kPortrait;
    mode.defaultSource = int(printer_->paperSource());
    mode.collate = printer_->collateCopies() ? 1 : 0;
    mode.copies = printer_->copyCount();
    return mode;
}

bool QtPrinterDevice::SetMode(const DeviceMode& mode) {
    QPageSize size = printer_->pageLayout().pageSize();
    if (mode.paperSize != 0 && mode.paperSize != kUserDefinedPaper) {
        const QPageSize::PageSizeId id = QPageSize::id(mode.paperSize);
        if (id == QPageSize::Custom) return false;
        size = QPageSize(id);
    } else if (mode.paperWidth > 0 && mode.paperLength > 0) {
        size = QPageSize(QSizeF(mode.paperWidth / 10.0, mode.paperLength / 10.0),
                         QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
    }
    const QPageLayout::Orientation orientation =
        mode.orientation == DeviceMode::kLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
    // Size and orientation go in together: one after the other can lose
    // landscape on CUPS.
    if (!printer_->setPageLayout(QPageLayout(size, orientation, QMarginsF()))) return false;
    printer_->setPaperSource(QPrinter::PaperSource(mode.defaultSource));
    printer_->setCollateCopies(mode.collate == 1);
    printer_->setCopyCount(std::max(1, mode.copies));
    return true;
}

std::optional<DeviceMeasures> QtPrinterDevice::Measures() {
    const int dpi = printer_->resolution();
    if (dpi <= 0) return std::nullopt;
    const QPageLayout layout = printer_->pageLayout();
    const QRect sheet = layout.fullRectPixels(dpi);
    // The device's unprintable edges are the layout's minimum margins.
    QPageLayout printable = layout;
    printable.setMode(QPageLayout::StandardMode);
    printable.setMargins(layout.minimumMargins());
    const QRect area = printable.paintRectPixels(dpi);
    DeviceMeasures m;
    m.physicalWidth = sheet.width();
    m.physicalHeight = sheet.height();
    m.pixelsPerInchX = dpi;
    m.pixelsPerInchY = dpi;
    m.physicalOffsetX = area.left();
    m.physicalOffsetY = area.top();
    m.printableWidthMm = int(std::lround(area.width() * kMmPerInch / dpi));
    m.printableHeightMm = int(std::lround(area.height() * kMmPerInch / dpi));
    return m;
}

QPrinter* QtPrinterDevice::Printer() {
    return printer_.get();
}
