#include "controls/toolbar_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace {

const QColor kInk(0, 0, 128);

void Page(QPainter& p, const QRectF& r) {
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawRect(r);
}

void Triangle(QPainter& p, qreal x, qreal y, qreal size, bool right) {
    QPolygonF t;
    if (right)
        t << QPointF(x, y) << QPointF(x + size, y + size) << QPointF(x, y + 2 * size);
    else
        t << QPointF(x + size, y) << QPointF(x, y + size) << QPointF(x + size, y + 2 * size);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawPolygon(t);
}

void Magnifier(QPainter& p, bool plus) {
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(QColor(220, 240, 255));
    p.drawEllipse(QRectF(3, 3, 11, 11));
    p.drawLine(QPointF(13, 13), QPointF(18, 18));
    p.setPen(QPen(kInk, 2));
    p.drawLine(QPointF(6, 8.5), QPointF(11, 8.5));
    if (plus) p.drawLine(QPointF(8.5, 6), QPointF(8.5, 11));
}

}  // namespace

QIcon ToolbarIcon(ToolbarPicture picture) {
    QPixmap pm(20, 20);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    switch (picture) {
        case ToolbarPicture::Open: {
            p.setPen(QPen(Qt::black, 1));
            p.setBrush(QColor(240, 200, 80));
            p.drawRect(QRectF(2.5, 6.5, 15, 10));
            p.drawRect(QRectF(2.5, 4.5, 6, 2));
            break;
        }
        case ToolbarPicture::Margin:
            Page(p, QRectF(4.5, 2.5, 11, 15));
            p.setPen(QPen(Qt::red, 1, Qt::DashLine));
            p.drawRect(QRectF(6.5, 4.5, 7, 11));
            break;
        case ToolbarPicture::Print:
            Page(p, QRectF(6.5, 2.5, 7, 6));
            p.setBrush(QColor(192, 192, 192));
            p.drawRect(QRectF(2.5, 8.5, 15, 7));
            Page(p, QRectF(5.5, 13.5, 9, 4));
            break;
        case ToolbarPicture::PageScroll:
            Page(p, QRectF(4.5, 1.5, 11, 7));
            Page(p, QRectF(4.5, 11.5, 11, 7));
            p.setPen(QPen(kInk, 2));
            p.drawLine(QPointF(10, 5), QPointF(10, 15));
            break;
        case ToolbarPicture::Contents:
            Page(p, QRectF(3.5, 2.5, 13, 15));
            p.setPen(QPen(kInk, 1));
            for (int y = 5; y <= 14; y += 3)
                p.drawLine(QPointF(6, y + 0.5), QPointF(14, y + 0.5));
            break;
        case ToolbarPicture::Jump:
            Page(p, QRectF(5.5, 2.5, 10, 15));
            Triangle(p, 1, 6, 4, true);
            break;
        case ToolbarPicture::Start:
            p.fillRect(QRectF(4, 4, 2, 12), kInk);
            Triangle(p, 7, 4, 6, false);
            break;
        case ToolbarPicture::Back:
            Triangle(p, 6, 4, 6, false);
            break;
        case ToolbarPicture::Next:
            Triangle(p, 8, 4, 6, true);
            break;
        case ToolbarPicture::End:
            Triangle(p, 7, 4, 6, true);
            p.fillRect(QRectF(14, 4, 2, 12), kInk);
            break;
        case ToolbarPicture::Small:
            Magnifier(p, false);
            break;
        case ToolbarPicture::Big:
            Magnifier(p, true);
            break;
    }
    p.end();
    return QIcon(pm);
}
