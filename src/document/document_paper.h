#pragma once

// The paper a document asks for: code, orientation and size in whole
// millimetres, as its settings keep them.

#include <cstdint>

struct AlbumDocument;

struct DocumentPaper {
    std::int32_t code = 0;  // DMPAPER code; 0 and 256 a user-defined size
    int orientation = 0;    // 0 portrait, 1 landscape
    std::int32_t widthMm = 0;
    std::int32_t heightMm = 0;

    bool operator==(const DocumentPaper&) const = default;
};

DocumentPaper DocumentPaperOf(const AlbumDocument& doc);

// Derives the paper's size in screen pixels at 100 % for `ppi` from the
// settings' millimetres.
void SetPaperPixels(AlbumDocument& doc, int ppi);

// Makes `paper` the document's, in memory only, and derives its size in
// screen pixels at 100 % for `ppi`.
void AdoptDocumentPaper(AlbumDocument& doc, const DocumentPaper& paper, int ppi);
