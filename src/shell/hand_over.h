#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QLocalServer;
class QLocalSocket;

// The hand-over between a second start and the running instance: one message
// per document, each answered only after the running frame has handled it.
//
// Wire form of a message: "NRDL", the code (32-bit little-endian), the byte
// count cbData (32-bit little-endian) and cbData bytes of payload. Code 1
// carries a path (zero-terminated, in the file-system encoding), code 2 the
// text "*" and only brings the running instance forward. The receiver answers
// with one byte once the message is handled.

inline constexpr quint32 kHandOverOpen = 1;
inline constexpr quint32 kHandOverRaise = 2;
// Payloads above this size are refused (no path comes near it).
inline constexpr quint32 kMaxHandOverBytes = 64 * 1024;

struct HandOverMessage {
    quint32 code = 0;
    QByteArray data;  // exactly cbData bytes
};

QByteArray EncodeHandOver(const HandOverMessage& message);

enum class HandOverDecode { NeedMore, Complete, Invalid };
// Decodes one message from the start of `buffer`.
HandOverDecode DecodeHandOver(const QByteArray& buffer, HandOverMessage* message,
                              qsizetype* consumed);

// The payload read as text up to its first zero byte, never beyond cbData.
QString HandOverText(const HandOverMessage& message);

// The messages a second start sends for its `arguments`: none at all when
// every argument is empty or names no existing file; one code-2 message when
// there are no arguments. Existing files are named by their absolute path, so
// that the running instance, whose current folder differs, finds them.
QList<HandOverMessage> HandOverMessagesFor(const QStringList& arguments);

// Sends one message to the server `serverName` and waits until the running
// instance has handled it. False when no instance answers.
bool SendHandOver(const QString& serverName, const HandOverMessage& message);

// Connects to the running instance (allowing it `patienceMs` to start its
// server) and sends the messages one after the other.
void HandOverArguments(const QString& serverName, const QStringList& arguments,
                       int patienceMs = 2000);

// What the running frame does with a message.
enum class HandOverStep {
    Ignore,        // unknown code, or another window (a modal dialog) is active
    Raise,         // restore and bring the frame forward
    RaiseAndOpen,  // and open the payload's path
};
HandOverStep DecideHandOver(const HandOverMessage& message, bool foreignWindowActive);

// The user id of the process at the other end of a connected local socket,
// as the system reports it (not as the peer claims); none when unknown.
std::optional<quint32> PeerUser(qintptr socketDescriptor);

// The running instance's end: listens on `serverName` and calls the handler
// for each complete message, then answers the sender. Malformed or stalled
// connections are dropped, and so is every connection from another user: an
// abstract socket carries no file permissions, so anyone on the machine could
// otherwise make the viewer open files of their choosing.
class HandOverServer : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(const HandOverMessage&)>;
    explicit HandOverServer(Handler handler, QObject* parent = nullptr);
    ~HandOverServer() override;

    bool Listen(const QString& serverName);
    // The one user whose connections are served: by default this process's.
    void SetPeerUser(quint32 user) { peerUser_ = user; }

private:
    void Accept();
    void Serve(QLocalSocket* socket);

    Handler handler_;
    QLocalServer* server_ = nullptr;
    quint32 peerUser_;
};
