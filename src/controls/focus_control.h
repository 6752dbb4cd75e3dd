#pragma once

#include <QWidget>

// An invisible control that takes the keyboard for an area without a
// focusable control of its own. Every key press reaches keyDown, Tab and the
// arrow keys included; menu shortcuts other than Alt ones are not looked up
// while it has the focus. entered/exited also follow the activation of the
// whole window, so they may come twice for one change.
class TFocusControl : public QWidget {
    Q_OBJECT
public:
    explicit TFocusControl(QWidget* parent = nullptr);

signals:
    // Accept the event to consume the key.
    void keyDown(QKeyEvent* event);
    void entered();
    void exited();

protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};
