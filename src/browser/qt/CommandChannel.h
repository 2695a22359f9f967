#pragma once
// The command channel: a second start of kelview, or any other program of the
// same user, asks the running instance to open a profile by sending one line
// such as open("/data/a.kel") to a local socket only that user can reach.
// The socket side is the kelview-channel module (CommandTransport.h); without
// it nothing is sent or taken, and each start opens a window of its own.
#include <QObject>
#include <QString>
#include <optional>

#include "browser/qt/CommandTransport.h"

namespace kel {

// The socket of this user's instance: in the user's runtime folder, or else
// in a folder of the temporary folder that only this user may enter (made on
// first use). Empty when neither is this user's alone.
QString CommandServerName();

// Why the socket at name may not be this user's own ("" when it is): its
// folder, and the socket when there is one, must belong to this user and be
// writable by nobody else.
QString ChannelDistrust(const QString& name);

// The path an open command names: the text between the line's first "(" and
// its last ")", without one enclosing double quote on each side. Nothing for
// a line without "open(", without a ")" after it, or with an empty path.
std::optional<QString> OpenCommandPath(const QString& line);

// Sends command as one line to the instance listening at name; false when
// none listens, when the socket or its listener is not this user's own, or
// the line could not be sent whole.
bool SendCommand(const QString& name, const QString& command);

class TCommandServer : public QObject {
    Q_OBJECT
public:
    explicit TCommandServer(QObject* parent = nullptr);

    // Listens at name for this user only, removing a socket left behind by an
    // instance that ended. False when name's folder is not this user's alone,
    // another instance listens there or the socket cannot be made.
    bool Listen(const QString& name);
    // Why the last Listen failed, for the user; empty after a success.
    const QString& Failure() const { return failure_; }

signals:
    // The first line of a message that arrived whole, without its line end.
    void Command(const QString& line);

private:
    QObject* listener_ = nullptr;
    QString failure_;
};

}  // namespace kel
