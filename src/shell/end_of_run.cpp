#include "shell/end_of_run.h"

#include <QFile>

#include "viewer/view_env.h"
#include "viewer/view_env_commands.h"

QString TemporaryCopyPath(const QString& workFolder, int n) {
    return workFolder + QStringLiteral("NERIDAL_%1.TMP").arg(n);
}

void DeleteTemporaryCopies(const QString& workFolder) {
    if (workFolder.isEmpty()) return;
    for (int n = 0; n <= kLastTemporaryCopy; ++n) {
        const QString path = TemporaryCopyPath(workFolder, n);
        if (QFile::exists(path)) QFile::remove(path);
    }
}

void EndOfRun(bool toolBarVisible, const QString& workFolder) {
    if (!ViewEnvWasReset()) {
        ViewEnvironment().toolBar = toolBarVisible;
        AccessViewEnv(EnvAccess::Write);
    }
    DeleteTemporaryCopies(workFolder);
}
