#include "shell/window_placing.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace {

// The frame around a top-level window, when the window system has told it.
QMargins KnownFrameMargins(const QWidget* window) {
    const QWindow* handle = window->windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

// An outer rectangle set while the frame was not known yet: applied again
// when the window is first painted, by then framed by the window system.
class PendingOuterRect : public QObject {
public:
    PendingOuterRect(QWidget* window, const QRect& outer) : QObject(window), outer_(outer) {
        setObjectName(kName);
        window->installEventFilter(this);
    }
    static PendingOuterRect* Of(const QWidget* window) {
        return window->findChild<PendingOuterRect*>(kName, Qt::FindDirectChildrenOnly);
    }
    QRect outer() const { return outer_; }
    void setOuter(const QRect& outer) { outer_ = outer; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            auto* window = static_cast<QWidget*>(watched);
            const QMargins margins = KnownFrameMargins(window);
            const bool normal =
                !(window->windowState() &
                  (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
            const QRect outer = outer_;
            window->removeEventFilter(this);
            deleteLater();
            setObjectName(QString());
            if (normal && !margins.isNull()) {
                window->move(outer.topLeft());
                window->resize(outer.size().shrunkBy(margins));
            }
        }
        return false;
    }

private:
    static constexpr const char* kName = "neridal-pending-outer-rect";
    QRect outer_;
};

}  // namespace

QRect NormalOuterRect(const QWidget* window) {
    if (const PendingOuterRect* pending = PendingOuterRect::Of(window)) return pending->outer();
    const QMargins margins = KnownFrameMargins(window);
    if (window->isMaximized() || window->isMinimized() || window->isFullScreen()) {
        // The restored inside, framed, where the frame stood (outer position).
        const QRect normal = window->normalGeometry();
        return QRect(normal.topLeft() - QPoint(margins.left(), margins.top()),
                     normal.size().grownBy(margins));
    }
    return QRect(window->pos(), window->size().grownBy(margins));
}

void SetOuterRect(QWidget* window, const QRect& outer) {
    const QMargins margins = KnownFrameMargins(window);
    window->move(outer.topLeft());
    window->resize(outer.size().shrunkBy(margins));
    PendingOuterRect* pending = PendingOuterRect::Of(window);
    if (!margins.isNull() || !window->isWindow()) {
        delete pending;
    } else if (pending) {
        pending->setOuter(outer);
    } else {
        new PendingOuterRect(window, outer);
    }
}

void SetOuterSize(QWidget* window, QSize outer) {
    SetOuterRect(window, QRect(NormalOuterRect(window).topLeft(), outer));
}

QPoint CenterOnMonitorPos(QSize window, const QRect& monitor) {
    return {monitor.left() + (monitor.width() - window.width()) / 2,
            monitor.top() + (monitor.height() - window.height()) / 4};
}

QPoint CenterOverFramePos(QSize window, const QRect& frame) {
    return {frame.left() + (frame.width() - window.width()) / 2,
            frame.top() + (frame.height() - window.height()) / 2};
}

QRect PullIntoDesktop(QRect rect, const QRect& desktop) {
    if (rect.width() > desktop.width()) rect.setWidth(desktop.width());
    if (rect.height() > desktop.height()) rect.setHeight(desktop.height());
    if (rect.left() < desktop.left()) rect.moveLeft(desktop.left());
    if (rect.top() < desktop.top()) rect.moveTop(desktop.top());
    if (rect.right() > desktop.right()) rect.moveRight(desktop.right());
    if (rect.bottom() > desktop.bottom()) rect.moveBottom(desktop.bottom());
    return rect;
}

QWidget* MainFrameWidget() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("VMainForm")) return w;
    return nullptr;
}

QScreen* MainFrameScreen() {
    if (QWidget* frame = MainFrameWidget())
        if (QScreen* screen = frame->screen()) return screen;
    const QList<QScreen*> screens = QGuiApplication::screens();
    return screens.isEmpty() ? nullptr : screens.first();
}

void CenterOnMonitor(QWidget* window) {
    if (QScreen* screen = MainFrameScreen()) {
        const QSize outer = NormalOuterRect(window).size();
        SetOuterRect(window, QRect(CenterOnMonitorPos(outer, screen->geometry()), outer));
    }
}

void CenterOverMainForm(QWidget* window) {
    QWidget* frame = MainFrameWidget();
    if (!frame || frame == window) {
        CenterOnMonitor(window);
        return;
    }
    window->move(CenterOverFramePos(window->frameGeometry().size(), frame->frameGeometry()));
}
