// "Show all": ranges fitted to the curves, with a small margin so that no
// point sits on the frame.
#include <algorithm>
#include <cmath>

#include "plot/ScaleMath.h"
#include "plot/Xygraphc.h"

namespace kel {

void TXYGraph::PadX(double& lo, double& hi) const {
    if (hi == lo) {
        if (hi == 0) {
            hi = 1;
            lo = -1;
        }
        hi = hi + 0.1 * std::fabs(hi);
        lo = lo - 0.1 * std::fabs(lo);
    }
    if (XScale_ == scLin) {
        double d = hi - lo;
        hi = hi + 0.001 * d;
        lo = lo - 0.001 * d;
    }
}

void TXYGraph::PadY(double& lo, double& hi) const {
    if (YScale_ == scLin) {
        double d = hi - lo;
        if (d == 0) d = lo;
        if (d == 0) d = 1;
        hi = hi + 0.05 * d;
        lo = lo - 0.05 * d;
        return;
    }
    if (hi < 0) {
        lo = std::fabs(hi);
        hi = std::fabs(hi);
    }
    if (!(hi > 0)) hi = 1;
    if (!(lo > 0)) lo = hi / Pow10(MinLogSpan);
    hi = hi * 1.3;
    lo = lo / 1.3;
    if (hi / Pow10(MaxLogSpan) >= lo) lo = hi / Pow10(MaxLogSpan);
    if (hi / Pow10(MinLogSpan) > lo) return;
    lo = Pow10(RoundHalfEven(Log10(lo) - 0.5));
    hi = std::max(hi, Pow10(MinLogSpan) * lo);
}

void TXYGraph::AutoScaleX() {
    double lo = 1e99, hi = -1e99;
    bool found = false;
    for (int c = 0; c < Curves.Count(); ++c) {
        const TCurve* curve = Curves[c];
        if (!curve || curve->Hidden || curve->Count <= 0) continue;
        found = true;
        for (int i = 0; i < curve->Count; ++i) {
            double x = curve->X[static_cast<std::size_t>(i)];
            if (!std::isfinite(x)) continue;
            if (x > hi) hi = x;
            if (x < lo && (XScale_ == scLin || x > 0)) lo = x;
        }
    }
    if (!found) return;
    PadX(lo, hi);
    Setxmin(lo);
    Setxmax(hi);
}

void TXYGraph::AutoScaleY() {
    double lo = 1e37, hi = -1e37;
    bool found = false;
    const bool linear = YScale_ == scLin;
    for (int c = 0; c < Curves.Count(); ++c) {
        const TCurve* curve = Curves[c];
        if (!curve || curve->Hidden || curve->Count <= 0) continue;
        const bool boxes = curve->Style == csBoxes;
        const int stride = boxes ? 2 : 1;
        // On a log axis every point counts; found needs no point in view there.
        if (!linear) found = true;
        for (int i = 0; i < curve->Count; i += stride) {
            double y = curve->Y[static_cast<std::size_t>(i)];
            if (!std::isfinite(y)) continue;
            if (linear) {
                double x = curve->X[static_cast<std::size_t>(i)];
                if (!(xmin_ <= x && x <= xmax_)) continue;
                found = true;
                lo = std::min(lo, y);
                hi = std::max(hi, y);
            } else if (boxes) {
                if (y > 0) lo = std::min(lo, y);
                hi = std::max(hi, y);
            } else {
                double a = std::fabs(y);
                if (a > 0) lo = std::min(lo, a);
                hi = std::max(hi, a);
            }
        }
    }
    if (!found) return;
    if (linear || hi != 0) {
        PadY(lo, hi);
        SetYmin(lo);
        SetYmax(hi);
    } else {
        SetYmin(0.09);
        SetYmax(1.1);
    }
}

}  // namespace kel
