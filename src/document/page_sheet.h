#pragma once

// The page as a sheet of paper: its size, whether it is turned and where the
// picture is stretched with the document's margins. The window, the printer
// and neridal-tool all compose a page through these.

#include <QRect>
#include <QSize>

#include "document/document_paper.h"

struct AlbumDocument;
struct TAlbumHeader;

// The four margins of a document in device pixels at 100 %.
struct PageMargins {
    int top = 0;
    int bottom = 0;
    int left = 0;
    int right = 0;
    bool operator==(const PageMargins&) const = default;
};

// A header's margins in screen pixels at 100 % for `ppi`.
PageMargins MarginPixels(const TAlbumHeader& header, int ppi);
// The header with the margins in pixels at `ppi` turned into its millimetres.
TAlbumHeader WithMarginPixels(const TAlbumHeader& header, const PageMargins& margins, int ppi);

// How whoever shows an album lays its pages out at 100 %: the paper it uses
// (the album's own, or one adopted from a printer) and, for the screen
// resolution it works at, that paper and the margins in pixels. The album
// never changes; each window, print job and tool command keeps its own.
struct SheetGeometry {
    DocumentPaper paper;
    QSize paperPixels;  // upright
    PageMargins margins;
    int ppi = 0;
};

// The album's own paper and margins at `ppi`.
SheetGeometry SheetGeometryOf(const AlbumDocument& doc, int ppi);
// `geometry` with `paper` in place of its own, at the same resolution.
SheetGeometry WithPaper(SheetGeometry geometry, const DocumentPaper& paper);

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
PageSheet PageSheetOf(const AlbumDocument& doc, const SheetGeometry& geometry, int page);

// The rectangle the page picture is stretched into, in the coordinates of the
// picture area of `inner` size. Each margin moves its own edge right or down;
// the parts outside the area are clipped by the caller.
QRect PageDrawRect(QSize inner, const PageMargins& margins, int zoomPercent);
