// The window's ways to a profile or folder: the browser, a path of another
// program, the recent lists and what is dropped on it.
#include <QDir>
#include <QFileInfo>

#include "app/AnalysisFile.h"
#include "app/qt/FileDrops.h"
#include "app/qt/KelViewWindow.h"
#include "app/qt/RecentMenu.h"
#include "app/qt/SessionBinding.h"
#include "common/Errors.h"
#include "profile/LoadResult.h"

namespace kel {

bool TFKelView::ShowProfile(const QString& path) {
    bool failed = false;
    const bool ran = binding_->Run([path, &failed](TKelViewSession& session) {
        // A load that ended is the command's error, shown in the error box.
        TProfileLoadResult loaded = session.ShowProfile(path.toStdString());
        failed = loaded.Failed();
        if (loaded.ended) throw EKelError(loaded.io.reason);
    });
    // A file that could not be opened has said so in a box; only profiles
    // that are there become recent ones.
    const bool shown = ran && !failed;
    const QFileInfo file(path);
    if (shown && file.isFile() && file.isReadable()) recent_->AddProfile(file.absoluteFilePath());
    return shown;
}

void TFKelView::OpenProfilePath(const QString& path) {
    if (IsAnalysisFileName(path.toStdString())) {
        OpenAnalysis(path);
        return;
    }
    if (BrowserCommands.OpenProfilePath)
        BrowserCommands.OpenProfilePath(path);
    else
        ShowProfile(path);
    if (!QFileInfo(path).isFile()) recent_->ForgetProfile(path);
}

void TFKelView::OpenFolder(const QString& folder) {
    if (!QFileInfo(folder).isDir()) {
        recent_->ForgetFolder(folder);
        binding_->ShowError(QStringLiteral("The folder \"%1\" cannot be listed: it no longer exists.")
                                .arg(QDir::toNativeSeparators(folder)));
        return;
    }
    recent_->AddFolder(QFileInfo(folder).absoluteFilePath());
    if (BrowserCommands.ListFolder) BrowserCommands.ListFolder(folder);
}

void TFKelView::OpenDropped(const QString& path) {
    if (QFileInfo(path).isDir())
        OpenFolder(path);
    else
        OpenProfilePath(path);
}

void TFKelView::OpenProfileClick() {
    if (!browser_) return;
    browser_->show();
    browser_->raise();
    browser_->activateWindow();
}

void TFKelView::dragEnterEvent(QDragEnterEvent* event) { AcceptLocalPaths(event); }

void TFKelView::dropEvent(QDropEvent* event) {
    TakeDroppedPath(event, this, [this](const QString& path) { OpenDropped(path); });
}

}  // namespace kel
