// Page commands, the keyboard and the mouse of the page area.

#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <QWidget>

#include "controls/focus_control.h"
#include "document/album_document.h"
#include "viewer/view_env.h"
#include "viewer/view_form.h"
#include "viewer/view_widgets.h"

namespace {

// Drag-to-pan: one for the program, only one sheet can be dragged at a time.
struct DragState {
    bool active = false;
    int lastX = 0;
    int lastY = 0;
    bool cursorSet = false;
};
DragState& Drag() {
    static DragState drag;
    return drag;
}

void ScrollBy(QScrollBar* bar, int delta) {
    bar->setValue(bar->value() + delta);
}

}  // namespace

void TViewForm::StartBtnClick() {
    if (pageCount() > 0) ChangePage(1);
}

void TViewForm::BackBtnClick() {
    if (const int page = PreviousPageFrom(currentPage()); page > 0) ChangePage(page);
}

void TViewForm::NextBtnClick() {
    if (const int page = NextPageFrom(currentPage(), pageCount()); page > 0) ChangePage(page);
}

void TViewForm::EndBtnClick() {
    if (pageCount() > 0) ChangePage(pageCount());
}

void TViewForm::RefreshNavigationState() {
    nav_ = NavigationFor(currentPage(), pageCount());
    UpdateZoomButtons();
    PL_Paper->setVisible(nav_.hasPages);
    ApplyNavigationToFrame();
    SetStatusTexts();
}

void TViewForm::ApplyNavigationToFrame() {
    if (!IsActiveFrameWindow()) return;
    using B = FrameButton;
    const std::pair<B, bool> states[] = {
        {B::Jump, nav_.jump},    {B::Start, nav_.start}, {B::Back, nav_.back},
        {B::Next, nav_.next},    {B::End, nav_.end},     {B::Marjin, nav_.hasPages},
        {B::Prn, nav_.hasPages}, {B::PageScroll, true},
    };
    for (const auto& [which, enabled] : states) {
        if (auto* button = frame_->Button(which)) button->setEnabled(enabled);
    }
    if (QWidget* panel = frame_->ZoomPanel()) panel->setEnabled(nav_.hasPages);
}

void TViewForm::FocusControlKeyDown(QKeyEvent* event) {
    QScrollBar* h = ScrollBox->horizontalScrollBar();
    QScrollBar* v = ScrollBox->verticalScrollBar();
    const bool pageScroll = ViewEnvironment().pageScroll;
    switch (event->key()) {
        case Qt::Key_PageUp:
            if (nav_.back) {
                BackBtnClick();
                event->accept();
            }
            break;
        case Qt::Key_PageDown:
            if (nav_.next) {
                NextBtnClick();
                event->accept();
            }
            break;
        case Qt::Key_Left:
            ScrollBy(h, -30);
            event->accept();
            break;
        case Qt::Key_Right:
            ScrollBy(h, 30);
            event->accept();
            break;
        case Qt::Key_Up: {
            const int before = v->value();
            ScrollBy(v, -30);
            event->accept();
            if (pageScroll && nav_.back && v->value() == before) {
                BackBtnClick();
                v->setValue(99999);
            }
            break;
        }
        case Qt::Key_Down: {
            const int before = v->value();
            ScrollBy(v, 30);
            event->accept();
            if (pageScroll && nav_.next && v->value() == before) {
                NextBtnClick();
                v->setValue(0);
            }
            break;
        }
        default:
            break;
    }
}

void TViewForm::JumpTreeKeyDown(QKeyEvent* event) {
    if (event->key() == Qt::Key_Left && nav_.back) {
        BackBtnClick();
        event->accept();
    } else if (event->key() == Qt::Key_Right && nav_.next) {
        NextBtnClick();
        event->accept();
    }
}

bool TViewForm::ScrollWheel(int notches) {
    QScrollBar* v = ScrollBox->verticalScrollBar();
    const bool down = notches > 0;
    for (int n = std::abs(notches); n > 0; --n) {
        const int before = v->value();
        for (int line = QApplication::wheelScrollLines(); line > 0; --line)
            v->triggerAction(down ? QAbstractSlider::SliderSingleStepAdd
                                  : QAbstractSlider::SliderSingleStepSub);
        if (!ViewEnvironment().pageScroll || v->value() != before) continue;
        if (down && nav_.next) {
            NextBtnClick();
            v->setValue(0);
        } else if (!down && nav_.back) {
            BackBtnClick();
            v->setValue(99999);
        }
    }
    return true;
}

void TViewForm::ImageOrgMouseDown(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    FocusControl->setFocus();
    DragState& drag = Drag();
    if (!drag.cursorSet) QApplication::setOverrideCursor(Qt::SizeAllCursor);
    drag = {true, 0, 0, true};
}

void TViewForm::ImageOrgMouseMove(QMouseEvent* event) {
    DragState& drag = Drag();
    if (!drag.active || !(event->buttons() & Qt::LeftButton)) return;
    const QPoint pos = event->position().toPoint();
    bool moved = false;
    if (pos.x() != drag.lastX) {
        if (drag.lastX == 0) {
            drag.lastX = pos.x();
        } else {
            ScrollBy(ScrollBox->horizontalScrollBar(), drag.lastX - pos.x());
            drag.lastX = 0;
            moved = true;
        }
    }
    if (pos.y() != drag.lastY) {
        if (drag.lastY == 0) {
            drag.lastY = pos.y();
        } else {
            ScrollBy(ScrollBox->verticalScrollBar(), drag.lastY - pos.y());
            drag.lastY = 0;
            moved = true;
        }
    }
    if (moved) PL_Paper->repaint();
}

void TViewForm::ImageOrgMouseUp(QMouseEvent*) {
    DragState& drag = Drag();
    const bool restore = drag.cursorSet;
    drag = {};
    if (restore) QApplication::restoreOverrideCursor();
}

bool TViewForm::eventFilter(QObject* watched, QEvent* event) {
    // The wheel over the scroll bars scrolls the area as over the page.
    const bool scrollArea = watched == ScrollBox->viewport() ||
                            watched == ScrollBox->verticalScrollBar() ||
                            watched == ScrollBox->horizontalScrollBar();
    if (scrollArea) {
        if (event->type() == QEvent::Resize && watched == ScrollBox->viewport()) {
            ScrollBoxResize();
        } else if (event->type() == QEvent::Wheel) {
            auto* wheel = static_cast<QWheelEvent*>(event);
            // One step per notch; finer wheels add up to whole notches.
            wheelRemainder_ -= wheel->angleDelta().y();
            const int notches = wheelRemainder_ / 120;
            wheelRemainder_ -= notches * 120;
            if (notches != 0) ScrollWheel(notches);
            event->accept();
            return true;
        }
    } else if (watched == PL_Paper) {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
                ImageOrgMouseDown(static_cast<QMouseEvent*>(event));
                return true;
            case QEvent::MouseMove:
                ImageOrgMouseMove(static_cast<QMouseEvent*>(event));
                return true;
            case QEvent::MouseButtonRelease:
                ImageOrgMouseUp(static_cast<QMouseEvent*>(event));
                return true;
            default:
                break;
        }
    } else if (watched == widget()) {
        if (event->type() == QEvent::ContextMenu) {
            ShowContextMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            // An Enter that reaches the window itself is dropped.
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) return true;
        }
    }
    return QMdiSubWindow::eventFilter(watched, event);
}
