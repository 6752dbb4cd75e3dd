#pragma once

// The bundled sample album: a construction-photo album of a few pages with
// synthesized photographs, Japanese captions and a contents list, format 3.0.

#include "document/album_writer.h"

AlbumDraft SampleAlbum();
