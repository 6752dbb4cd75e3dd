#pragma once

// The paper a document asks for: code, orientation and size in whole
// millimetres, as its settings keep them.

#include <QSize>
#include <cstdint>

#include "document/album_format.h"

struct AlbumDocument;

struct DocumentPaper {
    std::int32_t code = 0;  // DMPAPER code; 0 and 256 a user-defined size
    int orientation = 0;    // 0 portrait, 1 landscape
    std::int32_t widthMm = 0;
    std::int32_t heightMm = 0;

    bool operator==(const DocumentPaper&) const = default;
};

DocumentPaper DocumentPaperOf(const AlbumDocument& doc);

// The paper's size in screen pixels at 100 % for `ppi`.
QSize PaperPixels(const DocumentPaper& paper, int ppi);

// `settings` with `paper` in place of their own: what a window that adopted
// a printer's paper tells about its document.
TAlbumSettings WithPaper(TAlbumSettings settings, const DocumentPaper& paper);
