#include "app/qt/FileDrops.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

namespace kel {

QString DroppedPath(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && !url.toLocalFile().isEmpty()) return QFileInfo(url.toLocalFile()).absoluteFilePath();
    return {};
}

void AcceptLocalPaths(QDragEnterEvent* event) {
    if (!DroppedPath(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

bool TakeDroppedPath(QDropEvent* event, QObject* context, std::function<void(const QString&)> open) {
    const QString path = DroppedPath(event->mimeData());
    if (path.isEmpty()) {
        event->ignore();
        return false;
    }
    event->acceptProposedAction();
    QTimer::singleShot(0, context, [open = std::move(open), path] { open(path); });
    return true;
}

}  // namespace kel
