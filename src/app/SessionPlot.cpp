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
#include "kinetics/KineticsLibrary.h"
#include "plot/CurveColors.h"

namespace kel {

namespace {

constexpr std::int32_t kLegendTag = 0;
constexpr std::int32_t kInfoTag = 101;
constexpr std::uint16_t kAlignLeftTopBox = 256;
constexpr std::uint16_t kAlignRightTop = 258;
// R1 in ppm from Q * R3 - R2: 1e6 * 4 / 9.
constexpr double kIsotopeFactor = 4000000.0 / 9.0;

std::string Title(const TKel& k, const std::string& dateText) {
    return dateText + ", " + k.ion + ", " + k.reactant + ", " + k.comment + ", p=" + FormatFixed(k.p, 4, 3) +
           ", fc=" + FormatFixed(k.fc, 4, 1) + ", f1=" + FormatFixed(k.f1, 4, 3) + ", A=" +
           FormatFixed(k.Aft, 4, 1) + ", Tg=" + FormatFixed(k.Tg, 3, 0) + ", lr=" + FormatFixed(k.lr, 3, 1) +
           ", f6=" + FormatFixed(k.f6, 3, 1) + ", fscan=" + FormatFixed(k.FScan, 3, 1);
}

}  // namespace

TCorrectionState TKelViewSession::StartRun() {
    TCorrectionState state = StartCorrectionRun(correct_, FieldValue(TFieldId::feDeadT), Profile);
    DeadTime = state.DeadTime;
    return state;
}

void TKelViewSession::RefreshPlot() {
    Graph1.SetTitleLeft(PpbDown() ? "ppb" : "c/s");
    if (Profile.njm < 1) return;
    BuildPlot();
    Graph2.SetYScale(Graph1.YScale());
    Graph2.SetYmin(Graph1.Ymin());
    Graph2.SetYmax(Graph1.Ymax());
    RunWindowCalculation();
}

void TKelViewSession::RescaleY() {
    Graph1.AutoScaleY();
    if (Graph1.YScale() == scLin) Graph1.SetYmin(0);
    RefreshPlot();
}

std::pair<int, int> TKelViewSession::SelectionToWindow(double pointTime) const {
    double a = Selection[0], b = Selection[1];
    if (a > b) std::swap(a, b);
    if (a < 0) a = 0;
    if (pointTime == 0) return {0, 0};
    double shift = t0AtStart_ ? static_cast<double>(Profile.jm - Profile.njm) : 0.0;
    return {static_cast<int>(RoundHalfEvenToInt(a / pointTime - shift)),
            static_cast<int>(RoundHalfEvenToInt(b / pointTime - shift))};
}

void TKelViewSession::SetTimeAxis(int index) {
    int njm = Profile.njm;
    double x0 = 0, x1 = (njm - 1) * PointTime;
    if (t0AtStart_) {
        x0 = (Profile.jm - njm) * PointTime;
        x1 = (Profile.jm - 1) * PointTime;
    }
    Graph1.SetCurveX(index, njm, x0, x1);
}

void TKelViewSession::AddLegendLine(int line, const std::string& text, TColor color) {
    Graph1.AddComment(kLegendTag, text, 80, 50 + 20 * line, kAlignLeftTopBox, color, BoxColor, 0);
}

void TKelViewSession::AddCurve(int index, TColor color, int width) {
    SetTimeAxis(index);
    Graph1.SetCurveStyle(index, csLine);
    TPen& pen = Graph1.CurvePen(index);
    pen.SetColor(color);
    pen.SetWidth(width);
}

void TKelViewSession::BuildPlot() {
    TCorrectionState corrections = StartRun();
    Graph1.SetTitleTop(Title(Profile, dateFormatter_->DateTimeText(Profile.ProfileDate)));
    if (Profile.njm == 0) return;
    Graph1.Curves.Clear();
    Graph2.Curves.Clear();
    Graph1.DeleteComments(kLegendTag);
    Graph2.DeleteComments(kLegendTag);
    PointTime = CycleTime(Profile);
    TotalTime = (Profile.njm - 1) * PointTime;
    auto [start, end] = SelectionToWindow(PointTime);
    if (end == 0) end = Profile.njm - 1;

    // Curves and legend lines first, values last, as the values may fail.
    int nIons = Profile.nim / 2;
    TPlotMode mode = Mode();
    if (mode == TPlotMode::Rate) {
        for (int k = 0; k < nIons; ++k) {
            AddCurve(k, CurveColor(k), 1);
            AddLegendLine(k, Profile.Name[static_cast<std::size_t>(2 * k + 1)], CurveColor(k));
        }
        AddCurve(nIons, CurveColor(13), 1);
        AddLegendLine(nIons, "(total)", CurveColor(13));
    } else if (mode == TPlotMode::Ppb) {
        const TKbase& library = KineticsLibrary();
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
            AddLegendLine(h, Profile.Name[static_cast<std::size_t>(nIons * h + 1)], CurveColor(h));
        }
        Graph1.EnsureCurve(2);  // exists without points
        AddCurve(3, CurveColor(6), 3);
    }

