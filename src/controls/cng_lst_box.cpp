#include "controls/cng_lst_box.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

class CngLstBoxDelegate : public QStyledItemDelegate {
public:
    explicit CngLstBoxDelegate(TCngLstBox* list) : QStyledItemDelegate(list), list_(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (list_->sleepUpdate_) return;
        if (!list_->draw_) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        painter->save();
        painter->setClipRect(option.rect);
        list_->draw_(*painter, index.row(), option.rect,
                     option.state.testFlag(QStyle::State_Selected));
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), list_->itemHeight_);
    }

private:
    TCngLstBox* list_;
};

TCngLstBox::TCngLstBox(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new CngLstBoxDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::currentRowChanged, this, [this] { emit indexChange(); });
}

void TCngLstBox::setItemHeight(int height) {
    itemHeight_ = height;
    doItemsLayout();
}

void TCngLstBox::setSleepUpdate(bool sleep) {
    sleepUpdate_ = sleep;
    viewport()->update();
}

void TCngLstBox::SetItemIndex(int index) {
    QSignalBlocker block(this);
    setCurrentRow(index);
    if (index < 0) clearSelection();
    block.unblock();
    emit indexChange();
}

void TCngLstBox::keyPressEvent(QKeyEvent* e) {
    e->ignore();
    emit keyDown(e);
    if (e->isAccepted()) return;
    e->accept();
    QListWidget::keyPressEvent(e);
}
