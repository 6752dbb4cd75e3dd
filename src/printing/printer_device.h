#pragma once

// The one seam between the printer environment and the platform's printing:
// the installed printers, the current device's paper list, its mode record
// and its measurements. Tests hand the environment a device with any list.

#include <QStringList>
#include <optional>
#include <vector>

#include "printing/paper_snapshot.h"

class QPrinter;

// The fields of the device's mode record the environment reads and writes.
struct DeviceMode {
    static constexpr int kPortrait = 1;  // as the mode record stores orientation
    static constexpr int kLandscape = 2;

    int paperSize = 0;  // DMPAPER code; 256 (or 0) for a custom size
    int orientation = kPortrait;
    int paperWidth = 0;  // tenths of a millimetre, for a custom size
    int paperLength = 0;
    int defaultSource = 0;
    int collate = 0;  // 1 collated
    int copies = 1;
};

// What the device's context reports, in device units.
struct DeviceMeasures {
    int physicalWidth = 0;  // the whole sheet in the current orientation
    int physicalHeight = 0;
    int pixelsPerInchX = 0;
    int pixelsPerInchY = 0;
    int physicalOffsetX = 0;  // the printable area's corner from the sheet's
    int physicalOffsetY = 0;
    int printableWidthMm = 0;  // whole millimetres, as the device says
    int printableHeightMm = 0;
};

class PrinterDevice {
public:
    virtual ~PrinterDevice() = default;
    // The installed printers, in the system's order.
    virtual QStringList PrinterNames() const = 0;
    // The current device; empty when there is none.
    virtual QString CurrentPrinterName() const = 0;
    // The current device's papers; nothing when the device fails to answer.
    virtual std::optional<std::vector<PaperEntry>> Papers() = 0;
    // The current mode record; nothing when it cannot be read.
    virtual std::optional<DeviceMode> Mode() = 0;
    // Makes `mode` the device's; false when the device refuses it.
    virtual bool SetMode(const DeviceMode& mode) = 0;
    // Nothing when the device cannot be measured.
    virtual std::optional<DeviceMeasures> Measures() = 0;
    // The printer object that jobs draw on and the dialogs edit; may be null
    // for devices that only answer questions.
    virtual QPrinter* Printer() = 0;
};
