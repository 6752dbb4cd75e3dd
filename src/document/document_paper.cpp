#include "document/document_paper.h"

#include "core/units.h"
#include "document/album_document.h"

DocumentPaper DocumentPaperOf(const AlbumDocument& doc) {
    return {doc.settings.paperCode, doc.settings.orientation == 0 ? 0 : 1, doc.settings.paperWidth,
            doc.settings.paperHeight};
}

QSize PaperPixels(const DocumentPaper& paper, int ppi) {
    return QSize(MmToScreenPixels(WholeMm(paper.widthMm), ppi),
                 MmToScreenPixels(WholeMm(paper.heightMm), ppi));
}

TAlbumSettings WithPaper(TAlbumSettings settings, const DocumentPaper& paper) {
    settings.paperCode = paper.code;
    settings.orientation = std::uint8_t(paper.orientation);
    settings.paperWidth = paper.widthMm;
    settings.paperHeight = paper.heightMm;
    return settings;
}
