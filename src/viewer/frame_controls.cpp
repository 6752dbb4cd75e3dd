#include "viewer/frame_controls.h"

#include <QAbstractButton>
#include <QComboBox>

void FrameControls::Bind(QObject* owner, const FrameBindings& bindings) {
    for (const auto& c : bound_)
        QObject::disconnect(c);
    bound_.clear();
    owner_ = owner;
    for (int i = 0; i < kFrameButtonCount; ++i) {
        QAbstractButton* button = Button(static_cast<FrameButton>(i));
        const auto& click = bindings.clicks[size_t(i)];
        if (!button || !click) continue;
        bound_.push_back(
            QObject::connect(button, &QAbstractButton::clicked, owner, [click] { click(); }));
    }
    if (QComboBox* selector = ZoomSelector(); selector && bindings.zoomPicked) {
        auto picked = bindings.zoomPicked;
        bound_.push_back(
            QObject::connect(selector, &QComboBox::activated, owner, [picked] { picked(); }));
    }
}

void FrameControls::DisableBound() {
    for (const auto& c : bound_)
        QObject::disconnect(c);
    bound_.clear();
    owner_ = nullptr;
    for (int i = 0; i < kFrameButtonCount; ++i) {
        if (QAbstractButton* button = Button(static_cast<FrameButton>(i)))
            button->setEnabled(false);
    }
    if (QWidget* panel = ZoomPanel()) panel->setEnabled(false);
}
