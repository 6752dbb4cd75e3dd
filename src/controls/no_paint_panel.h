#pragma once

#include <QWidget>

// A plain container: no caption, no bevel, nothing painted of its own.
class TNoPaintPanel : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
};

// The layout-speed variants only skip re-layout requests that Qt does not
// make; Qt's controls serve unchanged.
using TNoPaintPanel_Speed = TNoPaintPanel;
