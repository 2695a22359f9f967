// The browser's commands on files: delete, new folder, batch conversion, and
// the watch on the listed folder.
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QProgressDialog>
#include <QTimer>
#include <filesystem>
#include <system_error>

#include "app/qt/KelViewWindow.h"
#include "app/qt/SessionBinding.h"
#include "browser/qt/DetailsList.h"
#include "browser/qt/KelBrowse.h"

namespace fs = std::filesystem;

namespace kel {

namespace {

QString Reason(const std::error_code& error) { return QString::fromStdString(error.message()); }

}  // namespace

void TFKelBrowse::DeleteClick() {
    if (listing_.Selected < 0) {
        ReportError(QStringLiteral("Select the file to delete first."));
        return;
    }
    if (!Confirm(QStringLiteral("Do you want to permanently delete the file ?"))) return;
    // The file is the entry's, in the folder it was listed from, whatever the
    // tree shows by now.
    const auto row = static_cast<std::size_t>(listing_.Selected);
    const QString path = QDir(listedFolder_).filePath(QString::fromStdString(listing_.Entries[row].StoredName));
    const QString shown = QDir::toNativeSeparators(path);
    // A folder that took the file's name meanwhile is not the listed profile.
    if (const QFileInfo info(path); info.isDir() && !info.isSymLink()) {
        ReportError(QStringLiteral("Could not delete \"%1\": it is a folder now, not a profile.").arg(shown));
        return;
    }
    // A deleted profile can still be had back from the desktop's trash;
    // where the file's disk has none, it goes for good, as asked.
    QString done = QStringLiteral("Moved to the trash: %1").arg(shown);
    if (!QFile::moveToTrash(path)) {
        std::error_code error;
        if (!fs::remove(path.toStdString(), error) || error) {
            // The entry stays: the file is still there (or never was).
            ReportError(QStringLiteral("Could not delete \"%1\": %2.")
                            .arg(shown, error ? Reason(error) : QStringLiteral("no such file")));
            return;
        }
        done = QStringLiteral("Deleted for good (no trash for this folder): %1").arg(shown);
    }
    model_->BeginChange();
    listing_.Entries.erase(listing_.Entries.begin() + static_cast<std::ptrdiff_t>(row));
    model_->EndChange();
    Select(-1);
    main_.Binding().Run([&done](TKelViewSession& session) { session.ShowNotice(done.toStdString()); });
}

void TFKelBrowse::btNewFolderClick() {
    const std::optional<QString> name = AskFolderName();
    if (!name || name->isEmpty()) return;
    const QString path = QDir::current().absoluteFilePath(*name);
    std::error_code error;
    if (!fs::create_directory(path.toStdString(), error)) {
        ReportError(QStringLiteral("Could not create the folder \"%1\": %2.")
                        .arg(QDir::toNativeSeparators(path), error ? Reason(error) : QStringLiteral("it exists already")));
        return;
    }
    // Files written by bare name go there until another folder is listed.
    QDir::setCurrent(path);
}

void TFKelBrowse::btBatchClick() {
    const int count = static_cast<int>(listing_.Entries.size());
    if (count == 0) {
        ReportError(QStringLiteral("No profiles to convert in \"%1\".").arg(QDir::toNativeSeparators(listedFolder_)));
        return;
    }
    // The batch shows each profile itself; a tick of Timer2 in between would
    // open another.
    timer2_->stop();
    QProgressDialog progress(QString(), QStringLiteral("Cancel"), 0, count, this);
    progress.setObjectName(QStringLiteral("BatchProgress"));
    progress.setWindowTitle(QStringLiteral("Batch conversion"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    int converted = 0, stoppedIndex = 0;
    QString stoppedAt;
    QStringList skipped;
    const bool ok = main_.Binding().Run([&](TKelViewSession& session) {
        TBatchResult batch = BatchConvert(listing_, session, [&](int index, int total, const std::string& name) {
            progress.setLabelText(QStringLiteral("Converting profile %1 of %2: %3")
                                      .arg(index + 1)
                                      .arg(total)
                                      .arg(QString::fromStdString(name)));
            progress.setValue(index);
            QCoreApplication::processEvents();
            if (progress.wasCanceled()) {
                stoppedIndex = index;
                stoppedAt = QString::fromStdString(name);
            }
            return !progress.wasCanceled();
        });
        converted = batch.converted;
        for (const TIoResult& file : batch.skipped) skipped << QString::fromStdString(SkippedLine(file));
        // A profile that could not be opened has said so in its own box.
        if (!batch && !batch.shown)
            throw EKelError(QStringLiteral("Batch conversion %1. The %2 converted before it are in \"%3\".")
                                .arg(QString::fromStdString(BatchStopText(listing_, batch)))
                                .arg(batch.converted)
                                .arg(QDir::toNativeSeparators(QDir::currentPath()))
                                .toStdString());
    });
    progress.reset();
    // The profile the batch showed last; one that failed to open is not shown.
    SelectShownProfile();
    // One summary: where a cancelled batch stopped, then a line for each
    // file it skipped.
    QStringList summary;
    if (ok && !stoppedAt.isEmpty())
        summary << QStringLiteral("Batch conversion cancelled before profile %1 of %2 (%3). The %4 converted before it "
                                  "are in \"%5\".")
                       .arg(stoppedIndex + 1)
                       .arg(count)
                       .arg(stoppedAt)
                       .arg(converted)
                       .arg(QDir::toNativeSeparators(QDir::currentPath()));
    if (!skipped.isEmpty())
        summary << (skipped.size() == 1
                        ? QStringLiteral("Batch conversion skipped a file that could not be read as a profile:")
                        : QStringLiteral("Batch conversion skipped %1 files that could not be read as profiles:")
                              .arg(skipped.size()))
                << skipped;
    if (!summary.isEmpty()) Inform(summary.join(QLatin1Char('\n')));
}

void TFKelBrowse::WatchChanged() {
    follow_->setEnabled(watch_->isChecked());
    if (!watcher_->directories().isEmpty()) watcher_->removePaths(watcher_->directories());
    if (watch_->isChecked() && !listedFolder_.isEmpty()) watcher_->addPath(listedFolder_);
}

void TFKelBrowse::WatchedFolderChanged() {
    if (!watch_->isChecked() || listedFolder_.isEmpty()) return;
    const auto name = [this](int row) {
        return row < 0 ? QString() : QString::fromStdString(listing_.Entries[static_cast<std::size_t>(row)].StoredName);
    };
    // Followed is the newest profile: a file still being written may not
    // read as one yet.
    const auto date = [this](int row) {
        return row < 0 ? 0.0 : listing_.Entries[static_cast<std::size_t>(row)].Details->ProfileDate;
    };
    const QString selected = name(listing_.Selected);
    int first = listing_.FirstProfile();
    const QString newest = name(first);
    const double newestDate = date(first);
    ListFolder(listedFolder_);
    Select(FindEntry(selected));
    first = listing_.FirstProfile();
    if (!follow_->isChecked() || first < 0) return;
    // The shown file rewritten is re-read by "Follow file", which keeps the
    // user's analysis; opening it again would reset it.
    const TKelViewSession& session = main_.Binding().Session();
    const bool followed = session.FollowFileOn() && QFileInfo(QDir(listedFolder_).filePath(name(first))) ==
                                                        QFileInfo(QString::fromStdString(session.ProfilePath()));
    if (!followed && (name(first) != newest || date(first) > newestDate)) {
        Select(first);
        LBDetailsClick();
    }
}

}  // namespace kel
