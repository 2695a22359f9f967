#pragma once
// The clipboard as the graph sees it. The GUI hands the platform's clipboard
// to the session it makes; a session without one copies nothing.
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

}  // namespace kel
