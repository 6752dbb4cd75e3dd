#pragma once

// The page as a sheet of paper: its size, whether it is turned and where the
// picture is stretched with the document's margins. The window, the printer
// and neridal-tool all compose a page through these.

#include <QRect>
#include <QSize>

struct AlbumDocument;

// The four margins of a document in device pixels at 100 %.
struct PageMargins {
    int top = 0;
    int bottom = 0;
    int left = 0;
    int right = 0;
    bool operator==(const PageMargins&) const = default;
};

// One page of a document on its sheet, in the pixels of the resolution the
// document was opened for.
struct PageSheet {
    QSize paper;          // width and height exchanged for a turned page
    bool turned = false;  // a PXA page whose orientation differs from the first record's
    PageMargins margins;

    // The sheet at `zoomPercent`, truncated toward zero.
    QSize PaperAtZoom(int zoomPercent) const;
};

// The sheet of `page` (1..pageCount; any other page gives the unturned sheet).
PageSheet PageSheetOf(const AlbumDocument& doc, int page);

// The rectangle the page picture is stretched into, in the coordinates of the
// picture area of `inner` size. Each margin moves its own edge right or down;
// the parts outside the area are clipped by the caller.
QRect PageDrawRect(QSize inner, const PageMargins& margins, int zoomPercent);
