#pragma once

// Windows metafiles (WMF) are played by turning them into an enhanced metafile
// first, record by record, the way GDI's SetWinMetaFileBits does; the EMF
// player then draws the result. Both placeable WMF (22-byte header with the
// bounding box and units per inch) and plain WMF are accepted.

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <optional>

namespace mf {

class SkippedRecords;

// What the header (and, for a plain WMF, the mapping records) say about the
// picture's size.
struct WmfInfo {
    bool placeable = false;
    // Placeable: the header's bounding box. Plain: the window the file sets up
    // (SetWindowOrg/SetWindowExt), else the extent of what it draws. Logical
    // units of the file; never empty.
    QRect bbox;
    // Placeable: the header's value. Plain: from the file's fixed map mode
    // (twips 1440, 0.01 mm 2540, ...), else 96 (one unit per screen pixel)
    // unless that makes the picture larger than a 1920 x 1440 screen, then
    // 1440, and 2540 when even that is too large.
    int unitsPerInch = 96;

    // Bounding box in pixels at `ppi` (at least 1 x 1).
    QSize naturalSize(int ppi = 96) const;
    // Bounding box in 0.01 mm.
    QSizeF frameHundredthsMm() const;
};

// Checks the header (the placeable checksum among it) and works out the size.
std::optional<WmfInfo> ReadWmfInfo(const QByteArray& wmf, QString* why = nullptr);

// Converts a placeable or plain WMF to EMF bytes. The EMF's frame is the
// bounding box, its reference device a 96-ppi screen, so its natural size is
// WmfInfo::naturalSize(96). Damaged records are skipped or end the
// conversion; only an unusable header makes it fail.
// Records left out are counted in `skipped` when given.
std::optional<QByteArray> ConvertWmfToEmf(const QByteArray& wmf, QString* why = nullptr,
                                          SkippedRecords* skipped = nullptr);

}  // namespace mf
