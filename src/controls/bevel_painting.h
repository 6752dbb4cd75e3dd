#pragma once

#include <QRect>
#include <QString>

class QColor;
class QPainter;
class QPalette;

// The 3-D look shared by the program's buttons and panels: button highlight
// (the palette's Light) and button shadow (its Dark).

enum class BevelKind { None, Lowered, Raised };

// Draws a frame of `width` pixels along the inside of `rect`: lowered is
// shadow at the top and left and highlight at the bottom and right, raised the
// opposite. Returns the rectangle inside the frame.
QRect DrawBevel(QPainter& painter, const QRect& rect, BevelKind kind, int width,
                const QPalette& palette);

// Draws `text` into `rect` with QPainter::drawText `flags`: in `color` when
// enabled; embossed when disabled (a highlight copy one pixel down-right,
// then a shadow copy in place).
void DrawCaption(QPainter& painter, const QRect& rect, int flags, const QString& text, bool enabled,
                 const QPalette& palette, const QColor& color);
