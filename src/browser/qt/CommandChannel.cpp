#include "browser/qt/CommandChannel.h"

#include <QDir>
#include <QPluginLoader>
#include <QStandardPaths>
#include <cstdio>
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
    // Nobody to ask: the module need not be loaded.
    if (NoSocketAt(name)) return false;
    TCommandTransport* transport = Transport();
    return transport && transport->Send(name, command);
}

TCommandServer::TCommandServer(QObject* parent) : QObject(parent) {}

bool TCommandServer::Listen(const QString& name) {
    TCommandTransport* transport = Transport();
    if (!transport) return false;
    delete listener_;
    listener_ = transport->Listen(name, [this](const QString& line) { emit Command(line); }, this);
    return listener_ != nullptr;
}

}  // namespace kel
