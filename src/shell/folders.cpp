#include "shell/folders.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "core/ini_file.h"

namespace {

Folders& FoldersValue() {
    static Folders folders;
    return folders;
}

}  // namespace

QString WithTrailingSeparator(const QString& folder) {
    if (folder.isEmpty()) return folder;
    QString clean = QDir::cleanPath(folder);
    if (!clean.endsWith(QLatin1Char('/'))) clean += QLatin1Char('/');
    return clean;
}

Folders ResolveFolders(const QString& exePath, const QString& dataFolder) {
    Folders f;
    f.program = WithTrailingSeparator(QFileInfo(exePath).absolutePath());
    f.document = WithTrailingSeparator(f.program + QStringLiteral("VIEWFILE"));
    f.work = WithTrailingSeparator(WithTrailingSeparator(dataFolder) +
                                   QStringLiteral("MIRAT/TempFiles/NERIDAL"));
    return f;
}

bool EnsureFolder(const QString& folder) {
    if (folder.isEmpty()) return false;
    if (QFileInfo(folder).isDir()) return true;
    return QDir().mkpath(folder) && QFileInfo(folder).isDir();
}

void SetAppFolders(const Folders& folders) {
    FoldersValue() = folders;
    SetSettingsFolder(folders.work);
}

const Folders& AppFolders() {
    return FoldersValue();
}

void InitFolders() {
    QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty()) data = QDir::homePath() + QStringLiteral("/.local/share");
    Folders f = ResolveFolders(QCoreApplication::applicationFilePath(), data);
    if (!EnsureFolder(f.work)) QApplication::beep();
    SetAppFolders(f);
}
