#pragma once

#include <QLabel>

// A caption panel with a lowered bevel (the status fields).
class TPanelExt : public QLabel {
    Q_OBJECT
public:
    explicit TPanelExt(QWidget* parent = nullptr);
};
