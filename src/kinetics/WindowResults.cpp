#include "kinetics/WindowResults.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <string>

#include "common/Errors.h"
#include "common/NumberText.h"
#include "common/SafeMath.h"
#include "kinetics/Concentration.h"
#include "kinetics/FlowTube.h"
#include "kinetics/IntermediateText.h"
#include "kinetics/IsotopeRatio.h"
#include "kinetics/RateText.h"
#include "kinetics/WindowMeans.h"
#include "plot/CurveColors.h"

namespace kel {

std::pair<int, int> TimeWindowOfSelection(double s0, double s1, double pointTime, double shiftPoints) {
    if (s0 > s1) std::swap(s0, s1);
    if (pointTime == 0) return {0, 0};
    // The start is held at the first point after the shift: on the shifted
    // axis of "Time 0 at start" the first points lie at negative times.
    const long long start = RoundHalfEvenToInt(s0 / pointTime - shiftPoints);
    const long long end = RoundHalfEvenToInt(s1 / pointTime - shiftPoints);
    return {static_cast<int>(std::max(0LL, start)), static_cast<int>(end)};
}

namespace {

constexpr TColor kExceptionColor = RGBColor(255, 0, 0);

TResultLine Line(std::string text, int x, int y, TColor color) {
    return {std::move(text), x, y, color, TLineBox::GraphBox, 0};
}

// Count-rate mode: per channel the corrected window mean with its scatter,
// counting error and dwell in the window, then the total and the window.
void AddRateLines(const TWindowInputs& in, TWindowRun& run) {
    const TKel& kel = *in.profile;
    int channels = IonChannelCount(kel);
    int points = std::max(in.end - in.start + 1, 0);
    double total = 0;
    for (int c = 0; c < channels; ++c) {
        auto row = static_cast<std::size_t>(2 * c + 1);
        TChannelWindow window = ChannelWindow(kel, in.corrections.DeadTime, c, in.start, in.end);
        TChannelResult r;
        r.Name = kel.Name[row];
        r.Mass = kel.IonMass[static_cast<std::size_t>(c)];
        r.MeanRate = CorrectedValue(kel, in.corrections, window.MeanRate, r.Mass);
        r.CountSum = window.CountSum;
        r.CountingError = CheckedDivide(CheckedFinite(std::sqrt(r.CountSum)) * 100, r.CountSum + 0.001);
        r.RelStdDev = RelativeStandardError(window.PlainSum, window.PlainSquares, window.Points);
        r.Dwell = CheckedDivide(static_cast<double>(kel.Cntm[row]) * points, kel.FScan);
        r.Points = window.Points;
        run.lines.push_back(Line(Labelled(r.Name, FormatRate(r.MeanRate)) + "±" + FormatFixed(r.RelStdDev, 1, 0) + "%, ~" +
                                     FormatFixed(r.CountingError, 1, 0) + "% (" + FormatFixed(r.Dwell, 3, 3) + "s)",
                                 80, 50 + 20 * c, CurveColor(c)));
        total += r.MeanRate;
        run.channels.push_back(std::move(r));
    }
    run.totalRate = total;
    run.lines.push_back(Line(Labelled("(total)", FormatFixed(total, 6, 0)), 80, 50 + 20 * channels, CurveColor(13)));
    run.lines.push_back(Line("(njm, jm, jm1, jm2)" + FormatFixed(kel.njm, 3, 0) + FormatFixed(kel.jm, 3, 0) +
                                 FormatFixed(in.start, 3, 0) + FormatFixed(in.end, 3, 0),
                             80, 70 + 20 * channels, CurveColor(13)));
}

// The compound's densities point by point (into the intermediate results),
// their mean and scatter, and, for a positive mean, the whole-window figures.
// An error at a point ends the compound there, after the lines of the points
// before it.
TCompoundResult QuantifyCompound(const TWindowInputs& in, const TKrecord& compound, double reactionTime,
                                 TWindowLines& window, TIntermediateText& text) {
    const TKel& kel = *in.profile;
    TCompoundResult result;
    result.Name = compound.Name;
    result.Formula = compound.Formula;
    text.AddLine(compound.Name + "\t(" + compound.Formula + ")");
    TWindowPlan plan = PlanWindow(kel, in.corrections, compound);
    TDensitySeries series = DensitySeries(text.Lines(), plan, [reactionTime] { return reactionTime; });
    text.AddPoints(kel, plan, reactionTime, series.Results.size());
    double u = 0, q = 0;
    int n = 0;
    for (const TDensityResult& point : series.Results) {
        u += point.Density;
        q += point.Density * point.Density;
        ++n;
    }
    if (series.Failure) std::rethrow_exception(series.Failure);
    result.MeanDensity = n >= 1 ? u / n : 0;
    result.RelStdDev = RelativeStandardError(u, q, n);
    if (!(result.MeanDensity > 0)) return result;

    result.Ppb = DensityToPpb(result.MeanDensity, FlowFactor(kel), kel.f1);
    text.AddLine("ppb_" + compound.Name + "\t" + FormatPattern("0.0", result.Ppb));
    text.AddLine("  ");
    TWindowArrays arrays;
    window.Fill(plan, arrays);
    result.WeightedProductRate =
        ComputeDensity(plan.PrecursorCount, plan.ProductCount, arrays, reactionTime).WeightedProductRate;
    result.CountingError = RelativePoissonError(arrays, plan.ProductCount);
    result.ProductCountSum = ProductCountSum(arrays, plan.ProductCount);
    result.Mol = AmountMol(in.start, in.end, result.Ppb, kel.f1, CycleTime(kel));
    return result;
}

// The sensitivity figure the options ask for, as appended to a compound line.
std::string SensitivityText(const TCompoundResult& r, int sensitMode, int points) {
    if (sensitMode < 0 || sensitMode > 3) return "";
    static constexpr const char* kBefore[] = {" (", " (", " (LOD=", " (LOD1="};
    static constexpr const char* kAfter[] = {" cps/ppb)", " ppb/cps)", " ppb)", " ppb)"};
    return kBefore[sensitMode] + FormatPattern("0.00", SensitivityFigure(r, sensitMode, points)) + kAfter[sensitMode];
}

std::string CompoundText(const TCompoundResult& r, const TWindowInputs& in) {
    if (!(r.MeanDensity > 0)) return " " + r.Name + " n.a.";
    return " " + r.Name + " =" + FormatConcentration(5, r.Ppb) + "±" + FormatConcentration(1, PpbScatter(r)) +
           ", ~±" + FormatConcentration(1, PpbCountingError(r)) +
           SensitivityText(r, in.sensitMode, in.end - in.start + 1) + " " + FormatPattern("0.0e-0", r.Mol) + " mol";
}

// Ppb mode: the intermediate-results header, then one line per selected
// compound of the library, in library order.
void AddPpbLines(const TWindowInputs& in, TWindowRun& run) {
    const TKel& kel = *in.profile;
    auto text = std::make_shared<TIntermediateText>(kel, in.start, in.end);
    run.intermediateText = text;
    text->AddLine("Intermediate results from " + in.fileNameField);
    double reactionTime = ReactionTime(kel);
    text->AddLine("Tg=\t" + FormatPattern("0.000", kel.Tg) + "\tfc=\t" + FormatPattern("0.000000", kel.fc) +
                  "\tf1=\t" + FormatPattern("0.000000", kel.f1) + "\tp=\t" + FormatPattern("0.000000", kel.p) +
                  "\tdeadtime\t" + FormatPattern("0.00e-00", in.corrections.DeadTime) + "\ttr\t" +
                  FormatPattern("0.00e-00", reactionTime) + "\textra.Aft\t" + FormatPattern("0.000000", kel.Aft));
    text->AddLine("  ");
    if (!in.library) return;
    TWindowLines window(kel, in.start, in.end);
    int k = 0;
    for (int index = 0; index < in.library->Count(); ++index) {
        const TKrecord& compound = in.library->Compound(index);
        if (compound.SelectCount == 0) continue;
        run.compounds.push_back(QuantifyCompound(in, compound, reactionTime, window, *text));
        run.lines.push_back(Line(CompoundText(run.compounds.back(), in), 50, 50 + 20 * k, CurveColor(k)));
        ++k;
    }
}

// The plain means of the auxiliary readings whose names carry no unit in
// parentheses, at half the graph's width.
void AddAuxiliaryLines(const TWindowInputs& in, TWindowRun& run) {
    const TKel& kel = *in.profile;
    if (in.end < in.start) return;  // no points, nothing to average
    for (int r = 18; r <= 26; r += 2) {
        auto row = static_cast<std::size_t>(r);
        if (row >= kel.Name.size() || row >= kel.Counts.size()) break;
        if (kel.Name[row].find('(') != std::string::npos) continue;
        double mean = RowWindowMean(kel, r, in.start, in.end);
        run.auxiliary.push_back({kel.Name[row], r, mean});
        run.lines.push_back(Line(kel.Name[row] + " " + FormatPattern("0", mean), in.graphWidth / 2, 10 * r - 130,
                                 CurveColor(r)));
    }
}

}  // namespace

std::string Labelled(const std::string& name, const std::string& value) {
    if (name.empty() || value.empty() || name.back() == ' ' || value.front() == ' ') return name + value;
    return name + " " + value;
}

double PpbScatter(const TCompoundResult& r) { return r.Ppb * r.RelStdDev / 100; }

double PpbCountingError(const TCompoundResult& r) { return r.CountingError * r.Ppb; }

double DetectionLimitPpb(const TCompoundResult& result) { return CheckedDivide(result.Ppb, result.ProductCountSum); }

double DetectionLimitRate(const TChannelResult& result) { return CheckedDivide(result.MeanRate, result.CountSum); }

double SensitivityFigure(const TCompoundResult& r, int sensitMode, int points) {
    switch (sensitMode) {
        case 0:
            return CheckedDivide(r.WeightedProductRate, r.Ppb);
        case 1:
            return CheckedDivide(r.Ppb, r.WeightedProductRate);
        case 2:
            return DetectionLimitPpb(r);
        default:
            return DetectionLimitPpb(r) * points;
    }
}

TWindowRun RunWindowCalculation(const TWindowInputs& inputs) {
    TWindowRun run;
    if (!inputs.profile) return run;
    run.inputs = inputs;
    run.inputs.profile = nullptr;
    run.inputs.library = nullptr;
    try {
        switch (inputs.mode) {
            case TPlotMode::Isotope:
                run.isotope = ComputeIsotopeSums(*inputs.profile, inputs.corrections, inputs.start, inputs.end,
                                                 inputs.isotope);
                AppendIsotopeLines(run.isotope, inputs.isotope, run.lines, run.isotopeFigures);
                break;
            case TPlotMode::Ppb:
                AddPpbLines(inputs, run);
                break;
            case TPlotMode::Rate:
                AddRateLines(inputs, run);
                break;
        }
        AddAuxiliaryLines(inputs, run);
    } catch (const std::exception& e) {
        run.error = *e.what() ? e.what() : "Unknown error";
        run.lines.push_back({"Exception was " + run.error, 50, 250, kExceptionColor, TLineBox::None, 0});
    }
    if (inputs.withIntermediate && run.intermediateText) run.intermediate = run.intermediateText->Compose();
    return run;
}

}  // namespace kel
