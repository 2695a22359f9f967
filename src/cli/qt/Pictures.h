#pragma once
// What every picture of the tool needs from Qt.
#include <QGuiApplication>
#include <memory>
#include <string>

#include "plot/Xygraphc.h"

namespace kel::cli {

// The application object fonts and image writers need, never a display;
// null when the process has one already.
std::unique_ptr<QGuiApplication> PictureApplication();

// Writes graph at width x height into path (format by extension, checked by
// the caller); raises EFailure naming path and the reason.
void WritePicture(TXYGraph& graph, const std::string& path, int width, int height);

}  // namespace kel::cli