    if (!t0AtStart_) {
        if (Graph1.xmin() < 0) Graph1.Setxmin(0);
        if (TotalTime < Graph1.xmax()) Graph1.Setxmax(TotalTime);
    }
    Graph1.SetTitleBottom("time [s]");

    // Flow-tube values no instrument produces would make every later
    // quantity meaningless; the title above still shows what was stored.
    if (!(static_cast<double>(Profile.p) > 0) || Profile.p > 100) Profile.p = 0.5;
    if (Profile.fc < 0 || Profile.fc > 400) Profile.fc = 150;

    InfoText = "Id=" + FormatFixed(Profile.f4, 1, 1) + ":" + FormatFixed(Profile.f5, 1, 1) + "pA " + " fr=" +
               FormatFixed(Profile.f1, 5, 2) + " t=" + FormatFixed(ReactionTime(Profile) * 1000, 5, 2) + "ms" +
               " st=" + FormatFixed(PointTime, 5, 2) + "s" + " Df(73)=" +
               FormatFixed(CorrectedValue(Profile, corrections, 1.0, 73), 5, 2) + " Df(100)=" +
               FormatFixed(CorrectedValue(Profile, corrections, 1.0, 100), 5, 2);
    Graph1.DeleteComments(kInfoTag);
    Graph1.AddComment(kInfoTag, InfoText, Graph1.PlotRect.right - 10, Graph1.PlotRect.top + 8, kAlignRightTop,
                      clBlue, 0, 0);

    if (mode == TPlotMode::Rate)
        BuildCountRateCurves(corrections);
    else if (mode == TPlotMode::Ppb)
        BuildPpbCurves(corrections);
    else
        BuildIsotopeCurves(start, end);
}

void TKelViewSession::BuildCountRateCurves(const TCorrectionState& corrections) {
    int njm = Profile.njm, nIons = Profile.nim / 2;
    TotalRates.assign(static_cast<std::size_t>(njm), 0.0);
    series_.assign(static_cast<std::size_t>(njm) + 1, 0.0);
    std::vector<int> slots(static_cast<std::size_t>(njm));  // found once for all channels
    for (int i = 0; i < njm; ++i) slots[static_cast<std::size_t>(i)] = SlotOfPoint(Profile, i);
    const double deadTime = DeadTime;
    for (int k = 0; k < nIons; ++k) {
        double mass = Profile.IonMass[static_cast<std::size_t>(k)];
        TRateCorrection correction = CorrectionFor(Profile, corrections, mass);
        TChannelRates channel(Profile, k);
        for (int i = 0; i < njm; ++i) {
            double rate = correction.Apply(DeadTimeCorrect(channel.At(slots[static_cast<std::size_t>(i)]), deadTime));
            series_[static_cast<std::size_t>(i)] = rate;
            TotalRates[static_cast<std::size_t>(i)] += rate;
        }
        Graph1.SetCurveY(k, series_.data(), njm);
    }
    Graph1.SetCurveY(nIons, TotalRates.data(), njm);
}

