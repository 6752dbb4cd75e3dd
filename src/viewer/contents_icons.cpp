#include "viewer/contents_icons.h"

#include <QPainter>

QPixmap ContentsIcon(int image, qreal devicePixelRatio) {
    const qreal scale = std::max<qreal>(devicePixelRatio, 1.0);
    QPixmap pixmap(QSize(kContentsIconSize, kContentsIconSize) * scale);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    // Lines on the pixel grid at any scale: half-pixel offsets of one device pixel.
    const qreal half = 0.5 / scale;
    const QColor paper = image == 0 ? QColor(96, 192, 96) : QColor(Qt::white);
    p.setPen(QPen(QColor(64, 64, 64), 1.0 / scale));
    p.setBrush(paper);
    p.drawRect(QRectF(3 + half, 1 + half, 10, 13));
    p.setPen(QPen(QColor(0, 0, 128), 1.0, Qt::SolidLine, Qt::FlatCap));
    for (int y = 4; y <= 11; y += 2)
        p.drawLine(QPointF(5, y + 0.5), QPointF(12, y + 0.5));
    return pixmap;
}
