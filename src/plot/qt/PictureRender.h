#pragma once
// A drawing turned into the bytes of an image file: PNG, SVG or PDF.
#include <QByteArray>
#include <functional>

#include "plot/Canvas.h"

namespace kel {

enum class TImageFormat { Png, Svg, Pdf };

// The largest picture side; graph pixels never leave +-10000 either.
inline constexpr int kMaxPictureSide = 10000;

// The file bytes of a width x height picture on a white background that
// draw paints; empty when the size is outside 1..kMaxPictureSide or the
// format's writer fails. PDF pages measure one point per pixel.
QByteArray RenderPicture(TImageFormat format, int width, int height, const std::function<void(TCanvas&)>& draw);

}  // namespace kel
