#include "controls/enable_panel.h"

#include <QEvent>

namespace {

void SetEnabledWithin(QWidget* container, bool enabled) {
    for (QWidget* child : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow()) continue;  // a pop-up owned by the panel is no part of it
        child->setEnabled(enabled);
        SetEnabledWithin(child, enabled);
    }
}

}  // namespace

void TEnablePanel::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::EnabledChange) return;
    const bool enabled = isEnabled();
    if (updateParent_) {
        if (QWidget* parent = parentWidget(); parent && parent->isEnabled() != enabled)
            parent->setEnabled(enabled);
    }
    SetEnabledWithin(this, enabled);
}
