#include "shell/start_list.h"

#include <QFileInfo>

QStringList AlbumExtensionList() {
    return {QStringLiteral("PXA"), QStringLiteral("PXB"), QStringLiteral("PXC"),
            QStringLiteral("PXD"), QStringLiteral("PXA")};
}

bool FileExists(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

QString ReplaceExtension(const QString& exePath, const QString& extension) {
    const qsizetype slash = exePath.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = exePath.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > slash ? exePath.left(dot) : exePath;
    return stem + QLatin1Char('.') + extension;
}

QStringList BuildStartList(const QStringList& arguments, const QString& exePath,
                           const QString& programFolder) {
    QStringList list;
    if (arguments.isEmpty()) {
        for (const QString& ext : AlbumExtensionList()) {
            const QString companion = ReplaceExtension(exePath, ext);
            if (FileExists(companion)) list.append(companion);
        }
        return list;
    }
    for (const QString& arg : arguments) {
        if (arg.isEmpty()) continue;
        QString path;
        if (FileExists(arg))
            path = arg;
        else if (!arg.contains(QLatin1Char('/')) && FileExists(programFolder + arg))
            path = programFolder + arg;
        else
            continue;
        if (list.size() == kMaxStartDocuments) break;
        list.append(path);
    }
    return list;
}
