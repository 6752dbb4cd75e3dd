#pragma once

#include <QComboBox>

// The keys that move the focus from a TComboBoxNext to its neighbours in the
// tab order (EnterNext).
enum class TEnterStyle { esEnter = 0x1, esUp = 0x2, esDown = 0x4, esLeft = 0x8 };
Q_DECLARE_FLAGS(TEnterStyles, TEnterStyle)
Q_DECLARE_OPERATORS_FOR_FLAGS(TEnterStyles)

// A combo box with colours that follow the focus and keyboard steps to the
// neighbouring controls:
// - with FocusColorChange, the box takes FocusColor/FocusFontColor while it
//   has the focus and NoFocusColor/NoFocusFontColor otherwise;
// - with EnterNext, Enter, Up, Down and Left (at the start of the text) move
//   the focus to the next or previous control, unless a modifier is held or
//   the list is dropped down;
// - a drop-down list ignores Left and Right; an editable box undoes its last
//   change on Escape; Enter is swallowed while the list is closed.
class TComboBoxNext : public QComboBox {
    Q_OBJECT
public:
    explicit TComboBoxNext(QWidget* parent = nullptr);

    void setNoFocusColor(const QColor& color);
    QColor noFocusColor() const { return noFocusColor_; }
    void setFocusColor(const QColor& color);
    QColor focusColor() const { return focusColor_; }
    void setNoFocusFontColor(const QColor& color);
    QColor noFocusFontColor() const { return noFocusFontColor_; }
    void setFocusFontColor(const QColor& color);
    QColor focusFontColor() const { return focusFontColor_; }
    void setFocusColorChange(bool change);
    bool focusColorChange() const { return focusColorChange_; }
    void setEnterNext(TEnterStyles styles) { enterNext_ = styles; }
    TEnterStyles enterNext() const { return enterNext_; }

    // The colours now shown: the face and the text.
    QColor shownColor() const;
    QColor shownFontColor() const;

    bool isListShown() const;

signals:
    // Runs before the box's own key handling; accept the event to consume the key.
    void keyDown(QKeyEvent* event);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool NavigateNeighbours(QKeyEvent* event);
    void ApplyColors(const QColor& face, const QColor& text);
    void ApplyFocusPair();
    void ApplyNoFocusPair();

    QColor noFocusColor_;
    QColor focusColor_;
    QColor noFocusFontColor_;
    QColor focusFontColor_;
    bool focusColorChange_ = false;
    TEnterStyles enterNext_;
};
