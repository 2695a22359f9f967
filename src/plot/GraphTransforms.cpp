// Data to pixel and back. The transforms never fail: every result is a
// finite pixel within +-10000, so drawing code can pass it on as it is.
#include <cmath>

#include "plot/ScaleMath.h"
#include "plot/Xygraphc.h"

namespace kel {

std::int32_t TXYGraph::XToPixel(double x) const {
    if (xmax_ == xmin_) return kPixelLimit;
    const double L = PlotRect.left, R = PlotRect.right;
    double v;
    if (XScale_ == scLin) {
        v = (x - xmin_) / (xmax_ - xmin_) * (R - L) + L;
    } else {
        const double lo = Log10(xmin_);
        v = (Log10(std::fabs(x)) - lo) / (Log10(xmax_) - lo) * (R - L) + L;
    }
    return PixelOf(v);
}

std::int32_t TXYGraph::YToPixel(double y) const {
    if (Ymax_ == Ymin_) return kPixelLimit;
    const double T = PlotRect.top, B = PlotRect.bottom;
    double v;
    if (YScale_ == scLin) {
        v = B - (y - Ymin_) / (Ymax_ - Ymin_) * (B - T);
    } else if (y > 0) {
        v = B - (Log10(y) - LogYmin) / (LogYmax - LogYmin) * (B - T);
    } else {
        v = kPixelLimit;  // far below the plot
    }
    return PixelOf(v);
}

double TXYGraph::PixelToX(double px) const {
    const double L = PlotRect.left, R = PlotRect.right;
    double x;
    if (XScale_ == scLin) {
        x = xmin_ + (px - L) / (R - L) * (xmax_ - xmin_);
    } else {
        const double lo = Log10(xmin_);
        x = Pow10((Log10(xmax_) - lo) * (px - L) / (R - L) + lo);
    }
    return std::isfinite(x) ? x : xmin_;
}

}  // namespace kel
