#include "shell/drop_target.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include "shell/start_list.h"

QStringList DroppedPaths(const QMimeData* mime) {
    QStringList paths;
    if (!mime || !mime->hasUrls()) return paths;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile()) paths.append(url.toLocalFile());
    return paths;
}

void OpenDroppedFiles(const QStringList& files, const std::function<void(const QString&)>& open) {
    for (const QString& path : files)
        if (FileExists(path)) open(path);
}

TDropDst::TDropDst(QWidget* control) : QObject(control), control_(control) {
    if (!control) return;
    control->setAcceptDrops(true);
    control->installEventFilter(this);
}

void TDropDst::SetAcceptDrop(bool accept) {
    if (accept == acceptDrop_) return;
    acceptDrop_ = accept;
    if (control_) control_->setAcceptDrops(accept);
}

bool TDropDst::eventFilter(QObject* watched, QEvent* event) {
    if (watched != control_ || !acceptDrop_) return QObject::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (DroppedPaths(drag->mimeData()).isEmpty()) return false;
            drag->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QStringList paths = DroppedPaths(drop->mimeData());
            if (paths.isEmpty()) return false;
            drop->acceptProposedAction();
            const QPoint at = drop->position().toPoint();
            if (OnFileDrop) OnFileDrop(paths, at.x(), at.y());
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
    }
}
