#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <array>
#include <functional>

#include "shell/window_placing.h"

class QIniFile;
class QWidget;

// The placement keeper: stores a window's position and size (and, for a
// control, its visibility) in section "Sz_" + the window's object name of the
// settings file, and puts it back.

enum class ControlSizeStyle { All, Size, Visible };  // cssAll, cssSize, cssVisible

// One window's placement as the settings file holds it.
struct StoredPlacement {
    QRect rect;
    bool maximized = false;
};

// The rectangle and state a form takes from `stored` on `desktop`: the rectangle
// pulled inside the desktop; a form that cannot be resized keeps its size.
StoredPlacement PlacementToRestore(const StoredPlacement& stored, const QRect& desktop,
                                   bool sizeable, QSize currentSize);

// Load and save of one window's placement (the settings store's ControlPlacement).
void LoadControlPlacement(QIniFile& ini, QWidget* control, const QString& section,
                          ControlSizeStyle style);
void SaveControlPlacement(QIniFile& ini, QWidget* control, const QString& section,
                          ControlSizeStyle style);

class TControlSize : public QObject {
    Q_OBJECT
public:
    // Keeps `control`'s placement; `control` owns the keeper.
    explicit TControlSize(QWidget* control);

    bool SizeOnShow = false;    // restore when first shown instead of at FormCreate
    bool ScreenSenter = false;  // centre a form on its monitor before its first restore
    ControlSizeStyle Style = ControlSizeStyle::All;
    QString IniFile;  // empty: NERIDAL.INI
    std::function<void()> OnCreate, OnStart, OnDestroy;

    struct BoolSlot {
        QString name;
        bool value = false;
    };
    struct IntSlot {
        QString name;
        int value = 0;
    };
    std::array<BoolSlot, 6> envBool;
    std::array<IntSlot, 6> envInt;

    QWidget* Control() const { return control_; }
    QString Section() const { return section_; }

    // The form calls these from its creation and its destruction.
    void FormCreate();
    void FormDestroy();

    void Restore();
    void Save();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString IniName() const;

    QPointer<QWidget> control_;
    QString section_;
    bool shown_ = false;
};
