#include <QApplication>

#include "shell/main_frame.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("アルバーノ"));
    TVMainForm frame;
    frame.show();
    const QStringList paths = app.arguments().mid(1);
    for (const QString& path : paths)
        frame.OpenDocumentPath(path);
    return app.exec();
}
