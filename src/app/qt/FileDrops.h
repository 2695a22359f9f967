#pragma once
// What the windows take from a drag and drop: files and folders of this
// computer, never web addresses or text.
#include <QString>

class QMimeData;

namespace kel {

// The first local file or folder among data's URLs, absolute; empty when
// data carries none (the drop is then refused).
QString DroppedPath(const QMimeData* data);

}  // namespace kel
