#pragma once
// The clipboard as the graph sees it. The GUI installs the platform's
// clipboard; without one, copying a graph reports that nothing was copied.
#include <functional>

#include "plot/Canvas.h"

namespace kel {

class TGraphClipboard {
public:
    virtual ~TGraphClipboard() = default;
    // Replaces the clipboard's contents with a width x height picture that
    // draw paints onto a fresh canvas; false when the clipboard refused it.
    virtual bool PutPicture(int width, int height, const std::function<void(TCanvas&)>& draw) = 0;
};

// The installed clipboard, or null.
TGraphClipboard* GraphClipboard();

// Installs clipboard (null removes it) and returns the previous one.
TGraphClipboard* SetGraphClipboard(TGraphClipboard* clipboard);

}  // namespace kel
