#pragma once

// Page output as a placeable WMF: an EMF converted record by record, the way
// GDI's GetWinMetaFileBits does, with every point mapped through the EMF's
// own mapping and world transform into the header's units (the WMF plays in
// the anisotropic mode with the window = the bounding box).

#include <QByteArray>
#include <QString>
#include <optional>

namespace mf {

// The bounding box is (0, 0) to the EMF frame's size in `unitsPerInch`
// units; a frame too large for 16-bit coordinates in them gets the largest
// units per inch that fits (the header says which). Records without a WMF form (paths are
// flattened; gradients, alpha blends and world-transformed bitmaps are not kept) are left out.
// Fails only for bytes that are not an EMF or a `unitsPerInch` outside 1..32767.
std::optional<QByteArray> ConvertEmfToPlaceableWmf(const QByteArray& emf, int unitsPerInch,
                                                   QString* why = nullptr);

}  // namespace mf
