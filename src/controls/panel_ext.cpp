#include "controls/panel_ext.h"

TPanelExt::TPanelExt(QWidget* parent) : QLabel(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setAlignment(Qt::AlignCenter);
    setMargin(1);
}
