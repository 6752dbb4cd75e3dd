#pragma once

#include <QRect>
#include <QSize>
#include <QStringList>
#include <optional>

// Where the white sheet goes in the scroll area and how far the area scrolls.
struct SheetLayout {
    int zoomPercent = 0;
    QRect sheet;        // position and size inside the scrolled content
    int horzRange = 0;  // extent of the scrolled content
    int vertRange = 0;
};

// Lays the sheet out for `paper` (pixels at 100 %, already exchanged for a
// turned page) in a scroll area of `client` size, for the zoom choice
// `zoomIndex` whose fixed percentages come from `items` (the selector texts).
// Nothing when the paper has no size. An index without an item lays out at 100 %.
std::optional<SheetLayout> LayoutSheet(QSize paper, QSize client, int zoomIndex,
                                       const QStringList& items);

// The zoom percent alone (step 3 of the layout).
int ZoomPercentFor(QSize paper, QSize client, int zoomIndex, const QStringList& items);
