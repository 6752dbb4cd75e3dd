#include "shell/hand_over.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QtEndian>

#include "shell/single_instance.h"
#include "shell/start_list.h"

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace {

constexpr char kMagic[4] = {'N', 'R', 'D', 'L'};
constexpr qsizetype kHeaderBytes = 12;
// A connection that does not complete its message in this time is dropped.
constexpr int kStallMs = 10000;
const char kAnswer = '\x01';

Q_LOGGING_CATEGORY(lcHandOver, "neridal.handover", QtWarningMsg)

quint32 OwnUser() {
#ifdef Q_OS_UNIX
    return quint32(geteuid());
#else
    return 0;
#endif
}

}  // namespace

std::optional<quint32> PeerUser(qintptr socketDescriptor) {
    if (socketDescriptor < 0) return std::nullopt;
#if defined(Q_OS_LINUX)
    ucred credentials{};
    socklen_t length = sizeof credentials;
    if (getsockopt(int(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0 ||
        length != sizeof credentials)
        return std::nullopt;
    return quint32(credentials.uid);
#elif defined(Q_OS_UNIX)
    uid_t user = 0;
    gid_t group = 0;
    if (getpeereid(int(socketDescriptor), &user, &group) != 0) return std::nullopt;
    return quint32(user);
#else
    // Named pipes: QLocalServer's user-access option already keeps others out.
    return OwnUser();
#endif
}

QByteArray EncodeHandOver(const HandOverMessage& message) {
    QByteArray out(kHeaderBytes, '\0');
    memcpy(out.data(), kMagic, 4);
    qToLittleEndian<quint32>(message.code, out.data() + 4);
    qToLittleEndian<quint32>(quint32(message.data.size()), out.data() + 8);
    return out + message.data;
}

HandOverDecode DecodeHandOver(const QByteArray& buffer, HandOverMessage* message,
                              qsizetype* consumed) {
    const qsizetype known = std::min<qsizetype>(buffer.size(), 4);
    if (memcmp(buffer.constData(), kMagic, size_t(known)) != 0) return HandOverDecode::Invalid;
    if (buffer.size() < kHeaderBytes) return HandOverDecode::NeedMore;
    const quint32 code = qFromLittleEndian<quint32>(buffer.constData() + 4);
    const quint32 size = qFromLittleEndian<quint32>(buffer.constData() + 8);
    if (size > kMaxHandOverBytes) return HandOverDecode::Invalid;
    if (buffer.size() < kHeaderBytes + qsizetype(size)) return HandOverDecode::NeedMore;
    message->code = code;
    message->data = buffer.mid(kHeaderBytes, size);
    *consumed = kHeaderBytes + size;
    return HandOverDecode::Complete;
}

QString HandOverText(const HandOverMessage& message) {
    const qsizetype zero = message.data.indexOf('\0');
    return QFile::decodeName(zero < 0 ? message.data : message.data.left(zero));
}

QList<HandOverMessage> HandOverMessagesFor(const QStringList& arguments) {
    if (arguments.isEmpty()) return {HandOverMessage{kHandOverRaise, QByteArray("*", 2)}};
    QList<HandOverMessage> messages;
    for (const QString& arg : arguments) {
        if (arg.isEmpty() || !FileExists(arg)) continue;
        QByteArray data = QFile::encodeName(QFileInfo(arg).absoluteFilePath());
        data.append('\0');
        messages.append(HandOverMessage{kHandOverOpen, data});
    }
    return messages;
}

bool SendHandOver(const QString& serverName, const HandOverMessage& message) {
    QLocalSocket socket;
    ConfigureHandOverSocket(socket, serverName);
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(1000)) return false;
    socket.write(EncodeHandOver(message));
    if (!socket.waitForBytesWritten(5000)) return false;
    // Like a synchronous window message: wait as long as the running instance
    // takes to handle it (it may be showing a message box), until it answers
    // or goes away.
    while (socket.bytesAvailable() == 0) {
        if (socket.state() != QLocalSocket::ConnectedState) return false;
        socket.waitForReadyRead(1000);
    }
    return socket.read(1) == QByteArray(1, kAnswer);
}

void HandOverArguments(const QString& serverName, const QStringList& arguments, int patienceMs) {
    const QList<HandOverMessage> messages = HandOverMessagesFor(arguments);
    if (messages.isEmpty()) return;
    // The running instance may still be creating its frame.
    QDeadlineTimer deadline(patienceMs);
    QLocalSocket probe;
    ConfigureHandOverSocket(probe, serverName);
    for (;;) {
        probe.connectToServer(serverName);
        if (probe.waitForConnected(500)) break;
        if (deadline.hasExpired()) return;
        QThread::msleep(100);
    }
    probe.abort();
    for (const HandOverMessage& message : messages)
        if (!SendHandOver(serverName, message)) return;
}

HandOverStep DecideHandOver(const HandOverMessage& message, bool foreignWindowActive) {
    if (message.code != kHandOverOpen && message.code != kHandOverRaise)
        return HandOverStep::Ignore;
    if (foreignWindowActive) return HandOverStep::Ignore;
    if (message.code == kHandOverRaise) return HandOverStep::Raise;
    return HandOverText(message).isEmpty() ? HandOverStep::Raise : HandOverStep::RaiseAndOpen;
}

HandOverServer::HandOverServer(Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)), peerUser_(OwnUser()) {}

HandOverServer::~HandOverServer() = default;

bool HandOverServer::Listen(const QString& serverName) {
    delete server_;
    server_ = new QLocalServer(this);
    ConfigureHandOverServer(*server_, serverName);
    // A socket file left by a crashed instance would block the name.
    if (!IsAbstractHandOverName(serverName)) QLocalServer::removeServer(serverName);
    if (!server_->listen(serverName)) return false;
    connect(server_, &QLocalServer::newConnection, this, &HandOverServer::Accept);
    return true;
}

void HandOverServer::Accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection())
        Serve(socket);
}

void HandOverServer::Serve(QLocalSocket* socket) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    const std::optional<quint32> peer = PeerUser(socket->socketDescriptor());
    if (!peer || *peer != peerUser_) {
        qCWarning(lcHandOver) << "hand-over from another user refused:"
                              << (peer ? qint64(*peer) : qint64(-1));
        socket->abort();
        socket->deleteLater();
        return;
    }
    auto* buffer = new QByteArray;
    auto* stall = new QTimer(socket);
    stall->setSingleShot(true);
    connect(stall, &QTimer::timeout, socket, &QLocalSocket::abort);
    stall->start(kStallMs);
    connect(socket, &QObject::destroyed, [buffer] { delete buffer; });
    QPointer<QLocalSocket> guard(socket);
    auto handler = handler_;
    connect(socket, &QLocalSocket::readyRead, this, [guard, buffer, stall, handler] {
        if (!guard || stall->property("busy").toBool()) return;
        buffer->append(guard->readAll());
        HandOverMessage message;
        qsizetype consumed = 0;
        switch (DecodeHandOver(*buffer, &message, &consumed)) {
            case HandOverDecode::NeedMore:
                return;
            case HandOverDecode::Invalid:
                guard->abort();
                return;
            case HandOverDecode::Complete:
                break;
        }
        stall->stop();
        stall->setProperty("busy", true);
        if (handler) handler(message);
        if (!guard) return;  // the sender went away while the frame handled it
        guard->write(&kAnswer, 1);
        guard->flush();
        guard->disconnectFromServer();
    });
}
