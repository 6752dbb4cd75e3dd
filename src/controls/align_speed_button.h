#pragma once

#include <QAbstractButton>

class QTimer;

// A flat speed button: no frame at rest, a raised frame while the pointer is
// over it, a lowered one while it is pressed or held down (a toggle button
// that is checked). Its picture has a normal and a disabled form (the icon's
// Normal and Disabled modes); a caption, if any, stands beside it.
//
// The raised frame is cleared reliably: the button under the pointer is
// recorded program-wide, and a 100 ms check takes the frame off when the
// pointer has gone elsewhere without a leave notification (a fast move, a
// window popping up). At most one button shows the frame at a time.
class TAlignSpeedButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit TAlignSpeedButton(QWidget* parent = nullptr);
    ~TAlignSpeedButton() override;

    // Flat (the default) shows a frame only under the pointer or when down.
    void setFlat(bool flat);
    bool isFlat() const { return flat_; }

    // The raised "hot" frame is shown.
    bool isHot() const { return hot_; }
    // The button recorded as under the pointer, if any.
    static TAlignSpeedButton* HoveredButton();
    // Interval of the shared check.
    static constexpr int kHoverCheckMs = 100;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

    // Shown pressed: held down by the mouse, or a checked toggle.
    bool isShownDown() const { return isDown() || isChecked(); }
    // The face, the frame, the picture and the caption.
    void PaintButton(QPainter& painter);

private:
    void MouseLeave();
    void SetHot(bool hot);
    bool PointerInside() const;
    static void CheckHover();
    static QTimer* HoverTimer();

    bool flat_ = true;
    bool hot_ = false;
};
