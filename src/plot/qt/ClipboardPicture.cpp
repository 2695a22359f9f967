#include "plot/qt/ClipboardPicture.h"

#include "plot/qt/PictureRender.h"

namespace kel {

TClipboardPicture RenderClipboardPicture(int width, int height, const std::function<void(TCanvas&)>& draw) {
    return {RenderPicture(TImageFormat::Svg, width, height, draw),
            RenderPicture(TImageFormat::Png, width, height, draw)};
}

}  // namespace kel
