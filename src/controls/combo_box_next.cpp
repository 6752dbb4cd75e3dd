#include "controls/combo_box_next.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLineEdit>

TComboBoxNext::TComboBoxNext(QWidget* parent)
    : QComboBox(parent),
      noFocusColor_(palette().color(QPalette::Base)),
      focusColor_(palette().color(QPalette::Base)),
      noFocusFontColor_(palette().color(QPalette::Text)),
      focusFontColor_(palette().color(QPalette::Text)) {}

bool TComboBoxNext::isListShown() const {
    return view() && view()->isVisible();
}

QColor TComboBoxNext::shownColor() const {
    return palette().color(isEditable() ? QPalette::Base : QPalette::Button);
}

QColor TComboBoxNext::shownFontColor() const {
    return palette().color(isEditable() ? QPalette::Text : QPalette::ButtonText);
}

void TComboBoxNext::ApplyColors(const QColor& face, const QColor& text) {
    QPalette pal = palette();
    pal.setColor(QPalette::Base, face);
    pal.setColor(QPalette::Button, face);
    pal.setColor(QPalette::Text, text);
    pal.setColor(QPalette::ButtonText, text);
    setPalette(pal);
}

void TComboBoxNext::ApplyFocusPair() {
    ApplyColors(focusColor_, focusFontColor_);
}

void TComboBoxNext::ApplyNoFocusPair() {
    ApplyColors(noFocusColor_, noFocusFontColor_);
}

void TComboBoxNext::setNoFocusColor(const QColor& color) {
    noFocusColor_ = color;
    if (focusColorChange_ && !hasFocus()) ApplyNoFocusPair();
}

void TComboBoxNext::setNoFocusFontColor(const QColor& color) {
    noFocusFontColor_ = color;
    if (focusColorChange_ && !hasFocus()) ApplyNoFocusPair();
}

void TComboBoxNext::setFocusColor(const QColor& color) {
    focusColor_ = color;
    if (focusColorChange_ && hasFocus()) ApplyFocusPair();
}

void TComboBoxNext::setFocusFontColor(const QColor& color) {
    focusFontColor_ = color;
    if (focusColorChange_ && hasFocus()) ApplyFocusPair();
}

void TComboBoxNext::setFocusColorChange(bool change) {
    focusColorChange_ = change;
    if (!change) return;
    hasFocus() ? ApplyFocusPair() : ApplyNoFocusPair();
    update();
}

void TComboBoxNext::focusInEvent(QFocusEvent* event) {
    if (focusColorChange_) ApplyFocusPair();
    QComboBox::focusInEvent(event);
}

void TComboBoxNext::focusOutEvent(QFocusEvent* event) {
    if (focusColorChange_) ApplyNoFocusPair();
    QComboBox::focusOutEvent(event);
}

void TComboBoxNext::paintEvent(QPaintEvent* event) {
    if (focusColorChange_) {
        if (hasFocus() && shownColor() != focusColor_)
            ApplyFocusPair();
        else if (!hasFocus() && shownColor() != noFocusColor_)
            ApplyNoFocusPair();
    }
    QComboBox::paintEvent(event);
}

bool TComboBoxNext::NavigateNeighbours(QKeyEvent* event) {
    if (!enterNext_ || isListShown()) return false;
    if (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))
        return false;
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return enterNext_.testFlag(TEnterStyle::esEnter) && focusNextPrevChild(true);
        case Qt::Key_Left: {
            const int selectionStart =
                lineEdit() ? (lineEdit()->hasSelectedText() ? lineEdit()->selectionStart()
                                                            : lineEdit()->cursorPosition())
                           : 0;
            return enterNext_.testFlag(TEnterStyle::esLeft) && selectionStart == 0 &&
                   focusNextPrevChild(false);
        }
        case Qt::Key_Up:
            if (enterNext_.testFlag(TEnterStyle::esUp)) return focusNextPrevChild(false);
            return enterNext_.testFlag(TEnterStyle::esDown);  // swallowed
        case Qt::Key_Down:
            if (enterNext_.testFlag(TEnterStyle::esDown)) return focusNextPrevChild(true);
            return enterNext_.testFlag(TEnterStyle::esUp);  // swallowed
        default:
            return false;
    }
}

void TComboBoxNext::keyPressEvent(QKeyEvent* event) {
    event->ignore();
    emit keyDown(event);
    if (event->isAccepted()) return;
    if (NavigateNeighbours(event)) {
        event->accept();
        return;
    }
    const int key = event->key();
    if (!isEditable() && (key == Qt::Key_Left || key == Qt::Key_Right)) {
        event->accept();
        return;
    }
    if (isEditable() && key == Qt::Key_Escape && lineEdit()->isUndoAvailable()) {
        lineEdit()->undo();
        event->accept();
        return;
    }
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !isListShown()) {
        // Swallowed: no default button, no beep.
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}
