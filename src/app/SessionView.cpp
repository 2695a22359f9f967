// Zoom, pan and the view history of the main graph, and the values under
// the cursor. Only the axes move here: no curve or result is recomputed.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/KelViewSession.h"
#include "common/DateTime.h"
#include "common/NumberText.h"
#include "plot/Floatedi.h"

namespace kel {

namespace {

constexpr double kSecondsPerDay = 86400;
constexpr int kValueDigits = 4;

std::string ClockText(double dateTime) {
    const DateTimeParts p = DecodeDateTime(dateTime);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", p.hour, p.minute, p.second);
    return text;
}

}  // namespace

double TKelViewSession::PointDateTime(int point) const {
    // The profile's date is taken as that of the recording's first cycle,
    // the zero of "Time 0 at start"; the oldest stored point is cycle jm - njm.
    const double cycleSeconds = (profile_.jm - profile_.njm + point) * pointTime_;
    return profile_.ProfileDate + cycleSeconds / kSecondsPerDay;
}

std::string TKelViewSession::PointClockText(int point) const { return ClockText(PointDateTime(point)); }

namespace {

}  // namespace

void TKelViewSession::RecordView() { history_.Record(AxesOf(graph1_)); }

void TKelViewSession::ShowView(const TAxesState& axes) {
    RestoreAxes(graph1_, axes);
    // The side graph shares the main graph's value axis, as every refresh
    // leaves it.
    graph2_.SetYScale(graph1_.YScale());
    graph2_.SetYmin(graph1_.Ymin());
    graph2_.SetYmax(graph1_.Ymax());
    AxesChanged();
}

void TKelViewSession::ZoomTime(double px, double factor) {
    const TUndoStep step(*this, TStepKind::User);
    ShowView(ZoomedX(graph1_, px, factor));
    RecordView();
}

void TKelViewSession::ZoomValues(double py, double factor) {
    const TUndoStep step(*this, TStepKind::User);
    ShowView(ZoomedY(graph1_, py, factor));
    RecordView();
}

void TKelViewSession::PanView(double dx, double dy) {
    const TUndoStep step(*this, TStepKind::User);
    DragView(dx, dy);
    RecordView();
}

void TKelViewSession::DragView(double dx, double dy) { ShowView(Panned(graph1_, dx, dy)); }

void TKelViewSession::EndViewDrag() {
    const TUndoStep step(*this, TStepKind::User);
    RecordView();
}

bool TKelViewSession::CanGoBack() const {
    const TAxesState* now = history_.Current();
    return history_.CanGoBack() || (now && !SameAxes(*now, AxesOf(graph1_)));
}

void TKelViewSession::ViewBack() {
    const TUndoStep step(*this, TStepKind::User);
    // A view no command recorded (a rebuild that cut the time axis to the
    // profile, "ppb" rescaling) becomes a step first, so that Forward comes
    // back to what was shown.
    RecordView();
    if (const TAxesState* view = history_.Back()) ShowView(*view);
}

void TKelViewSession::ViewForward() {
    const TUndoStep step(*this, TStepKind::User);
    if (const TAxesState* view = history_.Forward()) ShowView(*view);
}

void TKelViewSession::ReadoutClick() {
    SetToggle(readoutOn_, !readoutOn_);
}

TReadout TKelViewSession::ReadoutAt(double px, double py) const {
    TReadout readout;
    const TRect& plot = graph1_.PlotRect;
    const int njm = profile_.njm;
    if (!readoutOn_ || njm < 1 || !(px >= plot.left && px <= plot.right && py >= plot.top && py <= plot.bottom))
        return readout;
    // Every curve of the main graph has one X per point, the same for all.
    const double x0 = TimeRange().first;
    const double at = pointTime_ > 0 ? (graph1_.PixelToX(px) - x0) / pointTime_ : 0;
    const int point = std::isfinite(at) ? static_cast<int>(std::lround(std::clamp(at, 0.0, njm - 1.0))) : 0;
    const TCurvesList& curves = graph1_.Curves;
    int nearestPixels = 0;
    for (int c = 0; c < curves.Count(); ++c) {
        const TCurve* curve = curves[c];
        if (!curve || curve->Hidden || curve->Count <= point) continue;
        const auto i = static_cast<std::size_t>(point);
        if (readout.Values.empty()) readout.Time = curve->X[i];
        TReadoutValue value;
        value.Label = CurveName(c);
        value.Unit = CurveUnit(c);
        if (value.Label.empty()) value.Label = "curve " + std::to_string(c);
        const double y = curve->Y[i];
        value.Value = std::isfinite(y) ? TFloatField::DisplayText(y, kValueDigits) : "no value";
        value.Color = curve->Pen.Color();
        if (std::isfinite(y)) {
            const int pixels = std::abs(graph1_.YToPixel(y) - static_cast<int>(std::lround(py)));
            if (readout.Nearest < 0 || pixels < nearestPixels) {
                readout.Nearest = static_cast<int>(readout.Values.size());
                nearestPixels = pixels;
            }
        }
        readout.Values.push_back(std::move(value));
    }
    if (readout.Values.empty() || !std::isfinite(readout.Time)) return TReadout{};
    readout.Shown = true;
    readout.Point = point;
    readout.TimeText = FormatFixed(readout.Time, 1, 2) + " s";
    readout.ClockText = PointClockText(point);
    readout.StatusText = "t=" + readout.TimeText + " (" + readout.ClockText + ")";
    if (readout.Nearest >= 0) {
        const TReadoutValue& nearest = readout.Values[static_cast<std::size_t>(readout.Nearest)];
        readout.StatusText += "  " + nearest.Label + ": " + nearest.Value + " " + nearest.Unit;
    }
    return readout;
}

}  // namespace kel