void TKelViewSession::BuildPpbCurves(const TCorrectionState& corrections) {
    const TKbase& library = KineticsLibrary();
    TLineRates lines(Profile, 0);  // compounds of one precursor ion share its line
    int c = 0;
    for (int i = 0; i < library.Count(); ++i) {
        const TKrecord& compound = library.Compound(i);
        if (compound.SelectCount == 0) continue;
        ConcentrationSeries(lines, corrections, compound, series_);
        Graph1.SetCurveY(c++, series_.data(), Profile.njm);
    }
}

void TKelViewSession::BuildIsotopeCurves(int start, int end) {
    int njm = Profile.njm;
    int groupSize = Profile.nim / 4;
    int idRow = AuxRowOfName(Profile, "pA");
    auto rate = [&](int channel, int slot) { return DeadTimeCorrect(RateAt(Profile, channel, slot), DeadTime); };
    auto groupMean = [&](int h, int slot) {
        if (groupSize == 0) return 0.0;
        double sum = 0;
        for (int u = 0; u < groupSize; ++u) sum += rate(h * groupSize + u, slot);
        return sum / groupSize;
    };
    const double b74 = FieldValue(TFieldId::feb74), b75 = FieldValue(TFieldId::feb75);
    const double r2 = FieldValue(TFieldId::feR2), r3 = FieldValue(TFieldId::feR3);
    const double liq = FieldValue(TFieldId::feliq);
    series_.assign(static_cast<std::size_t>(njm) + 1, 0.0);
    for (int h = 0; h < 2; ++h) {
        for (int i = 0; i < njm; ++i) {
            int s = SlotOfPoint(Profile, i);
            double value = groupMean(h, s);
            if (normId_ && idRow >= 0) {
                double id = Profile.Counts[static_cast<std::size_t>(idRow)][static_cast<std::size_t>(s)];
                if (id != 0) value = value * 1000 / id;
            }
            series_[static_cast<std::size_t>(i)] = value;
        }
        Graph1.SetCurveY(h, series_.data(), njm);
    }
    for (int i = 0; i < njm; ++i) {
        int s = SlotOfPoint(Profile, i);
        double a = groupMean(0, s) - b74, b = groupMean(1, s) - b75;
        series_[static_cast<std::size_t>(i)] =
            b != 0 ? CheckedDivide((CheckedDivide(a, b) * r3 - r2) * kIsotopeFactor, liq) : 0.0;
    }
    Graph1.SetCurveY(3, series_.data(), njm);

    // The side graph: window means of each channel of the two groups.
    int first = std::clamp(start, 0, njm - 1), last = std::clamp(end, 0, njm - 1);
    double points = last - first + 1;
    for (int h = 0; h < 2; ++h) {
        Graph2.SetCurveX(h, groupSize, -0.2, 0.1);
        Graph2.SetCurveStyle(h, csLine);
        Graph2.CurvePen(h).SetColor(CurveColor(h));
        Graph2.CurvePen(h).SetWidth(1);
        for (int u = 0; u < groupSize && u < static_cast<int>(IonAverages.size()); ++u) {
            double sum = 0;
            for (int j = first; j <= last; ++j) sum += rate(h * groupSize + u, SlotOfPoint(Profile, j));
            IonAverages[static_cast<std::size_t>(u)] = points > 0 ? sum / points : 0;
        }
        Graph2.SetCurveY(h, IonAverages.data(), std::min(groupSize, static_cast<int>(IonAverages.size())));
        Graph2.Setxmin(-0.3);
        Graph2.Setxmax(0.2);
    }
}

TWindowInputs TKelViewSession::WindowInputs(const TCorrectionState& corrections) const {
    TWindowInputs in;
    in.profile = &Profile;
    in.library = &KineticsLibrary();
    in.mode = Mode();
    in.corrections = corrections;
    auto [start, end] = SelectionToWindow(CycleTime(Profile));
    in.start = start;
    in.end = end;
    in.sensitMode = SensitMode;
    in.isotope = {FieldValue(TFieldId::feR2), FieldValue(TFieldId::feR3), FieldValue(TFieldId::feb74),
                  FieldValue(TFieldId::feb75), FieldValue(TFieldId::feliq)};
    in.fileNameField = edFileName;
    in.graphWidth = Graph1.Width();
    return in;
}

