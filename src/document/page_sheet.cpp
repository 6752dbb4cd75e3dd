#include "document/page_sheet.h"

#include "document/album_document.h"

namespace {

constexpr double kPercent = 100.0;

}  // namespace

QSize PageSheet::PaperAtZoom(int zoomPercent) const {
    const double z = zoomPercent / kPercent;
    return QSize(static_cast<int>(paper.width() * z), static_cast<int>(paper.height() * z));
}

PageSheet PageSheetOf(const AlbumDocument& doc, int page) {
    PageSheet sheet;
    sheet.turned = doc.IsTurnedPage(page);
    sheet.paper = QSize(doc.paperWidth, doc.paperHeight);
    if (sheet.turned) sheet.paper.transpose();
    sheet.margins = {doc.marginTop, doc.marginBottom, doc.marginLeft, doc.marginRight};
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
