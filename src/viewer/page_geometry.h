#pragma once

#include <QRect>
#include <QSize>

#include "core/units.h"

// The four margins of a document in screen pixels at 100 %.
struct PageMargins {
    int top = 0;
    int bottom = 0;
    int left = 0;
    int right = 0;
    bool operator==(const PageMargins&) const = default;
};

// The rectangle the page picture is stretched into, in the coordinates of the
// picture area of `inner` size. Each margin moves its own edge right or down;
// the parts outside the area are clipped by the caller.
QRect PageDrawRect(QSize inner, const PageMargins& margins, int zoomPercent);

// The printable area of the printer's paper, in whole millimetres as scaled
// decimals, as the printer environment reports it.
struct PrintableAreaMm {
    Scaled offsetLeft = 0;
    Scaled offsetTop = 0;
    Scaled width = 0;
    Scaled height = 0;
};

// The overlay rectangle in picture-area coordinates; `transposed` for a
// turned page while not printing.
QRect PrintableAreaRect(const PrintableAreaMm& area, int zoomPercent, int ppi, bool transposed);
