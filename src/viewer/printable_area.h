#pragma once

#include "viewer/page_geometry.h"

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
