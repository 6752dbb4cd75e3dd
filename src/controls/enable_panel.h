#pragma once

#include <QWidget>

// A panel whose enabled state carries over to everything inside it.
class TEnablePanel : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
};
