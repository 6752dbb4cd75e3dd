#include "controls/paint_combo_box.h"

#include <QPainter>

TPaintComboBox::TPaintComboBox(QWidget* parent) : TComboBoxNext(parent) {
    setEditable(false);
    setMaxVisibleItems(999);
}

void TPaintComboBox::setDoubleBuffered(bool buffered) {
    doubleBuffered_ = buffered;
    update();
}

void TPaintComboBox::hidePopup() {
    if (isListShown()) emit closeUp();
    TComboBoxNext::hidePopup();
}

void TPaintComboBox::paintEvent(QPaintEvent* event) {
    if (!doubleBuffered_) {
        QPainter painter(this);
        const QWidget* parent = parentWidget();
        painter.fillRect(rect(), (parent ? parent : this)->palette().color(QPalette::Window));
    }
    TComboBoxNext::paintEvent(event);
}
