// The profile plot of the session: building the curves of the mode, the
// title and info lines, the time axis, and the plot commands.
#include <algorithm>
#include <cmath>

#include "app/KelViewSession.h"
#include "common/Errors.h"
#include "common/NumberText.h"
#include "common/SafeMath.h"
#include "kinetics/Concentration.h"
#include "kinetics/CountAccess.h"
#include "kinetics/FlowTube.h"
#include "kinetics/IntermediateText.h"
#include "kinetics/IsotopeRatio.h"
#include "kinetics/WindowMeans.h"
#include "plot/CurveColors.h"

namespace kel {

namespace {

constexpr std::int32_t kLegendTag = 0;
constexpr std::int32_t kInfoTag = 101;
constexpr std::uint16_t kAlignLeftTopBox = 256;
constexpr std::uint16_t kAlignRightTop = 258;

std::string Title(const TKel& k, const std::string& dateText) {
    return dateText + ", " + k.ion + ", " + k.reactant + ", " + k.comment + ", p=" + FormatFixed(k.p, 4, 3) +
           ", fc=" + FormatFixed(k.fc, 4, 1) + ", f1=" + FormatFixed(k.f1, 4, 3) + ", A=" +
           FormatFixed(k.Aft, 4, 1) + ", Tg=" + FormatFixed(k.Tg, 3, 0) + ", lr=" + FormatFixed(k.lr, 3, 1) +
           ", f6=" + FormatFixed(k.f6, 3, 1) + ", fscan=" + FormatFixed(k.FScan, 3, 1);
}

}  // namespace

TCorrectionState TKelViewSession::StartRun() {
    TCorrectionState state = StartCorrectionRun(correct_, FieldValue(TFieldId::feDeadT), profile_);
    deadTime_ = state.DeadTime;
    return state;
}

void TKelViewSession::RefreshPlot() {
    std::string unit = PpbDown() ? "ppb" : "c/s";
    graph1_.SetTitleLeft(unit);
    if (profile_.njm < 1) return;
    BuildPlot();
    // In D/H mode the plot build has fitted the side graph to its own curves.
    if (Mode() != TPlotMode::Isotope) {
        graph2_.SetYScale(graph1_.YScale());
        graph2_.SetYmin(graph1_.Ymin());
        graph2_.SetYmax(graph1_.Ymax());
    }
    RunWindowCalculation();
}

void TKelViewSession::FitValueAxis(TXYGraph& graph) {
    graph.AutoScaleY();
    if (graph.YScale() == scLin) graph.SetYmin(0);
}

void TKelViewSession::RescaleY() {
    // Refitting the values keeps the axes "Show all" made while the time
    // axis is still the one it fitted.
    const TAxesState before = AxesOf(graph1_);
    const bool showingAll =
        shownAll_ && shownAll_->xmin == before.xmin && shownAll_->xmax == before.xmax && shownAll_->XLog == before.XLog;
    FitValueAxis(graph1_);
    RefreshPlot();
    if (showingAll) MarkAxesShowAll();
}

void TKelViewSession::FitSideGraph() {
    // The side graph's single ions lie above and below their group averages,
    // which the main graph's range is made for: on that range they would run
    // off its edges.
    graph2_.SetYScale(graph1_.YScale());
    FitValueAxis(graph2_);
}

std::pair<int, int> TKelViewSession::SelectionToWindow(double pointTime) const {
    const auto [s0, s1] = SelectionInProfile(pointTime);
    return TimeWindowOfSelection(s0, s1, pointTime, TimeShiftPoints());
}

std::array<double, 2> TKelViewSession::SelectionInProfile(double pointTime) const {
    // The window's work goes point by point up to its end, and points past
    // the last one would read the oldest again: a drag past the graph, or a
    // typed 1e20, ends at the last point. The start needs no limit, as the
    // window never begins before the first point.
    if (profile_.njm < 1 || !(pointTime > 0)) return selection_;
    const double last = (TimeShiftPoints() + profile_.njm - 1) * pointTime;
    return {std::min(selection_[0], last), std::min(selection_[1], last)};
}

double TKelViewSession::TimeShiftPoints() const {
    return t0AtStart_ ? static_cast<double>(profile_.jm - profile_.njm) : 0.0;
}

std::pair<double, double> TKelViewSession::TimeRange() const {
    const int njm = profile_.njm;
    if (!t0AtStart_) return {0.0, (njm - 1) * pointTime_};
    return {(profile_.jm - njm) * pointTime_, (profile_.jm - 1) * pointTime_};
}

bool TKelViewSession::SelectionMeetsCurves() const {
    const auto [x0, x1] = TimeRange();
    return std::min(selection_[0], selection_[1]) <= x1 && std::max(selection_[0], selection_[1]) >= x0;
}

bool TKelViewSession::AxisMeetsCurves() const {
    const auto [x0, x1] = TimeRange();
    const double lo = std::min(graph1_.xmin(), graph1_.xmax()), hi = std::max(graph1_.xmin(), graph1_.xmax());
    // A single instant (one point, or no dwell) is met where the axis holds it.
    return x0 == x1 ? lo <= x0 && x0 <= hi : lo < x1 && hi > x0;
}

void TKelViewSession::SetTimeAxis(int index) {
    const auto [x0, x1] = TimeRange();
    graph1_.SetCurveX(index, profile_.njm, x0, x1);
}

void TKelViewSession::AddLegendLine(int line, const std::string& text, TColor color) {
    graph1_.AddComment(kLegendTag, text, 80, 50 + 20 * line, kAlignLeftTopBox, color, boxColor_, 0);
    // The legend line of each curve has the curve's index; the values under
    // the cursor name the curves by it.
    if (curveLabels_.size() <= static_cast<std::size_t>(line)) curveLabels_.resize(static_cast<std::size_t>(line) + 1);
    curveLabels_[static_cast<std::size_t>(line)] = text;
}

void TKelViewSession::AddCurve(int index, TColor color, int width) {
    SetTimeAxis(index);
    graph1_.SetCurveStyle(index, csLine);
    TPen& pen = graph1_.CurvePen(index);
    pen.SetColor(color);
    pen.SetWidth(width);
}

void TKelViewSession::BuildPlot() {
    TCorrectionState corrections = StartRun();
    graph1_.SetTitleTop(Title(profile_, dateFormatter_->DateTimeText(profile_.ProfileDate)));
    if (profile_.njm == 0) return;
    graph1_.ClearCurves();
    graph2_.ClearCurves();
    curveLabels_.clear();
    graph1_.DeleteComments(kLegendTag);
    graph2_.DeleteComments(kLegendTag);
    pointTime_ = CycleTime(profile_);
    totalTime_ = (profile_.njm - 1) * pointTime_;
    auto [start, end] = SelectionToWindow(pointTime_);
    if (end == 0) end = profile_.njm - 1;

    // Curves and legend lines first, values last, as the values may fail.
    int nIons = profile_.nim / 2;
    TPlotMode mode = Mode();
    if (mode == TPlotMode::Rate) {
        for (int k = 0; k < nIons; ++k) {
            AddCurve(k, CurveColor(k), 1);
            AddLegendLine(k, profile_.Name[static_cast<std::size_t>(2 * k + 1)], CurveColor(k));
        }
        AddCurve(nIons, CurveColor(13), 1);
        AddLegendLine(nIons, "(total)", CurveColor(13));
    } else if (mode == TPlotMode::Ppb) {
        const TKbase& library = Library();
        int c = 0;
        for (int i = 0; i < library.Count(); ++i) {
            const TKrecord& compound = library.Compound(i);
            if (compound.SelectCount == 0) continue;
            AddCurve(c, CurveColor(c), 1);
            AddLegendLine(c, compound.Name, CurveColor(c));
            ++c;
        }
    } else {
        for (int h = 0; h < 2; ++h) {
            AddCurve(h, normId_ ? CurveColor(h + 10) : CurveColor(h), 1);
            AddLegendLine(h, profile_.Name[static_cast<std::size_t>(nIons * h + 1)], CurveColor(h));
        }
        graph1_.EnsureCurve(2);  // exists without points
        AddCurve(3, CurveColor(6), 3);
    }

    if (!t0AtStart_) {
        if (graph1_.xmin() < 0) graph1_.Setxmin(0);
        if (totalTime_ < graph1_.xmax()) graph1_.Setxmax(totalTime_);
    }
    graph1_.SetTitleBottom("time [s]");
    ApplyClockAxis();
    ApplyHiddenCurves();

    // Flow-tube values no instrument produces would make every later
    // quantity meaningless; the title above still shows what was stored.
    if (!(static_cast<double>(profile_.p) > 0) || profile_.p > 100) profile_.p = 0.5;
    if (profile_.fc < 0 || profile_.fc > 400) profile_.fc = 150;

    std::string info = "Id=" + FormatFixed(profile_.f4, 1, 1) + ":" + FormatFixed(profile_.f5, 1, 1) + "pA " + " fr=" +
               FormatFixed(profile_.f1, 5, 2) + " t=" + FormatFixed(ReactionTime(profile_) * 1000, 5, 2) + "ms" +
               " st=" + FormatFixed(pointTime_, 5, 2) + "s" + " Df(73)=" +
               FormatFixed(CorrectedValue(profile_, corrections, 1.0, 73), 5, 2) + " Df(100)=" +
               FormatFixed(CorrectedValue(profile_, corrections, 1.0, 100), 5, 2);
    Change(infoText_, std::move(info), chResults);
    graph1_.DeleteComments(kInfoTag);
    graph1_.AddComment(kInfoTag, infoText_, 0, 0, kAlignRightTop, clBlue, 0, 0);
    PlaceInfoLine();

    if (mode == TPlotMode::Rate)
        BuildCountRateCurves(corrections);
    else if (mode == TPlotMode::Ppb)
        BuildPpbCurves(corrections);
    else
        BuildIsotopeCurves(start, end);
}

void TKelViewSession::BuildPlotKeepingResults() {
    std::vector<TComment> results;
    for (const TComment& comment : graph1_.Comments)
        if (comment.Tag == kLegendTag) results.push_back(comment);
    // Also when the rebuild fails part way: its legend lines would read as
    // results lost.
    struct Restore {
        TXYGraph& graph;
        std::vector<TComment>& results;
        ~Restore() {
            if (results.empty()) return;  // no calculation yet: the legend stands
            graph.DeleteComments(kLegendTag);
            graph.Comments.insert(graph.Comments.end(), results.begin(), results.end());
            graph.Changed(&graph);
        }
    } restore{graph1_, results};
    BuildPlot();
}

void TKelViewSession::BuildCountRateCurves(const TCorrectionState& corrections) {
    int njm = profile_.njm, nIons = profile_.nim / 2;
    totalRates_.assign(static_cast<std::size_t>(njm), 0.0);
    TLineRates lines(profile_, 0);
    for (int k = 0; k < nIons; ++k) {
        double mass = profile_.IonMass[static_cast<std::size_t>(k)];
        const TLineRates::TLine& line = lines.Line(k, CorrectionFor(profile_, corrections, mass), deadTime_);
        // The total holds the points before a failing one, as a curve built
        // point by point would leave it.
        for (std::size_t i = 0; i < line.FailedAt; ++i) totalRates_[i] += line.Rates[i];
        if (line.Failure) std::rethrow_exception(line.Failure);
        graph1_.SetCurveY(k, line.Rates.data(), njm);
    }
    graph1_.SetCurveY(nIons, totalRates_.data(), njm);
}

void TKelViewSession::BuildPpbCurves(const TCorrectionState& corrections) {
    const TKbase& library = Library();
    TLineRates lines(profile_, 0);  // compounds of one precursor ion share its line
    int c = 0;
    for (int i = 0; i < library.Count(); ++i) {
        const TKrecord& compound = library.Compound(i);
        if (compound.SelectCount == 0) continue;
        ConcentrationSeries(lines, corrections, compound, series_);
        graph1_.SetCurveY(c++, series_.data(), profile_.njm);
    }
}

void TKelViewSession::BuildIsotopeCurves(int start, int end) {
    int njm = profile_.njm;
    int groupSize = profile_.nim / 4;
    int idRow = AuxRowOfName(profile_, "pA");
    auto rate = [&](int channel, int slot) { return TChannelRates(profile_, channel).Read(slot, deadTime_).rate; };
    auto groupMean = [&](int h, int slot) {
        if (groupSize == 0) return 0.0;
        double sum = 0;
        for (int u = 0; u < groupSize; ++u) sum += rate(h * groupSize + u, slot);
        return sum / groupSize;
    };
    const TIsotopeParams isotope = IsotopeParams();
    series_.assign(static_cast<std::size_t>(njm) + 1, 0.0);
    for (int h = 0; h < 2; ++h) {
        for (int i = 0; i < njm; ++i) {
            int s = SlotOfPoint(profile_, i);
            double value = groupMean(h, s);
            if (normId_ && idRow >= 0) {
                double id = profile_.Counts[static_cast<std::size_t>(idRow)][static_cast<std::size_t>(s)];
                if (id != 0) value = value * 1000 / id;
            }
            series_[static_cast<std::size_t>(i)] = value;
        }
        graph1_.SetCurveY(h, series_.data(), njm);
    }
    for (int i = 0; i < njm; ++i) {
        int s = SlotOfPoint(profile_, i);
        double a = groupMean(0, s) - isotope.b74, b = groupMean(1, s) - isotope.b75;
        series_[static_cast<std::size_t>(i)] =
            b != 0 ? CheckedDivide(R1VapourOf(CheckedDivide(a, b), isotope), isotope.liq) : 0.0;
    }
    graph1_.SetCurveY(3, series_.data(), njm);

    // The side graph: window means of each channel of the two groups.
    int first = std::clamp(start, 0, njm - 1), last = std::clamp(end, 0, njm - 1);
    double points = last - first + 1;
    for (int h = 0; h < 2; ++h) {
        graph2_.SetCurveX(h, groupSize, -0.2, 0.1);
        graph2_.SetCurveStyle(h, csLine);
        graph2_.CurvePen(h).SetColor(CurveColor(h));
        graph2_.CurvePen(h).SetWidth(1);
        for (int u = 0; u < groupSize && u < static_cast<int>(ionAverages_.size()); ++u) {
            double sum = ChannelWindow(profile_, deadTime_, h * groupSize + u, first, last).PlainSum;
            ionAverages_[static_cast<std::size_t>(u)] = points > 0 ? sum / points : 0;
        }
        graph2_.SetCurveY(h, ionAverages_.data(), std::min(groupSize, static_cast<int>(ionAverages_.size())));
        graph2_.Setxmin(-0.3);
        graph2_.Setxmax(0.2);
    }
    FitSideGraph();  // a drag changes the averages without a refresh
}

TIsotopeParams TKelViewSession::IsotopeParams() const {
    return {FieldValue(TFieldId::feR2), FieldValue(TFieldId::feR3), FieldValue(TFieldId::feb74),
            FieldValue(TFieldId::feb75), FieldValue(TFieldId::feliq)};
}

TWindowInputs TKelViewSession::WindowInputs(const TCorrectionState& corrections) const {
    TWindowInputs in;
    in.profile = &profile_;
    in.library = &Library();
    in.mode = Mode();
    in.corrections = corrections;
    auto [start, end] = SelectionToWindow(CycleTime(profile_));
    in.start = start;
    in.end = end;
    in.sensitMode = sensitMode_;
    in.isotope = IsotopeParams();
    in.fileNameField = texts_.FileName;
    in.graphWidth = graph1_.Width();
    return in;
}

void TKelViewSession::SetLastRun(TWindowRun&& run) {
    lastRun_ = std::make_shared<const TWindowRun>(std::move(run));
    Mark(chResults);
}

void TKelViewSession::ForgetIntermediateText() {
    intermediateSource_.reset();
    intermediateText_.clear();
    Mark(chResults);
}

void TKelViewSession::RunWindowCalculation() {
    TWindowRun run;
    if (Mode() == TPlotMode::Ppb) {
        ForgetIntermediateText();
        intermediateRun_.reset();
    }
    try {
        TCorrectionState corrections = StartRun();
        graph1_.DeleteComments(kLegendTag);
        TWindowInputs inputs = WindowInputs(corrections);
        inputs.withIntermediate = false;
        run = kel::RunWindowCalculation(inputs);
        if (Mode() == TPlotMode::Ppb) intermediateSource_ = intermediateRun_ = run.intermediateText;
    } catch (const EKelError& e) {
        // Setting up the run failed before any line was placed.
        run.error = e.what();
        run.lines.push_back({"Exception was " + run.error, 50, 250, RGBColor(255, 0, 0), TLineBox::None, 0});
    }
    for (const TResultLine& line : run.lines) {
        TColor box = line.box == TLineBox::GraphBox ? boxColor_ : line.box == TLineBox::White ? clWhite : 0;
        graph1_.AddComment(kLegendTag, line.text, line.x, line.y, kAlignLeftTopBox, line.color, box, line.style);
    }
    if (Mode() == TPlotMode::Ppb) {
        compoundResults_ = run.compounds;
    }
    if (Mode() == TPlotMode::Isotope) isotopeSums_ = run.isotope;
    bool ran = run.ok();
    run.lines.clear();  // the graph holds them
    run.intermediateText.reset();
    SetLastRun(std::move(run));
    ApplyHiddenCurves();  // the new result lines of hidden curves are dimmed
    graph1_.Changed(this);
    // "<" logs what the user asks for, not every cycle of a followed file.
    if (ran && keepLog_ && !following_ && !restoring_) btLogResultsClick();
}

const std::string& TKelViewSession::WindowError() const {
    static const std::string none;
    return lastRun_ ? lastRun_->error : none;
}

const std::vector<TChannelResult>& TKelViewSession::ChannelResults() const {
    static const std::vector<TChannelResult> none;
    return lastRun_ ? lastRun_->channels : none;
}

const std::vector<std::string>& TKelViewSession::IntermediateResults() const {
    if (intermediateSource_) {
        intermediateText_ = intermediateSource_->Compose();
        intermediateSource_.reset();
    }
    return intermediateText_;
}

void TKelViewSession::PlaceInfoLine() {
    for (TComment& comment : graph1_.Comments) {
        if (comment.Tag != kInfoTag) continue;
        comment.PosX = graph1_.PlotRect.right - 10;
        comment.PosY = graph1_.PlotRect.top + 8;
    }
}

void TKelViewSession::MainGraphResized() {
    // The info line sits at pixels of the plot's top right corner, which a
    // new size moves; nothing else of the plot depends on the size.
    PlaceInfoLine();
    graph1_.Changed(this);
}

std::string TKelViewSession::GraphDescription() const {
    std::string text = graph1_.TitleTop();
    for (const TComment& comment : graph1_.Comments)
        if (comment.Tag == kLegendTag) text += '\n' + comment.Text;
    return text;
}

}  // namespace kel
