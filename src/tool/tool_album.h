#pragma once

// What the commands that read an album share: their usage and refusal lines,
// opening the album (its temporary copy in a folder that goes with it), and
// loading one page.

#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <optional>

#include "document/album_document.h"
#include "document/page_sheet.h"

// "neridal-tool NAME: WHY" and the usage line; exit status 2.
int ToolUsageError(const char* command, const char* usage, const QString& why);
// "neridal-tool NAME: TEXT"; exit status 1.
int ToolRefused(const char* command, const QString& text);

class ToolAlbum {
public:
    // Opens `file` with pixels at `ppi`; nothing, with `why`, when refused.
    static std::unique_ptr<ToolAlbum> Open(const QString& file, int ppi, QString* why);
    const AlbumDocument& doc() const { return *doc_; }
    // The album's paper and margins in pixels at the resolution it was opened for.
    const SheetGeometry& geometry() const { return geometry_; }
    // The sheet of `page`.
    PageSheet Sheet(int page) const { return PageSheetOf(*doc_, geometry_, page); }
    // Page `page` (1-based); nothing, with `why`, for a page outside the
    // album or one that cannot be read.
    std::optional<mf::Picture> LoadPage(int page, QString* why);

private:
    QTemporaryDir work_;
    std::unique_ptr<const AlbumDocument> doc_;
    SheetGeometry geometry_;
};
