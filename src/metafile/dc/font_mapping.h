#pragma once

#include <QFont>
#include <QHash>
#include <QString>
#include <optional>

#include "metafile/dc/gdi_objects.h"

namespace mf {

// Maps the Windows faces that metafiles name to installed fonts with the same
// metrics where one exists (IPA for the MS Japanese faces, Liberation for the
// core Windows faces, Carlito and Caladea for the Office ones).
class FontMapper {
public:
    // Installed family for a face name; an unknown face goes by its pitch,
    // family and character set.
    static QString FamilyFor(const QString& face, int charSet, int pitchAndFamily,
                             int weight = 400);

    // The installed family that stands in for a Windows face by name, if the
    // face is one of those mapped.
    static std::optional<QString> StandInFor(const QString& face);

    // A font for `lf` with an em height of `emPixels` (at least 1).
    QFont FontFor(const LogFont& lf, int emPixels) const;

    // Em height per cell height (ascent + descent) of a family, for fonts
    // whose LOGFONT gives a positive (cell) height.
    double EmPerCell(const QString& family) const;

    // True when the installed face of a symbol family keys its glyphs by the
    // Symbol encoding's bytes rather than by Unicode characters.
    bool KeysSymbolsByCode(const QString& family) const;

private:
    mutable QHash<QString, double> emPerCell_;
    mutable QHash<QString, bool> symbolsByCode_;
};

}  // namespace mf
