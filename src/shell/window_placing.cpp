#include "shell/window_placing.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

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
    if (QScreen* screen = MainFrameScreen())
        window->move(CenterOnMonitorPos(window->size(), screen->geometry()));
}

void CenterOverMainForm(QWidget* window) {
    QWidget* frame = MainFrameWidget();
    if (!frame || frame == window) {
        CenterOnMonitor(window);
        return;
    }
    window->move(CenterOverFramePos(window->frameGeometry().size(), frame->frameGeometry()));
}
