#include "viewer/contents_icons.h"

#include <QPainter>

QPixmap ContentsIcon(int image) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    const QColor paper = image == 0 ? QColor(96, 192, 96) : QColor(Qt::white);
    p.setPen(QColor(64, 64, 64));
    p.setBrush(paper);
    p.drawRect(3, 1, 10, 13);
    p.setPen(QColor(0, 0, 128));
    for (int y = 4; y <= 11; y += 2)
        p.drawLine(5, y, 11, y);
    return pixmap;
}
