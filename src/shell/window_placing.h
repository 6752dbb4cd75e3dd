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

// A top-level window's placement as the user sees it: the outer rectangle,
// title bar and frame included (the sizes the settings and the designed
// sizes give). Qt sizes a window by its inside, and the window system may
// report the frame only once the window is on screen; a rectangle set before
// that is applied again, once, when the window is first painted.

// The outer rectangle of `window` in its normal (not maximised) state.
QRect NormalOuterRect(const QWidget* window);
// Places `window` so that its outer rectangle is `outer`.
void SetOuterRect(QWidget* window, const QRect& outer);
// The same, keeping the window's position.
void SetOuterSize(QWidget* window, QSize outer);

// CenterOnMonitor and CenterOverMainForm applied to a window.
void CenterOnMonitor(QWidget* window);
void CenterOverMainForm(QWidget* window);
