#pragma once
// What the GUI's clipboard receives when a graph is copied: the vector
// picture as SVG and, for programs that paste only bitmaps, a PNG.
#include <QByteArray>
#include <functional>

#include "plot/Canvas.h"

namespace kel {

struct TClipboardPicture {
    QByteArray Svg;
    QByteArray Png;
};

// Both forms of the width x height picture that draw paints (the function
// a TGraphClipboard::PutPicture receives); empty forms when rendering failed.
TClipboardPicture RenderClipboardPicture(int width, int height, const std::function<void(TCanvas&)>& draw);

}  // namespace kel
