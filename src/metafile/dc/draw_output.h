#pragma once

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QPen>
#include <QString>
#include <QTransform>
#include <optional>
#include <vector>

namespace mf {

// Raster operations that reach an output. Shapes use the binary ROP2 codes
// (1..16 as GDI numbers them); bitmaps are reduced to one of these first.
enum class Blend {
    Copy,                 // source over destination
    And,                  // S & D
    Or,                   // S | D
    Xor,                  // S ^ D
    NotDest,              // ~D (the source only gives the shape)
    NotSourceOr,          // ~S | D
    NotSourceAndNotDest,  // ~S & ~D
    NotSourceAnd,         // ~S & D
    SourceAndNotDest,     // S & ~D
    NotSourceOrNotDest,   // ~S | ~D
    NotSourceXor,         // ~(S ^ D)
    SourceOrNotDest,      // S | ~D
};

// A string placed glyph by glyph: positions are baseline origins in run space,
// `toDevice` maps run space to device pixels.
struct TextRun {
    QFont font;  // pixel size in run space
    QTransform toDevice;
    QString text;
    std::vector<QPointF> positions;  // one per UTF-16 unit (or per glyph)
    std::vector<quint32> glyphs;     // glyph indexes in place of text
    QColor color;
    std::optional<QPainterPath> clip;  // device pixels, on top of the clip
};

// Where the device-context core sends what it draws. Every coordinate is in
// device pixels of the painter's device (the core has already applied the
// world, page and stretch transforms).
class DrawOutput {
public:
    virtual ~DrawOutput() = default;

    // Clip for everything that follows; nothing means unclipped.
    virtual void SetClip(const std::optional<QPainterPath>& clip) = 0;
    virtual void FillPath(const QPainterPath& path, const QBrush& brush, Blend blend) = 0;
    virtual void StrokePath(const QPainterPath& path, const QPen& pen, Blend blend) = 0;
    // Draws `image` with its pixel rectangle mapped by `toDevice`.
    virtual void DrawImage(const QImage& image, const QTransform& toDevice, Blend blend) = 0;
    virtual void DrawText(const TextRun& run) = 0;
};

}  // namespace mf
