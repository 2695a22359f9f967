#pragma once
// The local-socket side of the command channel. It lives in a module of its
// own (kelview-channel), loaded when a command is first sent or taken, so
// that the network library it needs costs the window's start-up nothing.
#include <QDir>
#include <QFileInfo>
#include <QObject>
#include <QString>
#include <QtPlugin>
#include <functional>

namespace kel {

// The longest command taken; a sender that goes on without a line end is cut off.
inline constexpr qsizetype kCommandLimit = 64 * 1024;

// True when no instance can be listening at name: on Unix an instance's
// socket is a file of that path. Asking a socket costs a start-up more.
inline bool NoSocketAt(const QString& name) {
#ifdef Q_OS_UNIX
    return QDir::isAbsolutePath(name) && !QFileInfo::exists(name);
#else
    Q_UNUSED(name);
    return false;
#endif
}

class TCommandTransport {
public:
    virtual ~TCommandTransport() = default;

    // Sends command as one line to the instance listening at name; false
    // when none listens or the line could not be sent whole.
    virtual bool Send(const QString& name, const QString& command) = 0;

    // Listens at name for this user only, replacing a socket left behind by
    // an instance that ended, and hands received the first line of each
    // message that arrived whole. The listener is owned by parent; null when
    // another instance listens there or the socket cannot be made.
    virtual QObject* Listen(const QString& name, std::function<void(const QString&)> received, QObject* parent) = 0;
};

}  // namespace kel

#define KEL_COMMAND_TRANSPORT_IID "org.kelview.CommandTransport/1"
Q_DECLARE_INTERFACE(kel::TCommandTransport, KEL_COMMAND_TRANSPORT_IID)
