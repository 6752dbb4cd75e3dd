#pragma once

#include <QRect>

#include "core/units.h"

// The printable area of the printer's paper, in millimetres as scaled
// decimals, as the printer environment reports it.
struct PrintableAreaMm {
    Scaled offsetLeft = 0;
    Scaled offsetTop = 0;
    Scaled width = 0;
    Scaled height = 0;
};

// The overlay rectangle in picture-area coordinates at `zoomPercent` and the
// screen's `ppi`; `transposed` for a turned page while not printing.
QRect PrintableAreaRect(const PrintableAreaMm& area, int zoomPercent, int ppi, bool transposed);

// What the page view needs from the printer environment to show where the
// printer can print. The printer environment implements it.
class PrintableArea {
public:
    virtual ~PrintableArea() = default;
    // Offsets and size of the printable area for the selected printer and paper.
    virtual PrintableAreaMm PrintableAreaOnPaper() const = 0;
    // True while a print job runs.
    virtual bool IsPrinting() const = 0;
};
