#include "shell/control_size.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>

#include "core/ini_file.h"

namespace {

const QString kWindowState = QStringLiteral("szWindowState");
const QString kLeft = QStringLiteral("szLeft");
const QString kTop = QStringLiteral("szTop");
const QString kWidth = QStringLiteral("szWidth");
const QString kHeight = QStringLiteral("szHeight");
const QString kVisible = QStringLiteral("szVisible");

bool IsForm(const QWidget* w) {
    return w->isWindow();
}

bool IsSizeable(const QWidget* w) {
    return w->minimumSize() != w->maximumSize();
}

QRect Desktop(const QWidget* w) {
    if (QScreen* screen = w->screen()) return screen->virtualGeometry();
    if (QScreen* screen = MainFrameScreen()) return screen->virtualGeometry();
    return QRect(0, 0, 640, 480);
}

}  // namespace

StoredPlacement PlacementToRestore(const StoredPlacement& stored, const QRect& desktop,
                                   bool sizeable, QSize currentSize) {
    StoredPlacement out = stored;
    out.rect = PullIntoDesktop(stored.rect, desktop);
    if (!sizeable) out.rect.setSize(currentSize);
    return out;
}

void LoadControlPlacement(QIniFile& ini, QWidget* control, const QString& section,
                          ControlSizeStyle style) {
    if (!control) return;
    const bool form = IsForm(control);
    const QRect current = form ? NormalOuterRect(control) : control->geometry();
    QRect rect = current;
    if (style != ControlSizeStyle::Visible) {
        rect = QRect(ini.ReadInteger(section, kLeft, rect.left()),
                     ini.ReadInteger(section, kTop, rect.top()),
                     ini.ReadInteger(section, kWidth, rect.width()),
                     ini.ReadInteger(section, kHeight, rect.height()));
    }
    if (form) {
        if (style == ControlSizeStyle::Visible) return;
        StoredPlacement stored{
            rect, ini.ReadInteger(section, kWindowState, control->isMaximized() ? 1 : 0) != 0};
        const StoredPlacement apply =
            PlacementToRestore(stored, Desktop(control), IsSizeable(control), current.size());
        if (control->isMaximized())
            control->setWindowState(control->windowState() & ~Qt::WindowMaximized);
        SetOuterRect(control, apply.rect);
        if (apply.maximized) control->setWindowState(control->windowState() | Qt::WindowMaximized);
        return;
    }
    if (style != ControlSizeStyle::Size)
        control->setVisible(ini.ReadBool(section, kVisible, !control->isHidden()));
    if (style == ControlSizeStyle::Visible) return;
    if (QWidget* parent = control->parentWidget()) {
        rect.setWidth(std::min(rect.width(), parent->width() - 10));
        rect.setHeight(std::min(rect.height(), parent->height() - 10));
    }
    control->setGeometry(rect);
}

void SaveControlPlacement(QIniFile& ini, QWidget* control, const QString& section,
                          ControlSizeStyle style) {
    if (!control || section.isEmpty()) return;
    ini.EraseSection(section);
    if (IsForm(control)) {
        if (style == ControlSizeStyle::Visible) return;
        const QRect rect = NormalOuterRect(control);
        ini.WriteInteger(section, kWindowState, control->isMaximized() ? 1 : 0);
        ini.WriteInteger(section, kLeft, rect.left());
        ini.WriteInteger(section, kTop, rect.top());
        ini.WriteInteger(section, kWidth, rect.width());
        ini.WriteInteger(section, kHeight, rect.height());
        return;
    }
    if (style != ControlSizeStyle::Size) ini.WriteBool(section, kVisible, !control->isHidden());
    if (style == ControlSizeStyle::Visible) return;
    const QRect rect = control->geometry();
    ini.WriteInteger(section, kLeft, rect.left());
    ini.WriteInteger(section, kTop, rect.top());
    ini.WriteInteger(section, kWidth, rect.width());
    ini.WriteInteger(section, kHeight, rect.height());
    ini.WriteBool(section, kVisible, !control->isHidden());
}

TControlSize::TControlSize(QWidget* control) : QObject(control), control_(control) {
    if (control) control->installEventFilter(this);
}

QString TControlSize::IniName() const {
    return IniFile.isEmpty() ? QString::fromLatin1(kDefaultIniName) : IniFile;
}

void TControlSize::FormCreate() {
    if (SizeOnShow) return;
    if (OnCreate) OnCreate();
    Restore();
    if (OnStart) OnStart();
}

void TControlSize::FormDestroy() {
    if (OnDestroy) OnDestroy();
    Save();
}

bool TControlSize::eventFilter(QObject* watched, QEvent* event) {
    if (watched == control_) {
        if (event->type() == QEvent::Show && SizeOnShow && !shown_) {
            shown_ = true;
            if (OnCreate) OnCreate();
            Restore();
            if (OnStart) OnStart();
        } else if (event->type() == QEvent::Close) {
            Save();
        }
    }
    return QObject::eventFilter(watched, event);
}

void TControlSize::Restore() {
    if (IniName().isEmpty()) return;
    if (section_.isEmpty() && control_) {
        section_ = QStringLiteral("Sz_") + control_->objectName();
        if (IsForm(control_) && ScreenSenter) CenterOnMonitor(control_);
    }
    if (section_.isEmpty()) return;
    QIniFile ini(IniName());
    LoadControlPlacement(ini, control_, section_, Style);
    for (int i = 0; i < 6; ++i) {
        const QString boolKey = QStringLiteral("EnvBool_%1").arg(i);
        envBool[i].name = ini.ReadString(section_, boolKey, envBool[i].name);
        if (!envBool[i].name.isEmpty())
            envBool[i].value = ini.ReadBool(section_, boolKey, envBool[i].value);
        const QString intKey = QStringLiteral("EnvInt_%1").arg(i);
        envInt[i].name = ini.ReadString(section_, intKey, envInt[i].name);
        if (!envInt[i].name.isEmpty())
            envInt[i].value = ini.ReadInteger(section_, intKey, envInt[i].value);
    }
}

void TControlSize::Save() {
    if (section_.isEmpty() || !control_) return;
    QIniFile ini(IniName());
    SaveControlPlacement(ini, control_, section_, Style);
    for (int i = 0; i < 6; ++i) {
        if (!envBool[i].name.isEmpty()) {
            const QString key = QStringLiteral("EnvBool_%1").arg(i);
            ini.WriteString(section_, key, envBool[i].name);
            ini.WriteBool(section_, key, envBool[i].value);
        }
        if (!envInt[i].name.isEmpty()) {
            const QString key = QStringLiteral("EnvInt_%1").arg(i);
            ini.WriteString(section_, key, envInt[i].name);
            ini.WriteInteger(section_, key, envInt[i].value);
        }
    }
    ini.Flush();
}
