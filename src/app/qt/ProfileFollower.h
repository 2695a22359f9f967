#pragma once
// Follows the shown profile's file while "Follow file" is on: a change of
// the file, rewritten in place or replaced by rename, is read on a thread of
// its own and taken into the session as a re-read keeping the analysis. A
// file caught half-written is tried again a few times, quietly; one that
// stays unreadable is reported once.
#include <QObject>
#include <QString>
#include <memory>

#include "app/KelViewSession.h"
#include "common/FileStamp.h"

class QFileSystemWatcher;
class QTimer;

namespace kel {

class TSessionBinding;

class TProfileFollower : public QObject {
    Q_OBJECT
public:
    // Attempts after the first before a file is reported, and their spacing.
    static constexpr int kRetries = 5;
    static constexpr int kRetryMs = 150;

    explicit TProfileFollower(TSessionBinding& binding);
    ~TProfileFollower() override;

    // The file followed now; empty while nothing is followed.
    const QString& FollowedPath() const { return path_; }

signals:
    // A re-read was taken in and shown.
    void Followed();

private:
    // Watches what the session shows, when it is to be followed.
    void Rewatch();
    void FileEvent();
    // Reads the file unless a read is under way; a change during one reads again after it.
    void StartRead();
    void ReadDone();

    TSessionBinding& binding_;
    QFileSystemWatcher* watcher_;
    QTimer* retry_;
    QString shown_;  // the session's profile, followed or not
    QString path_;
    // The file as last taken in (or reported); a change is a different stamp.
    TFileStamp taken_;
    TFileStamp reading_;
    int attempt_ = 0;
    bool reported_ = false;
    bool changedWhileReading_ = false;
    struct TRead;
    std::shared_ptr<TRead> read_;
};

}  // namespace kel
