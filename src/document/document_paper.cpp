#include "document/document_paper.h"

#include "document/album_document.h"

DocumentPaper DocumentPaperOf(const AlbumDocument& doc) {
    return {doc.settings.paperCode, doc.settings.orientation == 0 ? 0 : 1, doc.settings.paperWidth,
            doc.settings.paperHeight};
}

void AdoptDocumentPaper(AlbumDocument& doc, const DocumentPaper& paper, int ppi) {
    doc.settings.paperCode = paper.code;
    doc.settings.orientation = std::uint8_t(paper.orientation);
    doc.settings.paperWidth = paper.widthMm;
    doc.settings.paperHeight = paper.heightMm;
    SetPaperPixels(doc, ppi);
}

void SetPaperPixels(AlbumDocument& doc, int ppi) {
    doc.paperWidth = MmToScreenPixels(WholeMm(doc.settings.paperWidth), ppi);
    doc.paperHeight = MmToScreenPixels(WholeMm(doc.settings.paperHeight), ppi);
}
