#include "document/temp_copy.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

QString TemporaryCopyName(int n) {
    return QStringLiteral("NERIDAL_%1.TMP").arg(n);
}

namespace {

QString WithSeparator(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

}  // namespace

std::unique_ptr<QFile> CreateTemporaryCopy(const QString& workFolder, QString* path) {
    for (int n = 0; n < kTemporaryNameCount; ++n) {
        const QString candidate = WithSeparator(workFolder) + TemporaryCopyName(n);
        const QByteArray native = QFile::encodeName(candidate);
        const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) continue;
        // Lock before truncating: a copy that another window holds must stay intact.
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ftruncate(fd, 0) != 0) {
            ::close(fd);
            continue;
        }
        auto file = std::make_unique<QFile>();
        if (!file->open(fd, QIODevice::ReadWrite, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            continue;
        }
        if (path) *path = candidate;
        return file;
    }
    return nullptr;
}
