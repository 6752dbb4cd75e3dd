#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QScreen;
class QWidget;

// Window placing rules. Integer division truncates toward zero.

// Centred across the monitor and at a quarter of the free height.
QPoint CenterOnMonitorPos(QSize window, const QRect& monitor);

// Centred over `frame` (the main frame's rectangle).
QPoint CenterOverFramePos(QSize window, const QRect& frame);

// The rectangle cut to the desktop's size and moved inside it.
QRect PullIntoDesktop(QRect rect, const QRect& desktop);

// The monitor of the main frame, or the first monitor when there is none.
QScreen* MainFrameScreen();

// The main frame: the application's widget of object name "VMainForm", if any.
QWidget* MainFrameWidget();

// CenterOnMonitor and CenterOverMainForm applied to a window.
void CenterOnMonitor(QWidget* window);
void CenterOverMainForm(QWidget* window);
