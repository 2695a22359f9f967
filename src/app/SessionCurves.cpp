// Curves hidden and shown, the clock-time axis and the window's points as a
// table. Hiding only changes what is drawn: the results, logs and batch
// outputs keep every channel and compound.
#include "app/SessionCurves.h"

#include <algorithm>
#include <cmath>

#include "app/KelViewSession.h"
#include "common/CsvField.h"
#include "common/DateTime.h"
#include "common/NumberText.h"
#include "common/SafeFile.h"

namespace kel {

namespace {

constexpr std::string_view kViewSection = "View";
constexpr std::string_view kClockTimeName = "ClockTime";
constexpr int kMeanDigits = 4;
// Result lines start 50 pixels down, one every 20, as the window
// calculation places them.
constexpr int kFirstLineY = 50;
constexpr int kLineStep = 20;
// Names are stored one a line: no legend name holds a line break.
constexpr char kNameSeparator = '\n';

std::string_view HiddenName(TPlotMode mode) {
    switch (mode) {
    case TPlotMode::Ppb:
        return "HiddenPpbCurves";
    case TPlotMode::Isotope:
        return "HiddenIsotopeCurves";
    default:
        return "HiddenRateCurves";
    }
}

constexpr TPlotMode kModes[] = {TPlotMode::Rate, TPlotMode::Ppb, TPlotMode::Isotope};

// A third of the colour on two thirds of the box it stands on; the palette
// flag stays.
TColor Dimmed(TColor color, TColor box) {
    TColor out = color & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const TColor c = (color >> shift) & 0xFFu, b = (box >> shift) & 0xFFu;
        out |= ((c + 2 * b) / 3) << shift;
    }
    return out;
}

void AppendNumber(std::string& out, double value) {
    out += ',';
    // A point without a value is an empty field, never "nan".
    if (std::isfinite(value)) out += FormatGeneral(value);
}

}  // namespace

std::set<std::string>& THiddenCurves::Of(TPlotMode mode) {
    return mode == TPlotMode::Ppb ? Ppb : mode == TPlotMode::Isotope ? Isotope : Rate;
}

const std::set<std::string>& THiddenCurves::Of(TPlotMode mode) const {
    return mode == TPlotMode::Ppb ? Ppb : mode == TPlotMode::Isotope ? Isotope : Rate;
}

std::string TKelViewSession::CurveName(int index) const {
    // The ratio curve of the D/H mode has no legend line of its own.
    if (Mode() == TPlotMode::Isotope && index == 3) return "R1liq";
    const auto i = static_cast<std::size_t>(index);
    return index >= 0 && i < curveLabels_.size() ? curveLabels_[i] : std::string();
}

std::string TKelViewSession::CurveUnit(int index) const {
    const TPlotMode mode = Mode();
    if (mode == TPlotMode::Isotope && index == 3) return "ppm";
    // Normalised signals are count rates per nA of the ion current.
    if (mode == TPlotMode::Isotope) return normId_ ? "c/s/nA" : "c/s";
    return mode == TPlotMode::Ppb ? "ppb" : "c/s";
}

std::vector<TCurveEntry> TKelViewSession::CurveList() const {
    std::vector<TCurveEntry> list;
    const TPlotMode mode = Mode();
    const std::set<std::string>& hidden = hiddenCurves_.Of(mode);
    for (int c = 0; c < graph1_.Curves.Count(); ++c) {
        const TCurve* curve = graph1_.Curves[c];
        TCurveEntry entry;
        entry.Name = CurveName(c);
        if (!curve || entry.Name.empty()) continue;
        entry.Index = c;
        entry.Color = curve->Pen.Color();
        entry.Hidden = hidden.contains(entry.Name);
        std::optional<double> mean;
        const auto i = static_cast<std::size_t>(c);
        if (mode == TPlotMode::Rate && i < ChannelResults().size()) mean = ChannelResults()[i].MeanRate;
        else if (mode == TPlotMode::Rate && i == ChannelResults().size() && lastRun_) mean = lastRun_->totalRate;
        else if (mode == TPlotMode::Ppb && i < compoundResults_.size()) mean = compoundResults_[i].Ppb;
        if (mean && std::isfinite(*mean))
            entry.MeanText = TFloatField::DisplayText(*mean, kMeanDigits) + " " + CurveUnit(c);
        list.push_back(std::move(entry));
    }
    return list;
}

