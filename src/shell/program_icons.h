#pragma once

#include <QIcon>

class QImage;

// The program's own pictures, drawn from the scalable sources in data/icons
// at whatever size and screen scale they are shown, so they stay sharp at
// 100 % and at 200 %.

// The frame's toolbar pictures. Each has a normal and a disabled form.
enum class ToolbarPicture {
    Open,
    Margin,
    Print,
    PageScroll,
    Contents,
    Jump,
    Start,
    Back,
    Next,
    End,
    Small,
    Big
};
inline constexpr int kToolbarPictureCount = 12;
// The size the toolbar pictures are drawn for, in device-independent pixels.
inline constexpr int kToolbarPictureSize = 20;

QIcon ToolbarIcon(ToolbarPicture picture);
// The program's icon: the frame, its dialogs and the desktop entry show it.
QIcon ApplicationIcon();

// The disabled form of a picture: its dark lines in button shadow over a
// button-highlight copy `offset` pixels down and to the right, the light
// areas left out, as a button face shows an engraved picture.
QImage DisabledPicture(const QImage& normal, int offset);
