#pragma once
// Saving a graph as an image file.
#include <string>

#include "plot/Xygraphc.h"
#include "plot/qt/PictureRender.h"

namespace kel {

// The format named by path's extension (.png, .svg, .pdf, any case); false
// for any other extension.
bool ImageFormatOfPath(const std::string& path, TImageFormat& format);

// The file bytes of graph drawn at width x height; empty when the graph
// cannot take that size. The graph's own size is restored afterwards.
QByteArray RenderGraph(TXYGraph& graph, TImageFormat format, int width, int height);

// Writes graph at width x height into path; an existing file is replaced only
// by a complete picture. False with the reason in error (when given) if the
// size leaves no plot area, exceeds the limit or the file cannot be written.
bool ExportGraph(TXYGraph& graph, const std::string& path, TImageFormat format, int width, int height,
                 std::string* error = nullptr);

}  // namespace kel