void TKelViewSession::ApplyHiddenCurves() {
    const TPlotMode mode = Mode();
    const std::set<std::string>& hidden = hiddenCurves_.Of(mode);
    for (int c = 0; c < graph1_.Curves.Count(); ++c)
        if (TCurve* curve = graph1_.Curves[c]) curve->Hidden = hidden.contains(CurveName(c));
    if (mode == TPlotMode::Isotope) return;  // its result lines are not one per curve
    for (TComment& comment : graph1_.Comments) {
        const int c = CurveOfResultLineAt(static_cast<int>(comment.PosX), static_cast<int>(comment.PosY));
        if (c < 0 || comment.PosY != kFirstLineY + kLineStep * c) continue;
        const TColor pen = graph1_.Curves[c]->Pen.Color();
        comment.FontColor = graph1_.Curves[c]->Hidden ? Dimmed(pen, boxColor_) : pen;
    }
}

int TKelViewSession::CurveOfResultLineAt(int px, int py) const {
    if (Mode() == TPlotMode::Isotope || py < kFirstLineY) return -1;
    const int c = (py - kFirstLineY) / kLineStep;
    if (c >= graph1_.Curves.Count() || !graph1_.Curves[c] || CurveName(c).empty()) return -1;
    const TColor pen = graph1_.Curves[c]->Pen.Color();
    // The line of curve c stands in that row in the curve's colour, plain or
    // dimmed; the auxiliary readings' lines further right are in others.
    const int fontHeight = std::max(std::abs(graph1_.Font().Height()), 8);
    for (const TComment& comment : graph1_.Comments) {
        if (comment.Tag != 0 || comment.PosY != kFirstLineY + kLineStep * c) continue;
        if (comment.FontColor != pen && comment.FontColor != Dimmed(pen, boxColor_)) continue;
        // The text's width is not known here: an average glyph is taken as
        // six tenths of the font's height.
        const double width = 0.6 * fontHeight * static_cast<double>(comment.Text.size()) + 8;
        if (px >= comment.PosX && px <= comment.PosX + width) return c;
    }
    return -1;
}

void TKelViewSession::ToggleCurve(int index) {
    const std::string name = CurveName(index);
    if (name.empty() || index >= graph1_.Curves.Count() || !graph1_.Curves[index]) return;
    SetCurveHidden(name, !hiddenCurves_.Of(Mode()).contains(name));
}

void TKelViewSession::SetCurveHidden(const std::string& name, bool hidden) {
    const TUndoStep step(*this, TStepKind::User);
    THiddenCurves next = hiddenCurves_;
    if (hidden) next.Of(Mode()).insert(name);
    else next.Of(Mode()).erase(name);
    SetHiddenCurves(next);
}

void TKelViewSession::SetHiddenCurves(const THiddenCurves& hidden) {
    if (hidden == hiddenCurves_) return;
    hiddenCurves_ = hidden;
    const bool fitted = AxesShowAll();
    ApplyHiddenCurves();
    // Axes "Show all" fitted are fitted to the curves now shown; a view the
    // user chose stays.
    if (fitted && profile_.njm >= 1) {
        FitValueAxis(graph1_);
        if (Mode() != TPlotMode::Isotope) ShowView(AxesOf(graph1_));
        RecordView();
        MarkAxesShowAll();
    }
    Mark(chPlot);
    graph1_.Changed(this);
}

void TKelViewSession::MainGraphTool(int x0, int y0, int x1, int y1) {
    if (x0 == x1 && y0 == y1) {
        const int c = CurveOfResultLineAt(x0, y0);
        if (c >= 0) return ToggleCurve(c);
    }
    XYGraphBox1Tool(x0, x1);
}

