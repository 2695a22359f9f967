#include "browser/qt/CommandChannel.h"

#include <QDir>
#include <QFile>
#include <QPluginLoader>
#include <QStandardPaths>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "common/InstalledData.h"

namespace kel {

namespace {

// The channel's module, loaded on first use and kept to the end; null (said
// once on the error stream) when it cannot be loaded.
TCommandTransport* Transport() {
    static TCommandTransport* const transport = []() -> TCommandTransport* {
        static QPluginLoader module(QString::fromStdString(ModuleFile("kelview-channel")));
        auto* loaded = qobject_cast<TCommandTransport*>(module.instance());
        if (!loaded)
            std::fprintf(stderr, "kelview: the command channel is not available: %s\n",
                         qPrintable(module.errorString()));
        return loaded;
    }();
    return transport;
}

QString UserId() { return QString::number(::geteuid()); }

// Why path is not this user's alone ("" when it is): it must be of the kind
// given (never a link to one), belong to the user and be writable by nobody
// else; otherwise another user could put a listener there that takes this
// user's paths.
QString NotUsersAlone(const QString& path, mode_t kind) {
    struct stat status {};
    const char* what = kind == S_IFDIR ? "folder" : "socket";
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return QStringLiteral("%1 \"%2\": %3")
            .arg(QLatin1String(what), path, QString::fromLocal8Bit(std::strerror(errno)));
    if ((status.st_mode & S_IFMT) != kind) return QStringLiteral("\"%1\" is not a %2").arg(path, QLatin1String(what));
    if (status.st_uid != ::geteuid())
        return QStringLiteral("%1 \"%2\" belongs to user %3").arg(QLatin1String(what), path).arg(status.st_uid);
    if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return QStringLiteral("other users can write to %1 \"%2\"").arg(QLatin1String(what), path);
    return {};
}

// A folder of the temporary folder that this user alone may enter, made on
// first use; empty when someone else holds its place.
QString PrivateTemporaryFolder() {
    const QString folder = QDir::tempPath() + QStringLiteral("/kelview-channel-") + UserId();
    ::mkdir(QFile::encodeName(folder).constData(), 0700);
    struct stat status {};
    if (!NotUsersAlone(folder, S_IFDIR).isEmpty() || ::lstat(QFile::encodeName(folder).constData(), &status) != 0 ||
        (status.st_mode & 0077) != 0)
        return {};
    return folder;
}

// Why the folder of the socket name is not this user's alone ("" when it is).
QString FolderDistrust(const QString& name) {
    if (name.isEmpty()) return QStringLiteral("no folder of this user alone can hold it");
    return NotUsersAlone(QFileInfo(name).absolutePath(), S_IFDIR);
}

}  // namespace

QString CommandServerName() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty() || !NotUsersAlone(folder, S_IFDIR).isEmpty()) folder = PrivateTemporaryFolder();
    if (folder.isEmpty()) return {};
    return folder + QStringLiteral("/kelview-") + UserId();
}

QString ChannelDistrust(const QString& name) {
    if (QString folder = FolderDistrust(name); !folder.isEmpty()) return folder;
    if (NoSocketAt(name)) return {};
    return NotUsersAlone(name, S_IFSOCK);
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
    // Nobody to ask: the module need not be loaded.
    if (name.isEmpty() || NoSocketAt(name)) return false;
    // A socket someone else could have put there is never handed a path;
    // this start then opens a window of its own.
    if (!ChannelDistrust(name).isEmpty()) return false;
    TCommandTransport* transport = Transport();
    return transport && transport->Send(name, command);
}

TCommandServer::TCommandServer(QObject* parent) : QObject(parent) {}

bool TCommandServer::Listen(const QString& name) {
    delete listener_;
    listener_ = nullptr;
    // Only a folder of this user alone: elsewhere another user could take
    // the socket's place between two starts.
    failure_ = FolderDistrust(name);
    if (!failure_.isEmpty()) return false;
    TCommandTransport* transport = Transport();
    if (!transport) {
        failure_ = QStringLiteral("its module could not be loaded");
        return false;
    }
    listener_ = transport->Listen(name, [this](const QString& line) { emit Command(line); }, this);
    if (!listener_)
        failure_ = QStringLiteral("another instance listens at \"%1\" or the socket cannot be made").arg(name);
    return listener_ != nullptr;
}

}  // namespace kel
