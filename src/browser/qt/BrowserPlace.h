#pragma once
// Where the profile browser's window goes when it first shows: where the
// user left it last time, else beside the main window, never over the main
// window's menu and profile fields.
#include <QByteArray>
#include <QRect>
#include <QSize>

namespace kel {

// The frame rectangle, of size frame, for a window opened beside mainFrame
// within available: right of it, left of it, below or above it, the first
// that fits whole; where none does, the bottom right corner of available,
// which covers the main window's graph rather than its menu and fields. A
// frame larger than available is shrunk to it.
QRect PlaceBeside(const QRect& mainFrame, QSize frame, const QRect& available);

}  // namespace kel
