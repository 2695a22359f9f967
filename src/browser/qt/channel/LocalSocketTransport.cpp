// The command channel's module: commands as lines over a local socket that
// only this user can reach.
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <QVariant>
#include <sys/socket.h>
#include <unistd.h>

#include "browser/qt/CommandTransport.h"

namespace kel {

namespace {

constexpr int kConnectMs = 1000;
constexpr int kSendMs = 3000;
// A sender that stalls mid-line must not hold its connection for ever.
constexpr int kStalledMs = 10000;
const char* const kBufferProperty = "kelCommandBuffer";

// Whether the other end of a connected socket runs as this user. The socket
// file's owner tells only who made it; the kernel tells who is there now.
bool PeerIsThisUser(qintptr descriptor) {
#ifdef SO_PEERCRED
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
           peer.uid == ::geteuid();
#else
    uid_t uid = 0;
    gid_t group = 0;
    return ::getpeereid(static_cast<int>(descriptor), &uid, &group) == 0 && uid == ::geteuid();
#endif
}

class TLocalSocketListener : public QObject {
public:
    TLocalSocketListener(std::function<void(const QString&)> received, QObject* parent)
        : QObject(parent), server_(new QLocalServer(this)), received_(std::move(received)) {
        server_->setSocketOptions(QLocalServer::UserAccessOption);
        connect(server_, &QLocalServer::newConnection, this, &TLocalSocketListener::Accept);
    }

    bool Listen(const QString& name) {
        // Asked first: a socket made for the user alone is put in place over
        // whatever has the name, the socket of a running instance too.
        if (!NoSocketAt(name)) {
            QLocalSocket probe;
            probe.connectToServer(name);
            if (probe.waitForConnected(kConnectMs)) return false;
            QLocalServer::removeServer(name);  // left by an instance that ended
        }
        return server_->listen(name);
    }

private:
    void Accept() {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            if (!PeerIsThisUser(socket->socketDescriptor())) {
                socket->abort();
                socket->deleteLater();
                continue;
            }
            // A message is whole at its first line end; one that ends before
            // it was half written changes nothing.
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Read(socket); });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QTimer::singleShot(kStalledMs, socket, [socket] { socket->abort(); });
            Read(socket);
        }
    }

    void Read(QLocalSocket* socket) {
        QByteArray buffer = socket->property(kBufferProperty).toByteArray();
        buffer += socket->read(kCommandLimit + 1 - buffer.size());
        const qsizetype end = buffer.indexOf('\n');
        if (end < 0) {
            if (buffer.size() > kCommandLimit) {
                socket->abort();
                return;
            }
            socket->setProperty(kBufferProperty, buffer);
            return;
        }
        QByteArray line = buffer.left(end);
        if (line.endsWith('\r')) line.chop(1);
        socket->setProperty(kBufferProperty, QVariant());
        socket->disconnectFromServer();
        received_(QString::fromUtf8(line));
    }

    QLocalServer* server_;
    std::function<void(const QString&)> received_;
};

}  // namespace

class TLocalSocketTransport : public QObject, public TCommandTransport {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID KEL_COMMAND_TRANSPORT_IID)
    Q_INTERFACES(kel::TCommandTransport)
public:
    bool Send(const QString& name, const QString& command) override {
        QLocalSocket socket;
        socket.connectToServer(name);
        if (!socket.waitForConnected(kConnectMs)) return false;
        if (!PeerIsThisUser(socket.socketDescriptor())) {
            socket.abort();
            return false;
        }
        const QByteArray line = command.toUtf8() + '\n';
        if (line.size() > kCommandLimit || socket.write(line) != line.size()) return false;
        while (socket.bytesToWrite() > 0)
            if (!socket.waitForBytesWritten(kSendMs)) return false;
        socket.disconnectFromServer();
        return true;
    }

    QObject* Listen(const QString& name, std::function<void(const QString&)> received, QObject* parent) override {
        auto* listener = new TLocalSocketListener(std::move(received), parent);
        if (listener->Listen(name)) return listener;
        delete listener;
        return nullptr;
    }
};

}  // namespace kel

#include "LocalSocketTransport.moc"
