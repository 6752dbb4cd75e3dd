#pragma once

// What the loader read from an album, as one JSON object (UTF-8 text, keys in
// a fixed order): the output of `neridal-tool info`.

#include <QString>
#include <QStringList>
#include <optional>

#include "document/album_document.h"

// Reads every page to tell its kind; nothing when the body or a page is
// damaged (`error` says why). Sizes in pixels are at `screenPpi`.
// `irregularities` (when given) gets the pages read although their producer
// wrote them irregularly, one line each.
std::optional<QString> AlbumInfoJson(const AlbumDocument& doc, int screenPpi, LoadError* error,
                                     QStringList* irregularities = nullptr);

// An OLE Automation date as "YYYY-MM-DD HH:MM:SS": rounded to the millisecond,
// shown to the whole second. Empty for a value outside the calendar.
QString OleDateText(double ole);
