#include "controls/focus_control.h"

#include <QKeyEvent>

TFocusControl::TFocusControl(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

bool TFocusControl::event(QEvent* e) {
    switch (e->type()) {
        case QEvent::ShortcutOverride: {
            auto* key = static_cast<QKeyEvent*>(e);
            if (!(key->modifiers() & Qt::AltModifier)) {
                key->accept();
                return true;
            }
            break;
        }
        case QEvent::KeyPress: {
            // Straight to the handler: no focus movement by Tab or arrows.
            auto* key = static_cast<QKeyEvent*>(e);
            key->ignore();
            emit keyDown(key);
            return true;
        }
        default:
            break;
    }
    return QWidget::event(e);
}

void TFocusControl::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
    emit entered();
}

void TFocusControl::focusOutEvent(QFocusEvent* e) {
    QWidget::focusOutEvent(e);
    emit exited();
}
