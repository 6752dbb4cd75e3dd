#pragma once

#include <QListWidget>
#include <functional>

// A list with fixed item height whose items the owner draws, and which reports
// every change of its current item through indexChange: for the user's moves
// and also for every selection made by code, changed or not.
class TCngLstBox : public QListWidget {
    Q_OBJECT
public:
    // Draws item `index` into `rect`; the painter is clipped to the item.
    using DrawItem =
        std::function<void(QPainter& painter, int index, const QRect& rect, bool selected)>;

    explicit TCngLstBox(QWidget* parent = nullptr);

    void setDrawItem(DrawItem draw) { draw_ = std::move(draw); }
    void setItemHeight(int height);
    int itemHeight() const { return itemHeight_; }
    // While set, items are not drawn at all (for filling a long list).
    void setSleepUpdate(bool sleep);
    bool sleepUpdate() const { return sleepUpdate_; }

    // Selects `index` (-1 for none) and reports it.
    void SetItemIndex(int index);

signals:
    void indexChange();
    void keyDown(QKeyEvent* event);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    friend class CngLstBoxDelegate;
    DrawItem draw_;
    int itemHeight_ = 16;
    bool sleepUpdate_ = false;
};
