#include "app/qt/FileDrops.h"

#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace kel {

QString DroppedPath(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && !url.toLocalFile().isEmpty()) return QFileInfo(url.toLocalFile()).absoluteFilePath();
    return {};
}

}  // namespace kel
