#include "document/page_sheet.h"

#include "core/units.h"
#include "document/album_document.h"

namespace {

constexpr double kPercent = 100.0;

}  // namespace

QSize PageSheet::PaperAtZoom(int zoomPercent) const {
    const double z = zoomPercent / kPercent;
    return QSize(static_cast<int>(paper.width() * z), static_cast<int>(paper.height() * z));
}

PageMargins MarginPixels(const TAlbumHeader& header, int ppi) {
    return {MmToScreenPixels(header.marginTop, ppi), MmToScreenPixels(header.marginBottom, ppi),
            MmToScreenPixels(header.marginLeft, ppi), MmToScreenPixels(header.marginRight, ppi)};
}

TAlbumHeader WithMarginPixels(const TAlbumHeader& header, const PageMargins& margins, int ppi) {
    return WithMargins(header, ScreenPixelsToMm(margins.top, ppi),
                       ScreenPixelsToMm(margins.bottom, ppi), ScreenPixelsToMm(margins.left, ppi),
                       ScreenPixelsToMm(margins.right, ppi));
}

SheetGeometry SheetGeometryOf(const AlbumDocument& doc, int ppi) {
    const DocumentPaper paper = DocumentPaperOf(doc);
    return {paper, PaperPixels(paper, ppi), MarginPixels(doc.header, ppi), ppi};
}

SheetGeometry WithPaper(SheetGeometry geometry, const DocumentPaper& paper) {
    geometry.paper = paper;
    geometry.paperPixels = PaperPixels(paper, geometry.ppi);
    return geometry;
}

PageSheet PageSheetOf(const AlbumDocument& doc, const SheetGeometry& geometry, int page) {
    PageSheet sheet;
    sheet.turned = doc.IsTurnedPage(page);
    sheet.paper = geometry.paperPixels;
    if (sheet.turned) sheet.paper.transpose();
    sheet.margins = geometry.margins;
    return sheet;
}

QRect PageDrawRect(QSize inner, const PageMargins& m, int zoomPercent) {
    const double z = zoomPercent / kPercent;
    const int left = static_cast<int>(m.left * z);
    const int top = static_cast<int>(m.top * z);
    const int right = inner.width() + static_cast<int>(m.right * z);
    const int bottom = inner.height() + static_cast<int>(m.bottom * z);
    // QRect's right and bottom are inclusive; these edges are exclusive.
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}
