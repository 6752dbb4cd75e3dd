#include "controls/paint_combo_box.h"

#include <QKeyEvent>

TPaintComboBox::TPaintComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    setMaxVisibleItems(999);
}

void TPaintComboBox::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            e->accept();
            return;
        default:
            QComboBox::keyPressEvent(e);
    }
}
