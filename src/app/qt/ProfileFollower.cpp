#include "app/qt/ProfileFollower.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QThread>
#include <QTimer>
#include <utility>

#include "app/qt/SessionBinding.h"

namespace kel {

struct TProfileFollower::TRead {
    TFollowRead read;
    QThread* thread = nullptr;
};

TProfileFollower::TProfileFollower(TSessionBinding& binding)
    : QObject(&binding), binding_(binding), watcher_(new QFileSystemWatcher(this)), retry_(new QTimer(this)) {
    setObjectName(QStringLiteral("ProfileFollower"));
    retry_->setSingleShot(true);
    retry_->setInterval(kRetryMs);
    connect(retry_, &QTimer::timeout, this, &TProfileFollower::StartRead);
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, &TProfileFollower::FileEvent);
    // A file replaced by rename leaves the watch on the old one: the folder
    // tells of the new one.
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &TProfileFollower::FileEvent);
    connect(&binding_, &TSessionBinding::ProfileChanged, this, &TProfileFollower::Rewatch);
    connect(&binding_, &TSessionBinding::ModesChanged, this, &TProfileFollower::Rewatch);
    Rewatch();
}

TProfileFollower::~TProfileFollower() {
    // The read's thread writes into the record it was given: it must end
    // before the record goes.
    if (read_) {
        read_->thread->wait();
        delete read_->thread;
    }
}

void TProfileFollower::Rewatch() {
    const TKelViewSession& session = binding_.Session();
    const QString shown = QString::fromStdString(session.ProfilePath());
    // Another profile is taken as its file is now; the same one, followed
    // again, is read when it changed meanwhile.
    if (shown != shown_) {
        shown_ = shown;
        taken_ = FileStampOf(shown.toStdString());
        reported_ = false;
    }
    const QString path = session.FollowFileOn() ? shown : QString();
    if (path == path_) return;
    if (!watcher_->files().isEmpty()) watcher_->removePaths(watcher_->files());
    if (!watcher_->directories().isEmpty()) watcher_->removePaths(watcher_->directories());
    retry_->stop();
    attempt_ = 0;
    path_ = path;
    FileEvent();
}

void TProfileFollower::FileEvent() {
    if (path_.isEmpty()) return;
    const QString folder = QFileInfo(path_).absolutePath();
    if (!watcher_->directories().contains(folder)) watcher_->addPath(folder);
    // The watch holds on to the file it was given: one renamed over it is
    // a new file to watch, which a watch taken afresh reaches.
    if (watcher_->files().contains(path_)) watcher_->removePath(path_);
    if (QFileInfo::exists(path_)) watcher_->addPath(path_);
    if (FileStampOf(path_.toStdString()) == taken_) return;
    // Still changing: the attempts start again, and no box while it does.
    attempt_ = 0;
    StartRead();
}

void TProfileFollower::StartRead() {
    retry_->stop();
    if (path_.isEmpty()) return;
    if (read_) {
        changedWhileReading_ = true;
        return;
    }
    reading_ = FileStampOf(path_.toStdString());
    auto read = std::make_shared<TRead>();
    read->read = binding_.Session().StartFollowRead();
    // The thread reads into its own record; the session is touched again
    // only here, once the read is back.
    read->thread = QThread::create([read] { ReadFollowedFile(read->read); });
    connect(read->thread, &QThread::finished, this, &TProfileFollower::ReadDone);
    read_ = read;
    read->thread->start();
}

void TProfileFollower::ReadDone() {
    std::shared_ptr<TRead> read = std::move(read_);
    read->thread->wait();
    read->thread->deleteLater();
    const bool again = std::exchange(changedWhileReading_, false);
    // A read of a profile no longer followed is dropped.
    if (path_.isEmpty() || read->read.path != binding_.Session().ProfilePath()) {
        if (again) FileEvent();
        return;
    }

    const TFollowAttempt attempt = attempt_ >= kRetries ? TFollowAttempt::Final : TFollowAttempt::Quiet;
    TFollowResult result;
    const bool ran = binding_.Run(
        [&](TKelViewSession& session) { result = session.ShowFollowed(std::move(read->read), attempt); });
    if (!ran || result.shown || !result.report.empty()) {
        // Taken in, or told: the next change starts afresh. A command that
        // failed has shown its own box and is not tried again.
        taken_ = reading_;
        attempt_ = 0;
        if (result.shown && result.report.empty()) reported_ = false;
        if (!result.report.empty() && !std::exchange(reported_, true))
            binding_.ShowError(QString::fromStdString(result.report));
        if (result.shown) emit Followed();
    } else if (!again) {
        ++attempt_;
        retry_->start();
    }
    if (again) FileEvent();
}

}  // namespace kel
