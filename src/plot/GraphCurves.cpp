// The curves of a graph: lines, markers, steps, bars and boxes.
#include <algorithm>
#include <cmath>
#include <vector>

#include "plot/Clipping.h"
#include "plot/ScaleMath.h"
#include "plot/Xygraphc.h"

namespace kel {

namespace {

// How far below the plot a line may still reach before it is flattened.
constexpr int kLineDepth = 100;

void Line(TCanvas& c, int x1, int y1, int x2, int y2) {
    c.MoveTo(x1, y1);
    c.LineTo(x2, y2);
}

void DrawMarker(TCanvas& c, std::uint8_t kind, int x, int y, int s, int bottom) {
    switch (kind) {
    case mkDot:
        Line(c, x - 1, y, x, y);
        break;
    case mkCircle:
        c.Ellipse(x - s, y - s, x + s, y + s);
        break;
    case mkSquare:
        c.Rectangle(x - s, y - s, x + s, y + s);
        break;
    case mkPlus: {
        const TPoint p[9] = {{x, y}, {x, y + s}, {x, y}, {x + s, y}, {x, y},
                             {x, y - s}, {x, y}, {x - s, y}, {x, y}};
        c.Polyline(p, 9);
        break;
    }
    case mkCross:
        Line(c, x - s, y - s, x + s + 1, y + s + 1);
        Line(c, x - s, y + s, x + s + 1, y - s);
        break;
    case mkStar:
        Line(c, x - s, y - s, x + s + 1, y + s + 1);
        Line(c, x - s, y + s, x + s + 1, y - s - 1);
        Line(c, x, y - s, x, y + s + 1);
        Line(c, x - s, y, x + s + 1, y);
        break;
    case mkTriangleUp: {
        const TPoint p[4] = {{x - s, y + s}, {x + s + 1, y + s}, {x, y - s - 1}, {x - s, y + s}};
        c.Polyline(p, 4);
        break;
    }
    case mkTriangleDown: {
        const TPoint p[4] = {{x - s, y - s}, {x + s + 1, y - s}, {x, y + s + 1}, {x - s, y - s}};
        c.Polyline(p, 4);
        break;
    }
    case mkBar:
        c.Rectangle(x - s / 2, y, x + s / 2, bottom);
        break;
    case mkHollowBar:
        c.Rectangle(x - s / 2 - 1, y, x + s / 2 + 1, bottom);
        break;
    default:
        break;
    }
}

// A box's fill colour is stored as a number; one that is no colour value
// (negative, too large, not finite) paints black.
TColor BoxColor(double y) {
    double r = RoundHalfEven(y);
    if (!(r >= 0 && r <= 4294967295.0)) return clBlack;
    return static_cast<TColor>(r);
}

void DrawLine(const TXYGraph& g, const TCurve& curve, TCanvas& c) {
    const int n = curve.Count;
    const int limit = g.PlotRect.bottom + kLineDepth;
    std::vector<TPoint> points(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const auto u = static_cast<std::size_t>(i);
        TPoint p = g.ToPixel(curve.X[u], curve.Y[u]);
        p.y = std::min(p.y, limit);
        points[u] = p;
    }
    c.SetPen(curve.Pen);
    DrawClippedPolyline(c, g.PlotRect, points.data(), n);
}

void DrawSteps(const TXYGraph& g, const TCurve& curve, TCanvas& c) {
    const int n = curve.Count;
    if (n <= 0) return;
    const auto& X = curve.X;
    const auto& Y = curve.Y;
    std::vector<TPoint> q(2 * static_cast<std::size_t>(n));
    q[0] = g.ToPixel(X[0], Y[0]);
    for (std::size_t i = 0; i + 1 < static_cast<std::size_t>(n); ++i) {
        const double m = (X[i] + X[i + 1]) / 2;
        q[2 * i + 1] = g.ToPixel(m, Y[i]);
        q[2 * i + 2] = g.ToPixel(m, Y[i + 1]);
    }
    q.back() = g.ToPixel(X[static_cast<std::size_t>(n) - 1], Y[static_cast<std::size_t>(n) - 1]);
    c.SetPen(curve.Pen);
    DrawClippedPolyline(c, g.PlotRect, q.data(), 2 * n);
}

void DrawMarkers(const TXYGraph& g, const TCurve& curve, std::uint8_t kind, TCanvas& c) {
    if (kind < mkDot || kind > mkHollowBar) return;
    c.SetPen(curve.Pen);
    TBrush brush = curve.Brush;
    if (kind == mkHollowBar) brush.SetStyle(bsClear);
    c.SetBrush(brush);
    const TRect& r = g.PlotRect;
    for (std::size_t i = 0; i < static_cast<std::size_t>(curve.Count); ++i) {
        TPoint p = g.ToPixel(curve.X[i], curve.Y[i]);
        if (kind == mkBar || kind == mkHollowBar) p.y = std::max(p.y, r.top);
        if (PtInRect(r, p)) DrawMarker(c, kind, p.x, p.y, curve.MarkerSize, r.bottom);
    }
}

void DrawBoxes(const TXYGraph& g, const TCurve& curve, TCanvas& c) {
    c.SetPen(curve.Pen);
    TBrush brush = curve.Brush;
    const TRect& r = g.PlotRect;
    for (std::size_t i = 0; 2 * i + 1 < static_cast<std::size_t>(curve.Count); ++i) {
        const double x0 = curve.X[2 * i], x1 = curve.X[2 * i + 1];
        TPoint p = g.ToPixel(x0, curve.Y[2 * i]);
        TPoint q = g.ToPixel(x1, g.Ymin());
        if (g.XScale() == scLin) {
            // The width follows the data even where XToPixel would clamp.
            double w = RoundHalfEven((x1 - x0) / (g.xmax() - g.xmin()) * (r.right - r.left));
            w = std::isfinite(w) ? std::clamp(w, -20000.0, 20000.0) : 20000.0;
            q.x = p.x + static_cast<int>(w);
        }
        brush.SetColor(BoxColor(curve.Y[2 * i + 1]));
        c.SetBrush(brush);
        p.y = std::max(p.y, r.top);
        p.x = std::max(p.x, r.left);
        q.x = std::min(q.x, r.right);
        if (p.x < r.right && q.x > r.left && p.y <= r.bottom) c.Rectangle(p.x, p.y, q.x + 1, q.y);
    }
}

}  // namespace

void TXYGraph::DrawCurves(TCanvas& c) {
    c.SetBackgroundTransparent();
    for (int index = 0; index < Curves.Count(); ++index) {
        const TCurve* curve = Curves[index];
        if (!curve || curve->Hidden) continue;
        switch (curve->Style) {
        case csLine:
            DrawLine(*this, *curve, c);
            break;
        case csMarkers:
            DrawMarkers(*this, *curve, curve->MarkerKind, c);
            break;
        case csLineMarkers:
            DrawLine(*this, *curve, c);
            DrawMarkers(*this, *curve, curve->MarkerKind, c);
            break;
        case csSteps:
            DrawSteps(*this, *curve, c);
            break;
        case csBars:
            DrawMarkers(*this, *curve, mkBar, c);
            break;
        case csBoxes:
            DrawBoxes(*this, *curve, c);
            break;
        default:
            break;
        }
    }
}

}  // namespace kel
