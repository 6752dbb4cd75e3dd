#include "controls/bevel_painting.h"

#include <QPainter>
#include <QPalette>

QRect DrawBevel(QPainter& painter, const QRect& rect, BevelKind kind, int width,
                const QPalette& palette) {
    if (kind == BevelKind::None || width <= 0) return rect;
    const QColor light = palette.color(QPalette::Light);
    const QColor shadow = palette.color(QPalette::Dark);
    const QColor topLeft = kind == BevelKind::Raised ? light : shadow;
    const QColor bottomRight = kind == BevelKind::Raised ? shadow : light;
    QRect r = rect;
    for (int i = 0; i < width && r.width() > 0 && r.height() > 0; ++i) {
        painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), topLeft);
        painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), topLeft);
        painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
        painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
        r.adjust(1, 1, -1, -1);
    }
    return r;
}

void DrawCaption(QPainter& painter, const QRect& rect, int flags, const QString& text, bool enabled,
                 const QPalette& palette, const QColor& color) {
    painter.save();
    if (enabled) {
        painter.setPen(color);
        painter.drawText(rect, flags, text);
    } else {
        painter.setPen(palette.color(QPalette::Light));
        painter.drawText(rect.translated(1, 1), flags, text);
        painter.setPen(palette.color(QPalette::Dark));
        painter.drawText(rect, flags, text);
    }
    painter.restore();
}
