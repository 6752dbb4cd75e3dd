#pragma once

// What the loader read from an album, as one JSON object (UTF-8 text, keys in
// a fixed order): the output of `neridal-tool info`.

#include <QString>
#include <optional>

#include "document/album_document.h"

// Reads every page to tell its kind; nothing when a page is damaged (`error`
// says why).
std::optional<QString> AlbumInfoJson(AlbumDocument& doc, LoadError* error);

// An OLE Automation date as "YYYY-MM-DD HH:MM:SS": rounded to the millisecond,
// shown to the whole second. Empty for a value outside the calendar.
QString OleDateText(double ole);
