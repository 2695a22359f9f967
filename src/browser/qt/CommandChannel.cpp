#include "browser/qt/CommandChannel.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>
#include <unistd.h>

namespace kel {

namespace {

constexpr int kConnectMs = 1000;
constexpr int kSendMs = 3000;
// A sender that stalls mid-line must not hold its connection for ever.
constexpr int kStalledMs = 10000;
const char* const kBufferProperty = "kelCommandBuffer";

// True when no instance can be listening at name: on Unix an instance's
// socket is a file of that path. Asking a socket costs a start-up more.
bool NoSocketAt(const QString& name) {
#ifdef Q_OS_UNIX
    return QDir::isAbsolutePath(name) && !QFileInfo::exists(name);
#else
    Q_UNUSED(name);
    return false;
#endif
}

}  // namespace

QString CommandServerName() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    return folder + QStringLiteral("/kelview-") + QString::number(::getuid());
}

std::optional<QString> OpenCommandPath(const QString& line) {
    if (!line.contains(QLatin1String("open("))) return std::nullopt;
    const qsizetype open = line.indexOf(QLatin1Char('('));
    const qsizetype close = line.lastIndexOf(QLatin1Char(')'));
    if (close <= open) return std::nullopt;
    QString path = line.mid(open + 1, close - open - 1);
    if (path.startsWith(QLatin1Char('"'))) path.remove(0, 1);
    if (path.endsWith(QLatin1Char('"'))) path.chop(1);
    if (path.isEmpty()) return std::nullopt;
    return path;
}

bool SendCommand(const QString& name, const QString& command) {
    if (NoSocketAt(name)) return false;
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(kConnectMs)) return false;
    const QByteArray line = command.toUtf8() + '\n';
    if (line.size() > kCommandLimit || socket.write(line) != line.size()) return false;
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(kSendMs)) return false;
    socket.disconnectFromServer();
    return true;
}

TCommandServer::TCommandServer(QObject* parent) : QObject(parent), server_(new QLocalServer(this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &TCommandServer::Accept);
}

bool TCommandServer::Listen(const QString& name) {
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

void TCommandServer::Accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        // A message is whole at its first line end; one that ends before it
        // was half written and changes nothing.
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Read(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(kStalledMs, socket, [socket] { socket->abort(); });
        Read(socket);
    }
}

void TCommandServer::Read(QLocalSocket* socket) {
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
    emit Command(QString::fromUtf8(line));
}

}  // namespace kel
