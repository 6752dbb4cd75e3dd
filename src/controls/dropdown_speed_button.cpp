#include "controls/dropdown_speed_button.h"

#include <QMenu>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

TDropdownSpeedButton::TDropdownSpeedButton(QWidget* parent) : TAlignSpeedButton(parent) {}

void TDropdownSpeedButton::setDropdownMenu(QMenu* menu) {
    menu_ = menu;
    if (menu) connect(menu, &QObject::destroyed, this, qOverload<>(&QWidget::update));
    update();
}

QRect TDropdownSpeedButton::HotCorner() const {
    return QRect(width() - kHotCornerSize, height() - kHotCornerSize, kHotCornerSize,
                 kHotCornerSize)
        .intersected(rect());
}

bool TDropdownSpeedButton::HasClickHandler() const {
    static const QMetaMethod clicked = QMetaMethod::fromSignal(&QAbstractButton::clicked);
    return isSignalConnected(clicked);
}

void TDropdownSpeedButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintButton(painter);
    if (menu_) DrawCornerMark(painter);
}

void TDropdownSpeedButton::DrawCornerMark(QPainter& painter) {
    // A right-angled triangle in the corner, drawn twice for an embossed look.
    const int w = width();
    const int h = height();
    auto triangle = [&](int o, const QColor& color) {
        const QPolygon corner({QPoint(w - 8 + o, h - 4 + o), QPoint(w - 4 + o, h - 4 + o),
                               QPoint(w - 4 + o, h - 8 + o)});
        painter.setPen(color);
        painter.setBrush(color);
        painter.drawPolygon(corner);
    };
    const int o = isShownDown() ? 1 : 0;
    triangle(o, palette().color(QPalette::Light));
    const QColor mark = !isEnabled()        ? palette().color(QPalette::Dark)
                        : HasClickHandler() ? QColor(0, 0, 255)
                                            : QColor(Qt::black);
    triangle(o - 1, mark);
}

void TDropdownSpeedButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        TAlignSpeedButton::mousePressEvent(event);
        return;
    }
    if (menuClosed_.isValid() && menuClosed_.elapsed() < kReopenGuardMs) {
        // The press that closed the menu: it must not open it again.
        menuClosed_.restart();
        event->accept();
        return;
    }
    TAlignSpeedButton::mousePressEvent(event);
    if (!menu_) return;
    if (HasClickHandler() && !HotCorner().contains(event->position().toPoint())) return;
    QPointer<TDropdownSpeedButton> self(this);
    menu_->exec(mapToGlobal(QPoint(0, height())));
    if (!self) return;
    menuClosed_.start();
    // Release the button without a click.
    suppressClick_ = true;
    QMouseEvent release(QEvent::MouseButtonRelease, event->position(), event->globalPosition(),
                        Qt::LeftButton, Qt::NoButton, event->modifiers());
    mouseReleaseEvent(&release);
    suppressClick_ = false;
}

bool TDropdownSpeedButton::hitButton(const QPoint& pos) const {
    return !suppressClick_ && TAlignSpeedButton::hitButton(pos);
}