void TKelViewSession::RunWindowCalculation() {
    TWindowRun run;
    if (Mode() == TPlotMode::Ppb) {
        intermediateSource_.reset();
        intermediateText_.clear();
    }
    try {
        TCorrectionState corrections = StartRun();
        Graph1.DeleteComments(kLegendTag);
        TWindowInputs inputs = WindowInputs(corrections);
        inputs.withIntermediate = false;
        run = kel::RunWindowCalculation(inputs);
        if (Mode() == TPlotMode::Ppb)
            intermediateSource_.reset(new TIntermediateSource{Profile, KineticsLibrary(), inputs});
    } catch (const EKelError& e) {
        // Setting up the run failed before any line was placed.
        run.error = e.what();
        run.lines.push_back({"Exception was " + run.error, 50, 250, RGBColor(255, 0, 0), TLineBox::None, 0});
    }
    for (const TResultLine& line : run.lines) {
        TColor box = line.box == TLineBox::GraphBox ? BoxColor : line.box == TLineBox::White ? clWhite : 0;
        Graph1.AddComment(kLegendTag, line.text, line.x, line.y, kAlignLeftTopBox, line.color, box, line.style);
    }
    if (Mode() == TPlotMode::Ppb) {
        CompoundResults = std::move(run.compounds);
    }
    if (Mode() == TPlotMode::Isotope) IsotopeSums = std::move(run.isotope);
    Graph1.Changed(this);
    if (run.ok() && keepLog_) btLogResultsClick();
}

const std::vector<std::string>& TKelViewSession::IntermediateResults() const {
    if (intermediateSource_) {
        TIntermediateSource& source = *intermediateSource_;
        source.inputs.profile = &source.profile;
        source.inputs.library = &source.library;
        source.inputs.withIntermediate = true;
        intermediateText_ = kel::RunWindowCalculation(source.inputs).intermediate;
        intermediateSource_.reset();
    }
    return intermediateText_;
}

// --- Plot commands ---------------------------------------------------------

void TKelViewSession::ShowAllClick() {
    expand_ = false;
    Graph1.Setxmin(0);
    Graph1.Setxmax(TotalTime);
    RescaleY();
}

void TKelViewSession::ExpandClick() {
    expand_ = true;
    Graph1.Setxmin(Selection[0]);
    Graph1.Setxmax(Selection[1]);
    RescaleY();
}

void TKelViewSession::btnExpandClick() {
    if (!expand_)
        ExpandClick();
    else
        ShowAllClick();
}

void TKelViewSession::SelectAllClick() {
    expand_ = false;
    Graph1.Setxmin(0);
    Graph1.Setxmax(TotalTime);
    Selection = {0, TotalTime};
    RescaleY();
}

void TKelViewSession::LogplotCtrlEnter1Click() {
    Graph1.SetYScale(Graph1.YScale() == scLog10 ? scLin : scLog10);
    logPlot_ = logButton_ = Graph1.YScale() == scLog10;
    Graph2.SetYScale(Graph1.YScale());
    RescaleY();
}

void TKelViewSession::AxesChanged() { logButton_ = Graph1.YScale() == scLog10; }

void TKelViewSession::UpdateComments() {
    Profile.ion = edIon;
    Profile.reactant = edSample;
    Profile.comment = edComment;
    Profile.FileName = edFileName;
    BuildPlot();
}

void TKelViewSession::XYGraphBox1Tool(int x0, int x1) {
    expand_ = false;
    Selection[0] = Graph1.PixelToX(x0);
    Selection[1] = Graph1.PixelToX(x1);
    if (IsotopeDown()) BuildPlot();
    RunWindowCalculation();
}

}  // namespace kel
