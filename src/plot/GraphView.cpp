#include "plot/GraphView.h"

#include <algorithm>
#include <cmath>

#include "plot/ScaleMath.h"

namespace kel {

namespace {

// The largest range end the axes dialog accepts; a view never goes past it.
constexpr double kLargestEnd = 1e99;
// A span narrower than this share of its ends' size has lost its digits to
// rounding: neighbouring pixels would show the same value.
constexpr double kSmallestRelativeSpan = 1e-12;

struct TRange {
    double lo, hi;
};

// Zooming and panning run in the axis's own coordinate: the value on a
// linear axis, its decade on a logarithmic one, where both are straight.
double ToAxis(double v, bool log) { return log ? Log10(v) : v; }
double FromAxis(double u, bool log) { return log ? Pow10(u) : u; }

bool Usable(const TRange& axis, bool log) {
    const auto fine = [log](double v) {
        return std::isfinite(v) && std::fabs(v) <= kLargestEnd && (!log || v >= 1 / kLargestEnd);
    };
    if (!fine(axis.lo) || !fine(axis.hi)) return false;
    const double span = std::fabs(axis.hi - axis.lo);
    const double size = std::max(std::fabs(axis.lo), std::fabs(axis.hi));
    return span > 0 && span > kSmallestRelativeSpan * size;
}

// The range moved to u0 + (old - u0) * factor around the share `at` of the
// axis, and shifted by `shift` shares of its span; empty when unusable.
bool Transform(double& lo, double& hi, bool log, double at, double factor, double shift) {
    const double ulo = ToAxis(lo, log), uhi = ToAxis(hi, log);
    const double span = uhi - ulo;
    const double u0 = ulo + at * span;
    const TRange moved{FromAxis(u0 + (ulo - u0) * factor + shift * span, log),
                       FromAxis(u0 + (uhi - u0) * factor + shift * span, log)};
    if (!std::isfinite(ulo) || !std::isfinite(uhi) || !Usable(moved, log)) return false;
    lo = moved.lo;
    hi = moved.hi;
    return true;
}

// Share of the plot's width left of px, of its height below py.
double ShareOfWidth(const TXYGraph& graph, double px) {
    const TRect& r = graph.PlotRect;
    return r.right > r.left ? (px - r.left) / (r.right - r.left) : std::nan("");
}
double ShareOfHeight(const TXYGraph& graph, double py) {
    const TRect& r = graph.PlotRect;
    return r.bottom > r.top ? (r.bottom - py) / (r.bottom - r.top) : std::nan("");
}

}  // namespace

TAxesState ZoomedX(const TXYGraph& graph, double px, double factor) {
    TAxesState axes = AxesOf(graph);
    const double at = ShareOfWidth(graph, px);
    TAxesState zoomed = axes;
    if (std::isfinite(at) && factor > 0 && Transform(zoomed.xmin, zoomed.xmax, axes.XLog, at, factor, 0))
        return zoomed;
    return axes;
}

TAxesState ZoomedY(const TXYGraph& graph, double py, double factor) {
    TAxesState axes = AxesOf(graph);
    const double at = ShareOfHeight(graph, py);
    TAxesState zoomed = axes;
    if (std::isfinite(at) && factor > 0 && Transform(zoomed.Ymin, zoomed.Ymax, axes.YLog, at, factor, 0))
        return zoomed;
    return axes;
}

TAxesState Panned(const TXYGraph& graph, double dx, double dy) {
    TAxesState axes = AxesOf(graph);
    TAxesState moved = axes;
    const TRect& r = graph.PlotRect;
    // Each axis on its own: a drag along one edge still moves the other.
    if (dx != 0 && r.right > r.left &&
        !Transform(moved.xmin, moved.xmax, axes.XLog, 0, 1, -dx / (r.right - r.left))) {
        moved.xmin = axes.xmin;
        moved.xmax = axes.xmax;
    }
    if (dy != 0 && r.bottom > r.top &&
        !Transform(moved.Ymin, moved.Ymax, axes.YLog, 0, 1, dy / (r.bottom - r.top))) {
        moved.Ymin = axes.Ymin;
        moved.Ymax = axes.Ymax;
    }
    return moved;
}

void RestoreAxes(TXYGraph& graph, const TAxesState& axes) {
    graph.SetXScale(axes.XLog ? scLog10 : scLin);
    graph.SetYScale(axes.YLog ? scLog10 : scLin);
    graph.Setxmin(axes.xmin);
    graph.Setxmax(axes.xmax);
    graph.SetYmin(axes.Ymin);
    graph.SetYmax(axes.Ymax);
}

bool SameAxes(const TAxesState& a, const TAxesState& b) {
    return a.xmin == b.xmin && a.xmax == b.xmax && a.Ymin == b.Ymin && a.Ymax == b.Ymax && a.XLog == b.XLog &&
           a.YLog == b.YLog;
}

void TViewHistory::Record(const TAxesState& view) {
    if (const TAxesState* now = Current(); now && SameAxes(*now, view)) return;
    if (!steps_.empty()) steps_.resize(at_ + 1);
    steps_.push_back(view);
    if (steps_.size() > kMaxSteps) steps_.erase(steps_.begin());
    at_ = steps_.size() - 1;
}

void TViewHistory::Clear() {
    steps_.clear();
    at_ = 0;
}

const TAxesState* TViewHistory::Back() {
    if (!CanGoBack()) return nullptr;
    return &steps_[--at_];
}

const TAxesState* TViewHistory::Forward() {
    if (!CanGoForward()) return nullptr;
    return &steps_[++at_];
}

}  // namespace kel
