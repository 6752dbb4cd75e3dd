#include "shell/single_instance.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStringList>

#include "shell/hand_over.h"

namespace {

// sockaddr_un holds 108 bytes including the terminating zero.
constexpr qsizetype kMaxSocketPath = 100;
const QString kAbstractPrefix = QStringLiteral("neridal-");

}  // namespace

QString InstanceLockPath(const QString& workFolder) {
    return workFolder + QStringLiteral("NERIDAL.LCK");
}

QString HandOverServerName(const QString& workFolder) {
    const QString path = workFolder + QStringLiteral("NERIDAL.SCK");
    if (path.toLocal8Bit().size() <= kMaxSocketPath) return path;
    const QByteArray hash =
        QCryptographicHash::hash(workFolder.toUtf8(), QCryptographicHash::Sha256).toHex();
    return kAbstractPrefix + QString::fromLatin1(hash.left(32));
}

bool IsAbstractHandOverName(const QString& serverName) {
    return serverName.startsWith(kAbstractPrefix);
}

void ConfigureHandOverServer(QLocalServer& server, const QString& serverName) {
    server.setSocketOptions(IsAbstractHandOverName(serverName)
                                ? QLocalServer::AbstractNamespaceOption
                                : QLocalServer::UserAccessOption);
}

void ConfigureHandOverSocket(QLocalSocket& socket, const QString& serverName) {
    if (IsAbstractHandOverName(serverName))
        socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
}

InstanceLock::InstanceLock(const QString& workFolder)
    : lock_(std::make_unique<QLockFile>(InstanceLockPath(workFolder))) {
    // Only a lock whose process is gone is stale, however old it is.
    lock_->setStaleLockTime(0);
}

InstanceLock::~InstanceLock() {
    Release();
}

bool InstanceLock::Acquire() {
    if (lock_->tryLock(0)) return true;
    return lock_->error() != QLockFile::LockFailedError;
}

void InstanceLock::Release() {
    if (lock_->isLocked()) lock_->unlock();
}

bool CheckPreviousInstance(InstanceLock& lock, const QString& workFolder,
                           const QStringList& arguments) {
    if (lock.Acquire()) return true;
    HandOverArguments(HandOverServerName(workFolder), arguments);
    return false;
}
