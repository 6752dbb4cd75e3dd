#pragma once

#include "controls/combo_box_next.h"

// A TComboBoxNext that reports the closing of its list (closeUp, before the
// box's own handling) and, unless double buffered, paints its background in
// the parent's colour. (Qt's text field draws the style's caret; the program
// uses it only as a drop-down list, which has no text field.) The zoom selector is
// one, as a drop-down list: Left and Right do not change its choice and Enter
// is swallowed.
class TPaintComboBox : public TComboBoxNext {
    Q_OBJECT
public:
    explicit TPaintComboBox(QWidget* parent = nullptr);

    void setDoubleBuffered(bool buffered);
    bool doubleBuffered() const { return doubleBuffered_; }

    void hidePopup() override;

signals:
    void closeUp();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool doubleBuffered_ = false;
};
