#pragma once

#include <QIcon>

// The pictures of the frame's toolbar buttons, drawn in code. The disabled
// picture is the toolkit's greyed form of the normal one.
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
QIcon ToolbarIcon(ToolbarPicture picture);
