#pragma once

#include <QWidget>

// A panel whose enabled state carries over to everything inside it: each
// child takes the panel's state explicitly (a child disabled on its own is
// enabled again with the panel), and so does everything inside those
// children. With UpdateParent, the parent follows the panel as well.
class TEnablePanel : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    void setUpdateParent(bool update) { updateParent_ = update; }
    bool updateParent() const { return updateParent_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    bool updateParent_ = false;
};
