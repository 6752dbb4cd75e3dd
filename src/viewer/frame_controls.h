#pragma once

#include <QMetaObject>
#include <QPointer>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <vector>

class QAbstractButton;
class QComboBox;
class QMdiSubWindow;
class QObject;
class QWidget;

// The main frame's toolbar buttons that a document window drives.
enum class FrameButton {
    Marjin,      // マージン調整
    Prn,         // 印刷
    PageScroll,  // ページを越えてスクロール (toggle)
    JumpTree,    // 目次 (toggle)
    Jump,        // 頁指定
    Start,       // 最初の頁
    Back,        // 前の頁
    Next,        // 次の頁
    End,         // 最後の頁
    Small,       // 縮小
    Big,         // 拡大
};
inline constexpr int kFrameButtonCount = 11;

// The handlers a window puts behind the shared controls while it is active.
struct FrameBindings {
    std::array<std::function<void()>, kFrameButtonCount> clicks;
    std::function<void()> zoomPicked;  // the user chose an item of the zoom selector
};

// A file name the user chose in the frame's save dialog, and the filter entry
// (numbered from 1) that was selected.
struct SaveChoice {
    QString fileName;
    int filterIndex = 1;
};

// What a document window uses of the main frame. The frame implements it, so
// that the viewer does not depend on the frame.
class FrameControls {
public:
    virtual ~FrameControls() = default;

    virtual QAbstractButton* Button(FrameButton which) = 0;
    virtual QComboBox* ZoomSelector() = 0;  // CB_Ritu
    virtual QWidget* ZoomPanel() = 0;       // PL_Ritu, holds the selector and its label

    virtual bool ToolBarVisible() const = 0;
    virtual void ToolBarToggle() = 0;
    virtual void StatusBarToggle() = 0;
    virtual bool OpenWithDialog() = 0;
    // Runs the frame's save dialog for a page picture; nothing when cancelled.
    virtual std::optional<SaveChoice> ChooseSaveFile() = 0;
    virtual void CloseFrame() = 0;
    virtual void RefreshMaximizedChild(QMdiSubWindow* window) = 0;

    // Puts `bindings` behind the buttons and the selector, replacing what the
    // previous window bound; they go when `owner` is destroyed.
    void Bind(QObject* owner, const FrameBindings& bindings);
    // Disables every bound button and the zoom panel; nothing is bound afterwards.
    void DisableBound();
    // The window whose handlers are bound, if any.
    QObject* BoundOwner() const { return owner_; }

private:
    std::vector<QMetaObject::Connection> bound_;
    QPointer<QObject> owner_;
};
