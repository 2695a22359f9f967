#pragma once
// What the windows take from a drag and drop: files and folders of this
// computer, never web addresses or text.
#include <QString>
#include <functional>

class QDragEnterEvent;
class QDropEvent;
class QMimeData;
class QObject;

namespace kel {

// The first local file or folder among data's URLs, absolute; empty when
// data carries none (the drop is then refused).
QString DroppedPath(const QMimeData* data);

// Lets a drag over the window go on only when it carries a local path.
void AcceptLocalPaths(QDragEnterEvent* event);

// Takes a drop of a local path and hands the path to open once the drop has
// ended (an error box inside the drop would hold the program the file came
// from until it is closed); refuses any other drop. context ends the wait
// when it goes first. True when the drop was taken.
bool TakeDroppedPath(QDropEvent* event, QObject* context, std::function<void(const QString&)> open);

}  // namespace kel
