#include "viewer/view_widgets.h"

#include <QPaintEvent>
#include <QPainter>

TScrollBox::TScrollBox(QWidget* parent) : QScrollArea(parent), content_(new QWidget) {
    setWidgetResizable(false);
    setFrameShape(QFrame::NoFrame);
    setWidget(content_);
    content_->setAutoFillBackground(false);
    viewport()->setAutoFillBackground(true);
}

TSheetPanel::TSheetPanel(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TSheetPanel::setRimColor(const QColor& color) {
    if (rim_ == color) return;
    rim_ = color;
    update();
}

void TSheetPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect();
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.setPen(rim_);
    p.drawRect(r.adjusted(1, 1, -2, -2));
}

TPaintBox::TPaintBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPaintBox::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    if (onPaint)
        onPaint(p, event->rect());
    else
        p.fillRect(event->rect(), Qt::white);
}
