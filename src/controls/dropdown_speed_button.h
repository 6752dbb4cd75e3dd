#pragma once

#include <QElapsedTimer>
#include <QPointer>

#include "controls/align_speed_button.h"

#include <QMenu>

// A speed button with a drop-down menu, marked by a small embossed triangle in
// its bottom-right corner (blue when the button also has a click handler,
// black when it has none, grey when disabled). With a click handler, only a
// press in the 15 x 15 corner opens the menu and the rest of the button clicks
// as usual; without one, a press anywhere opens it. The menu opens below the
// button's left edge; a press that closes the menu does not open it again.
class TDropdownSpeedButton : public TAlignSpeedButton {
    Q_OBJECT
public:
    explicit TDropdownSpeedButton(QWidget* parent = nullptr);

    void setDropdownMenu(QMenu* menu);
    QMenu* dropdownMenu() const { return menu_; }

    // The corner that opens the menu when the button has a click handler.
    QRect HotCorner() const;
    static constexpr int kHotCornerSize = 15;
    // A press this soon after the menu closed is ignored.
    static constexpr int kReopenGuardMs = 100;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    bool HasClickHandler() const;
    void DrawCornerMark(QPainter& painter);

    QPointer<QMenu> menu_;
    bool suppressClick_ = false;
    QElapsedTimer menuClosed_;
};
