#include "shell/test_log.h"

#include <QFile>

void TestLog(const QString& line) {
    const QString path = qEnvironmentVariable("NERIDAL_TEST_LOG");
    if (path.isEmpty()) return;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return;
    file.write(line.toUtf8() + '\n');
}