void TKelViewSession::ApplyClockAxis() {
    const bool clock = clockTime_ && ClockTimeAvailable();
    double origin = std::numeric_limits<double>::quiet_NaN();
    if (clock) {
        const DateTimeParts p = DecodeDateTime(PointDateTime(0));
        origin = p.hour * 3600.0 + p.minute * 60.0 + p.second + p.millisecond / 1000.0;
    }
    const bool changed = std::isnan(origin) != std::isnan(graph1_.XClockOrigin) ||
                         (clock && origin != graph1_.XClockOrigin);
    graph1_.XClockOrigin = origin;
    graph1_.SetTitleBottom(clock ? "time of day" : "time [s]");
    if (changed) {
        Mark(chPlot);
        graph1_.Changed(this);
    }
}

void TKelViewSession::ClockTimeClick() {
    if (!ClockTimeAvailable()) return;
    clockTime_ = !clockTime_;
    Mark(chModes);
    ApplyClockAxis();
}

std::string TKelViewSession::WindowDataCsv() const {
    std::string out = "time [s],clock time";
    // Every named curve of the mode: the channels (not their total, which is
    // their sum), the compounds, or the D/H signals and ratio.
    std::vector<int> columns;
    const int count = Mode() == TPlotMode::Rate ? std::min(profile_.nim / 2, graph1_.Curves.Count())
                                                : graph1_.Curves.Count();
    for (int c = 0; c < count; ++c)
        if (graph1_.Curves[c] && !CurveName(c).empty()) columns.push_back(c);
    for (int c : columns) {
        out += ',';
        AppendCsvField(out, CurveName(c) + " [" + CurveUnit(c) + "]");
    }
    out += "\r\n";
    if (profile_.njm < 1) return out;
    auto [start, end] = SelectionToWindow(pointTime_);
    start = std::clamp(start, 0, profile_.njm - 1);
    end = std::clamp(end, 0, profile_.njm - 1);
    const double shift = TimeRange().first;
    for (int i = start; i <= end; ++i) {
        const double t = shift + i * pointTime_;
        if (std::isfinite(t)) out += FormatGeneral(t);
        out += ',' + PointClockText(i);
        for (int c : columns) {
            const TCurve* curve = graph1_.Curves[c];
            AppendNumber(out, curve && i < curve->Count ? curve->Y[static_cast<std::size_t>(i)]
                                                        : std::numeric_limits<double>::quiet_NaN());
        }
        out += "\r\n";
    }
    return out;
}

TIoResult TKelViewSession::ExportWindowData(const std::string& path) const {
    return ReplaceFileAtomically(path, WindowDataCsv());
}

void TKelViewSession::LoadCurveSettings(const SettingsStore& store) {
    THiddenCurves hidden = hiddenCurves_;
    for (TPlotMode mode : kModes) {
        const std::optional<std::string> names = store.FindString(kViewSection, HiddenName(mode));
        if (!names) continue;
        std::set<std::string>& set = hidden.Of(mode);
        set.clear();
        std::size_t from = 0;
        while (from < names->size()) {
            std::size_t to = names->find(kNameSeparator, from);
            if (to == std::string::npos) to = names->size();
            if (to > from) set.insert(names->substr(from, to - from));
            from = to + 1;
        }
    }
    SetHiddenCurves(hidden);
    const bool clock = store.ReadInteger(kViewSection, kClockTimeName, clockTime_ ? 1 : 0) != 0;
    if (clock != clockTime_) {
        clockTime_ = clock;
        Mark(chModes);
        ApplyClockAxis();
    }
}

void TKelViewSession::SaveCurveSettings(SettingsStore& store) const {
    for (TPlotMode mode : kModes) {
        std::string names;
        for (const std::string& name : hiddenCurves_.Of(mode)) {
            if (!names.empty()) names += kNameSeparator;
            names += name;
        }
        store.WriteString(kViewSection, HiddenName(mode), names);
    }
    store.WriteInteger(kViewSection, kClockTimeName, clockTime_ ? 1 : 0);
}

}  // namespace kel
