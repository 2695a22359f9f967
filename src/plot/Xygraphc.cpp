#include "plot/Xygraphc.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

#include "plot/ScaleMath.h"

namespace kel {

TCurve::TCurve() {
    Pen.SetColor(clBlue);
    Brush.SetStyle(bsClear);
}

TXYGraph::TXYGraph() {
    Font_.OnChange = [this](const void* sender) {
        UpdateLayout();
        Changed(sender);
    };
    Pen_.OnChange = Font_.OnChange;
    // Through the setter so that LogYmax and the layout are in place; the
    // options are still empty, so the tick spacing stays at its defaults.
    Ymax_ = 0;
    SetYmax(100);
    Options_ = xyAutoXDiv | xyAutoYDiv;
}

void TXYGraph::Changed(const void* sender) {
    if (OnChange) OnChange(sender);
}

void TXYGraph::Relayout() {
    UpdateLayout();
    Changed(this);
}

bool TXYGraph::RangeChange(double& field, double v) {
    // A NaN or an infinity would reach every transform and tick label.
    if (v == field || !std::isfinite(v)) return false;
    field = v;
    return true;
}

void TXYGraph::Setxmin(double v) {
    if (RangeChange(xmin_, v)) Relayout();
}
void TXYGraph::Setxmax(double v) {
    if (RangeChange(xmax_, v)) Relayout();
}
void TXYGraph::SetYmin(double v) {
    if (!RangeChange(Ymin_, v)) return;
    if (v > 0) LogYmin = Log10(v);
    Relayout();
}
void TXYGraph::SetYmax(double v) {
    if (!RangeChange(Ymax_, v)) return;
    if (v > 0) LogYmax = Log10(v);
    Relayout();
}
void TXYGraph::SetXdiv(double v) {
    if (RangeChange(Xdiv_, v)) Relayout();
}
void TXYGraph::SetYdiv(double v) {
    if (RangeChange(Ydiv_, v)) Relayout();
}

void TXYGraph::SetXScale(TScaleType s) {
    if (s == XScale_) return;
    XScale_ = s;
    if (s == scLog10) XMinorCount = 10;
    Relayout();
}
void TXYGraph::SetYScale(TScaleType s) {
    if (s == YScale_) return;
    YScale_ = s;
    if (s == scLog10) YMinorCount = 10;
    Relayout();
}

void TXYGraph::SetHeight(std::int32_t h) {
    if (h == Height_ || h <= TopMargin + BottomMargin) return;
    Height_ = h;
    Relayout();
}
void TXYGraph::SetWidth(std::int32_t w) {
    if (w == Width_ || w <= LeftMargin + RightMargin) return;
    Width_ = w;
    Relayout();
}

void TXYGraph::SetOptions(TXYOptions o) {
    Options_ = o;
    Relayout();
}

void TXYGraph::SetTitle(int index, const std::string& t) {
    std::string& title = titles_[index - 1];
    if (title == t) return;
    title = t;
    Changed(this);
}

void TXYGraph::UpdateLayout() {
    const int h = std::abs(Font_.Height());
    LabelGap = h / 5;
    LeftMargin = 3 * h + LabelGap;
    RightMargin = h + LabelGap;
    TopMargin = 3 * h / 2 + LabelGap;
    BottomMargin = 2 * h + LabelGap;
    PlotRect = {LeftMargin, TopMargin, Width_ - RightMargin, Height_ - BottomMargin};
    // A log axis cannot show an end <= 0.
    if (YScale_ == scLog10) {
        if (!(Ymax_ > 0)) SetYmax(100);
        if (!(Ymin_ > 0)) SetYmin(Ymax_ / 100);
    }
    if (XScale_ == scLog10) {
        if (!(xmax_ > 0)) Setxmax(100);
        if (!(xmin_ > 0)) Setxmin(xmax_ / 100);
    }
    UpdateDivisions();
}

namespace {

// The linear tick spacing: a nice step near span / target, doubled until
// ticks stand at least `minPixels` apart on `pixels`. False when the span
// gives no usable step (an overflowing or empty range).
bool LinearDivision(double span, int target, int pixels, int minPixels, TNiceStep& out) {
    double first = span / target;
    if (!std::isfinite(first) || !(first > 0)) return false;
    out = NiceStep(first);
    while (pixels * out.step / span < minPixels) {
        double twice = 2 * out.step;
        if (!std::isfinite(twice)) break;
        out = NiceStep(twice);
    }
    return true;
}

// The log tick spacing in whole decades.
int LogDivision(double decades, int pixels, int minPixels) {
    int step = 1;
    while (pixels * static_cast<double>(step) / decades < minPixels) ++step;
    return step;
}

}  // namespace

void TXYGraph::UpdateDivisions() {
    const int h = std::abs(Font_.Height());
    if ((Options_ & xyAutoXDiv) && xmin_ != xmax_ && Width_ > LeftMargin + RightMargin) {
        const int w = Width_ - LeftMargin - RightMargin;
        if (XScale_ == scLin) {
            TNiceStep ns{};
            if (LinearDivision(std::fabs(xmin_ - xmax_), TargetDivisions, w, 3 * h + 1, ns)) {
                Xdiv_ = ns.step;
                XMinorCount = ns.digit == 5 ? 5 : 10;
            }
        } else {
            int step = LogDivision(std::fabs(Log10(xmin_) - Log10(xmax_)), w, 3 * h + 1);
            XMinorCount = step == 1 ? 10 : 1;
            Xdiv_ = step;
        }
    }
    if ((Options_ & xyAutoYDiv) && Ymin_ != Ymax_ && Height_ > TopMargin + BottomMargin) {
        const int v = Height_ - TopMargin - BottomMargin;
        if (YScale_ == scLin) {
            TNiceStep ns{};
            if (LinearDivision(std::fabs(Ymin_ - Ymax_), TargetDivisions, v, 2 * h + 1, ns)) {
                if (ns.step != Ydiv_) SetYdiv(ns.step);
                YMinorCount = ns.digit == 5 ? 5 : 10;
            }
        } else {
            int step = LogDivision(std::fabs(Log10(Ymin_) - Log10(Ymax_)), v, 2 * h + 1);
            YMinorCount = step == 1 ? 10 : 1;
            if (step != Ydiv_) SetYdiv(step);
        }
    }
}

void TXYGraph::EnsureCurve(int index) {
    if (index < 0) throw std::out_of_range("curve index " + std::to_string(index));
    while (Curves.Count() <= index) Curves.Add(std::make_unique<TCurve>());
    if (!Curves[index]) Curves.Replace(index, std::make_unique<TCurve>());
}

TCurve& TXYGraph::Curve(int index) {
    EnsureCurve(index);
    return *Curves[index];
}

void TXYGraph::SetCurveX(int index, int n, double x0, double x1) {
    TCurve& c = Curve(index);
    n = std::max(n, 0);
    c.X.resize(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        c.X[static_cast<std::size_t>(i)] = n == 1 ? x0 : x0 + static_cast<double>(i) / (n - 1) * (x1 - x0);
    c.XLength = n;
    c.Count = std::min(c.XLength, c.YLength);
    Changed(this);
}

void TXYGraph::SetCurveY(int index, const double* values, int n) {
    TCurve& c = Curve(index);
    n = std::max(n, 0);
    c.Y.assign(values, values + n);
    c.YLength = n;
    c.Count = std::min(c.XLength, c.YLength);
    Changed(this);
}

void TXYGraph::SetCurveStyle(int index, std::uint8_t style) {
    Curve(index).Style = style;
    Changed(this);
}

TPen& TXYGraph::CurvePen(int index) {
    TPen& pen = Curve(index).Pen;
    pen.OnChange = [this](const void* sender) { Changed(sender); };
    return pen;
}

void TXYGraph::AddComment(std::int32_t tag, const std::string& text, double posX, double posY,
                          std::uint16_t align, TColor fontColor, TColor bkColor, TFontStyles fontStyle) {
    TComment c;
    c.Text = text;
    c.PosX = posX;
    c.PosY = posY;
    c.Align = align;
    c.FontColor = fontColor;
    c.BkColor = bkColor;
    c.Tag = tag;
    c.FontStyle = fontStyle;
    Comments.push_back(std::move(c));
}

void TXYGraph::DeleteComments(std::int32_t tag) {
    std::erase_if(Comments, [tag](const TComment& c) { return c.Tag == tag; });
}

void TXYGraph::ClearCurves() {
    Curves.Clear();
    Changed(this);
}

}  // namespace kel
