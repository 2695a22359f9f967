// The whole drawing of a graph, and its copy to the clipboard.
#include "plot/GraphClipboard.h"
#include "plot/Xygraphc.h"

namespace kel {

void TXYGraph::Draw(TCanvas& canvas, const TRect& rect) {
    PlotRect = {rect.left + LeftMargin, rect.top + TopMargin, rect.left + Width_ - RightMargin,
                rect.top + Height_ - BottomMargin};
    DrawAxes(canvas);
    DrawCurves(canvas);
    DrawComments(canvas);
}

bool TXYGraph::CopyToClipboard(TGraphClipboard& clipboard) {
    return clipboard.PutPicture(Width_ + 10, Height_ + 10, [this](TCanvas& canvas) {
        // A fresh picture starts from the platform's stock objects.
        TFont systemFont;
        systemFont.SetName("System");
        canvas.SetPen(TPen());
        canvas.SetBrush(TBrush());
        canvas.SetFont(systemFont);
        Draw(canvas, {0, 0, Width_, Height_});
    });
}

}  // namespace kel
