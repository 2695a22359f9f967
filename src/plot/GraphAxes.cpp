// The frame, ticks, tick labels and titles of a graph.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "plot/ScaleMath.h"
#include "plot/TickLabels.h"
#include "plot/Xygraphc.h"

namespace kel {

namespace {

// More tick indices than the +-10000 pixel range has columns cannot be told
// apart; such a step (typed in with automatic spacing off) is treated like an
// arithmetic failure instead of stalling the drawing.
constexpr std::int64_t kMaxTickIndices = 20000;
// A log Y axis above this shows no ticks: the decades would be unbounded.
constexpr double kMaxLogTickTop = 1e90;

void Line(TCanvas& c, int x1, int y1, int x2, int y2) {
    c.MoveTo(x1, y1);
    c.LineTo(x2, y2);
}

void Segment(TCanvas& c, int x1, int y1, int x2, int y2) {
    const TPoint points[2] = {{x1, y1}, {x2, y2}};
    c.Polyline(points, 2);
}

// One axis seen along its own direction: which frame edges it ticks, how a
// value becomes a pixel and where its labels go.
class AxisPainter {
public:
    AxisPainter(const TXYGraph& g, TCanvas& c, bool yAxis)
        : g_(g), c_(c), y_(yAxis), r_(g.PlotRect), f_(std::abs(g.Font().Height())) {}

    void Edges() {
        if (y_) {
            Segment(c_, r_.left, r_.bottom, r_.left, r_.top);
            Segment(c_, r_.right, r_.bottom, r_.right, r_.top);
        } else {
            Segment(c_, r_.left, r_.bottom, r_.right, r_.bottom);
            Segment(c_, r_.left, r_.top, r_.right, r_.top);
        }
        c_.SetTextAlign(y_ ? taRight | taBaseline : taCenter | taTop);
    }

    void Linear() {
        const double lo = std::min(First(), Second()), hi = std::max(First(), Second());
        const double s = y_ ? g_.Ydiv() : g_.Xdiv();
        const int n = y_ ? g_.YMinorCount : g_.XMinorCount;
        std::int64_t k0 = 0, k1 = 0;
        if (!TickIndices(lo / s, hi / s, k0, k1)) return EndLabels(s);
        for (std::int64_t k = k0; k <= k1; ++k) {
            double v = static_cast<double>(k) * s;
            if (lo <= v && v <= hi) {
                int p = Pixel(v);
                Tick(p, g_.TickLength);
                TPoint at = LabelAt(p);
                c_.TextOut(at.x, at.y, FormatTickLabel(v, s));
            }
            for (int j = 1; j < n; ++j) {
                v = v + s / n;
                if (lo <= v && v <= hi) Tick(Pixel(v), g_.TickLength / 2);
            }
        }
    }

    // Ticks on round times of day, XClockOrigin seconds after midnight at 0.
    void Clock() {
        const double origin = g_.XClockOrigin;
        const double lo = std::min(First(), Second()) + origin, hi = std::max(First(), Second()) + origin;
        const double s = ClockTickStep(g_.Xdiv());
        std::int64_t k0 = 0, k1 = 0;
        if (!TickIndices(lo / s, hi / s, k0, k1)) return EndLabels(g_.Xdiv());
        for (std::int64_t k = k0; k <= k1; ++k) {
            const double v = static_cast<double>(k) * s;
            if (lo <= v && v <= hi) {
                const int p = Pixel(v - origin);
                Tick(p, g_.TickLength);
                const TPoint at = LabelAt(p);
                c_.TextOut(at.x, at.y, FormatClockLabel(v, s));
            }
        }
    }

