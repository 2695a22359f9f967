// Text annotations: legend and result lines, info lines, data labels.
#include <cmath>

#include "plot/ScaleMath.h"
#include "plot/Xygraphc.h"

namespace kel {

void TXYGraph::DrawComments(TCanvas& c) {
    c.SetBackgroundTransparent();
    c.SetFont(Font_);
    TPen noPen;
    noPen.SetStyle(psClear);
    const TRect& r = PlotRect;
    for (TComment& comment : Comments) {
        c.SetTextAlign(comment.Align & 0xFF);
        TBrush brush;
        if (comment.BkColor != 0) brush.SetColor(comment.BkColor);
        else brush.SetStyle(bsClear);
        c.SetBrush(brush);
        c.SetPen(noPen);
        TFont font = Font_;
        font.SetColor(comment.FontColor);
        font.SetStyle(comment.FontStyle);
        c.SetFont(font);
        if (comment.Align & kCommentPixelBox) {
            const int x = PixelOf(comment.PosX), y = PixelOf(comment.PosY);
            // The box grows right and down from the point, whatever the alignment.
            const TSize size = c.TextExtent(comment.Text);
            c.Rectangle(x, y, x + size.cx, y + size.cy);
            c.TextOut(x, y, comment.Text);
        } else if (comment.Align & kCommentFraction) {
            c.TextOut(PixelOf(r.left + comment.PosX * (r.right - r.left)),
                      PixelOf(r.bottom + comment.PosY * (r.top - r.bottom)), comment.Text);
        } else {
            const TPoint p = ToPixel(comment.PosX, comment.PosY);
            comment.PixelX = p.x;
            comment.PixelY = p.y;
            if (PtInRect(r, p)) c.TextOut(p.x, p.y, comment.Text);
        }
    }
}

}  // namespace kel
