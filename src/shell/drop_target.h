#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>

class QMimeData;
class QWidget;

// Makes a window accept files dragged from the desktop and reports each drop
// once, with all dropped paths in order and the drop point in the window's
// coordinates. Drops onto child windows that do not take drops themselves
// reach the window too.
class TDropDst : public QObject {
    Q_OBJECT
public:
    explicit TDropDst(QWidget* control);

    using FileDrop = std::function<void(const QStringList& files, int x, int y)>;
    FileDrop OnFileDrop;

    bool AcceptDrop() const { return acceptDrop_; }
    void SetAcceptDrop(bool accept);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> control_;
    bool acceptDrop_ = true;
};

// The local file paths a drag carries, in order.
QStringList DroppedPaths(const QMimeData* mime);

// The main frame's drop rule: opens each path that names an existing file
// (folders and missing paths are skipped silently), in order.
void OpenDroppedFiles(const QStringList& files, const std::function<void(const QString&)>& open);
