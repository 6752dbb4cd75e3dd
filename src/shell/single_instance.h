#pragma once

#include <QString>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

// One running instance per user and work folder. The first start holds a
// lock file in the work folder for its whole life; a lock left behind by a
// crashed instance (its process is gone) does not count. The running
// instance's frame listens for hand-overs under a name derived from the same
// work folder: a socket file in the work folder, or an abstract socket name
// when that path is too long for a local socket.

QString InstanceLockPath(const QString& workFolder);
QString HandOverServerName(const QString& workFolder);
bool IsAbstractHandOverName(const QString& serverName);
void ConfigureHandOverServer(QLocalServer& server, const QString& serverName);
void ConfigureHandOverSocket(QLocalSocket& socket, const QString& serverName);

class InstanceLock {
public:
    explicit InstanceLock(const QString& workFolder);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True when this process is the first instance and now holds the lock.
    // When the lock cannot be made at all (the work folder is not writable),
    // the process runs as the first instance without it.
    bool Acquire();
    void Release();

private:
    std::unique_ptr<QLockFile> lock_;
};

// The second start's part: when another instance runs, hands `arguments` over
// to it and returns false (the process then ends with status 0 without a
// window); returns true when this process is the first instance, `lock` then
// holding the lock.
bool CheckPreviousInstance(InstanceLock& lock, const QString& workFolder,
                           const QStringList& arguments);