    void Logarithmic() {
        if (y_ && g_.Ymax() > kMaxLogTickTop) return;
        const double lo = Log10(std::min(First(), Second())) - 0.001;
        const double hi = Log10(std::max(First(), Second())) + 0.001;
        const double s = y_ ? g_.Ydiv() : g_.Xdiv();
        const int n = y_ ? g_.YMinorCount : g_.XMinorCount;
        std::int64_t k0 = 0, k1 = 0;
        if (!std::isfinite(lo) || !std::isfinite(hi) || !TickIndices(lo / s, hi / s, k0, k1))
            return EndLabels(s);
        for (std::int64_t k = k0; k <= k1; ++k) {
            const double e = static_cast<double>(k) * s;
            const double v = Pow10(e);
            if (!std::isfinite(v) || v == 0) return EndLabels(s);
            if (lo <= e && e <= hi) {
                int p = Pixel(v);
                Tick(p, g_.TickLength);
                TPoint at = LabelAt(p);
                DrawPowerLabel(c_, at.x, FormatPowerLabel(v), at.y, f_);
            }
            for (int j = 2; j < n; ++j) {
                double w = j * v * 10 / n;
                double lw = Log10(w);
                if (lo <= lw && lw <= hi) Tick(Pixel(w), g_.TickLength / 2);
            }
        }
    }

private:
    // The axis ends in the order their fallback labels are written:
    // left then right on X, top then bottom on Y.
    double First() const { return y_ ? g_.Ymax() : g_.xmin(); }
    double Second() const { return y_ ? g_.Ymin() : g_.xmax(); }

    int Pixel(double v) const { return y_ ? g_.YToPixel(v) : g_.XToPixel(v); }

    TPoint LabelAt(int p) const {
        if (y_) return {r_.left - g_.LabelGap, p + f_ / 2};
        return {p, r_.bottom + g_.LabelGap};
    }

    void Tick(int p, int len) {
        if (y_) {
            Line(c_, r_.left, p, r_.left + len, p);
            Line(c_, r_.right, p, r_.right - len, p);
        } else {
            Line(c_, p, r_.bottom, p, r_.bottom - len);
            Line(c_, p, r_.top, p, r_.top + len);
        }
    }

    static bool TickIndices(double q0, double q1, std::int64_t& k0, std::int64_t& k1) {
        constexpr double kIndexLimit = 9e15;
        if (!std::isfinite(q0) || !std::isfinite(q1) || std::fabs(q0) > kIndexLimit ||
            std::fabs(q1) > kIndexLimit)
            return false;
        k0 = FloorDown(q0) - 1;
        k1 = FloorDown(q1) + 1;
        return k1 - k0 <= kMaxTickIndices;
    }

    // Only the two range ends, when the ticks cannot be computed.
    void EndLabels(double s) {
        TPoint a = LabelAt(y_ ? r_.top : r_.left);
        TPoint b = LabelAt(y_ ? r_.bottom : r_.right);
        c_.TextOut(a.x, a.y, FormatTickLabel(First(), s));
        c_.TextOut(b.x, b.y, FormatTickLabel(Second(), s));
    }

    const TXYGraph& g_;
    TCanvas& c_;
    const bool y_;
    const TRect r_;
    const int f_;
};

void DrawAxis(const TXYGraph& g, TCanvas& c, bool yAxis) {
    AxisPainter axis(g, c, yAxis);
    axis.Edges();
    if (!yAxis && g.XScale() == scLin && std::isfinite(g.XClockOrigin)) axis.Clock();
    else if ((yAxis ? g.YScale() : g.XScale()) == scLin) axis.Linear();
    else axis.Logarithmic();
}

}  // namespace

void TXYGraph::DrawAxes(TCanvas& c) {
    c.SetPen(Pen_);
    c.SetFont(Font_);
    c.SetBackgroundTransparent();
    DrawAxis(*this, c, false);
    DrawAxis(*this, c, true);
    const TRect& r = PlotRect;
    c.SetTextAlign(taLeft | taTop);
    c.TextOut(r.left - LeftMargin, r.top - TopMargin, " " + TitleLeft());
    c.SetTextAlign(taCenter | taBottom);
    c.TextOut((r.left + r.right) / 2, r.bottom + BottomMargin, TitleBottom());
    c.SetTextAlign(taCenter | taTop);
    c.TextOut((r.left + r.right) / 2, r.top - TopMargin, TitleTop());
    c.SetTextAlign(taRight | taBottom);
    c.TextOut(r.right + RightMargin, r.bottom + BottomMargin, TitleRight() + " ");
}

}  // namespace kel
