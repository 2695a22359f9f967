#include "browser/qt/BrowserPlace.h"

#include <algorithm>

namespace kel {

namespace {

// r moved along the axis that does not separate it from the main window, so
// that it lies inside available where it can.
QRect Clamp(QRect r, const QRect& available) {
    r.moveLeft(std::clamp(r.left(), available.left(), std::max(available.left(), available.right() - r.width() + 1)));
    r.moveTop(std::clamp(r.top(), available.top(), std::max(available.top(), available.bottom() - r.height() + 1)));
    return r;
}

}  // namespace

QRect PlaceBeside(const QRect& mainFrame, QSize frame, const QRect& available) {
    frame = frame.boundedTo(available.size());
    struct TCandidate {
        QRect rect;
        bool sideways;  // beside the main window, not above or below it
    };
    const TCandidate candidates[] = {
        {QRect(QPoint(mainFrame.right() + 1, mainFrame.top()), frame), true},
        {QRect(QPoint(mainFrame.left() - frame.width(), mainFrame.top()), frame), true},
        {QRect(QPoint(mainFrame.left(), mainFrame.bottom() + 1), frame), false},
        {QRect(QPoint(mainFrame.left(), mainFrame.top() - frame.height()), frame), false},
    };
    for (const auto& [candidate, sideways] : candidates) {
        // Only the axis along the main window's edge may move: moving across
        // it would put the window over the main one.
        const QRect placed = Clamp(candidate, available);
        if (sideways ? placed.left() != candidate.left() : placed.top() != candidate.top()) continue;
        if (available.contains(placed) && !placed.intersects(mainFrame)) return placed;
    }
    return QRect(available.bottomRight() - QPoint(frame.width() - 1, frame.height() - 1), frame);
}

}  // namespace kel
