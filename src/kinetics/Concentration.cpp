#include "kinetics/Concentration.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>
#include <utility>

#include "common/Errors.h"
#include "common/SafeMath.h"
#include "kinetics/CountAccess.h"
#include "kinetics/FlowTube.h"
#include "kinetics/WindowMeans.h"

namespace kel {

namespace {

constexpr double kWaterClusterMass = 37;  // H3O+(H2O), formed by three-body association
constexpr double kMoleculesPerCm3AtOneUnit = 3.28e16;

int LinesOf(int count, int most) { return std::clamp(count, 0, most); }

// m/z 37 forms by three-body association, so the library's coefficient is
// the effective one at 0.7 Torr and 300 K; it scales with the pressure and
// the cube of 300 / Tg.
double AssociationCoefficient(const TKel& kel, double k) {
    return SafePower(CheckedDivide(300, kel.Tg), 3) * kel.p * k / 0.7;
}

// One line of a compound over a window: the corrected mean of its
// dead-time corrected rates and the weighted sum of its filtered counts.
struct LineWindow {
    double rate = 0;
    double count = 0;
};

LineWindow MeanOverWindow(const TKel& kel, const TWindowPlan& plan, int channel, const TRateCorrection& correction,
                          int start, int end) {
    TChannelWindow window = ChannelWindow(kel, plan.DeadTime, channel, start, end);
    return {correction.Apply(window.MeanRate), window.CountSum};
}

// The entries of the arrays that do not depend on the window; entries past
// the counts read 0.
void SetWindowConstants(const TWindowPlan& plan, TWindowArrays& arrays) {
    auto precursors = static_cast<std::ptrdiff_t>(plan.PrecursorCount);
    auto products = static_cast<std::ptrdiff_t>(plan.ProductCount);
    std::fill(arrays.PrecursorRates.begin() + precursors, arrays.PrecursorRates.end(), 0.0);
    std::fill(arrays.ProductRates.begin() + products, arrays.ProductRates.end(), 0.0);
    std::copy_n(plan.RateCoefficients.begin(), precursors, arrays.RateCoefficients.begin());
    std::copy_n(plan.PrecursorWeights.begin(), precursors, arrays.PrecursorWeights.begin());
    std::copy_n(plan.ProductWeights.begin(), products, arrays.ProductWeights.begin());
}

// Fills the arrays of a plan with the lines `lineOf(channel, correction)`
// gives: precursors first, then products, the order errors arise in.
template <class LineOf>
void FillArrays(const TWindowPlan& plan, TWindowArrays& arrays, LineOf lineOf) {
    SetWindowConstants(plan, arrays);
    for (std::size_t i = 0; i < static_cast<std::size_t>(plan.PrecursorCount); ++i)
        arrays.PrecursorRates[i] = lineOf(plan.PrecursorChannel[i], plan.PrecursorCorrection[i]).rate;
    for (std::size_t j = 0; j < static_cast<std::size_t>(plan.ProductCount); ++j) {
        LineWindow line = lineOf(plan.ProductChannel[j], plan.ProductCorrection[j]);
        arrays.ProductRates[j] = line.rate;
        arrays.ProductCounts[j] = line.count;
    }
}

// The one-point rates of the lines of a plan, line after line: precursors,
// then products. Each line keeps where it failed, so that a caller raises
// errors in the order of its own loop: line by line or point by point.
class TPlanRates {
public:
    TPlanRates(TLineRates& lines, const TWindowPlan& plan)
        : points_(lines.Points()), precursors_(static_cast<std::size_t>(plan.PrecursorCount)) {
        for (std::size_t l = 0; l < precursors_; ++l)
            lines_.push_back(&lines.Line(plan.PrecursorChannel[l], plan.PrecursorCorrection[l], plan.DeadTime));
        for (std::size_t j = 0; j < static_cast<std::size_t>(plan.ProductCount); ++j)
            lines_.push_back(&lines.Line(plan.ProductChannel[j], plan.ProductCorrection[j], plan.DeadTime));
    }

    // Raises the error of the first line that failed at any point.
    void RaiseFirstFailedLine() const {
        for (const TLineRates::TLine* line : lines_)
            if (line->Failure) std::rethrow_exception(line->Failure);
    }

    // The number of points before the first one at which a line failed, and
    // the error of the first line failing there (null when none failed):
    // what filling the windows point by point meets first.
    std::pair<std::size_t, std::exception_ptr> FirstFailure() const {
        std::size_t filled = points_;
        std::exception_ptr failure;
        for (const TLineRates::TLine* line : lines_)
            if (line->Failure && line->FailedAt < filled) {
                filled = line->FailedAt;
                failure = line->Failure;
            }
        return {filled, failure};
    }

    // Sets the precursor and product rates of point first + index.
    void Load(std::size_t index, TWindowArrays& arrays) const {
        for (std::size_t l = 0; l < precursors_; ++l) arrays.PrecursorRates[l] = lines_[l]->Rates[index];
        for (std::size_t j = 0; precursors_ + j < lines_.size(); ++j)
            arrays.ProductRates[j] = lines_[precursors_ + j]->Rates[index];
    }

private:
    std::size_t points_, precursors_;
    std::vector<const TLineRates::TLine*> lines_;
};

// The densities of the plan's one-point windows at the first `count` points
// of `rates`, in point order, each handed to `take` as it is computed.
template <class Take>
void EachPointDensity(const TPlanRates& rates, const TWindowPlan& plan, double t, std::size_t count, Take take) {
    TWindowArrays arrays;
    SetWindowConstants(plan, arrays);
    for (std::size_t i = 0; i < count; ++i) {
        rates.Load(i, arrays);
        take(ComputeDensity(plan.PrecursorCount, plan.ProductCount, arrays, t));
    }
}

// Corrections with equal terms correct every rate alike.
bool SameCorrection(const TRateCorrection& a, const TRateCorrection& b) {
    return a.factor == b.factor && a.scale == b.scale && a.divisor == b.divisor;
}

}  // namespace

TWindowPlan PlanWindow(const TKel& kel, const TCorrectionState& state, const TKrecord& compound) {
    TWindowPlan plan;
    plan.PrecursorCount = LinesOf(compound.PrecursorCount, 16);
    plan.ProductCount = LinesOf(compound.ProductCount, 16);
    plan.DeadTime = state.DeadTime;
    bool association = compound.ProductMass[0] == kWaterClusterMass;
    for (std::size_t i = 0; i < static_cast<std::size_t>(plan.PrecursorCount); ++i) {
        double mass = compound.PrecursorMass[i];
        plan.PrecursorChannel[i] = IonIndexOfMass(kel, mass);
        plan.PrecursorCorrection[i] = CorrectionFor(kel, state, mass);
        plan.RateCoefficients[i] = association && mass == 19
                                       ? AssociationCoefficient(kel, compound.RateCoefficient[i])
                                       : compound.RateCoefficient[i];
        plan.PrecursorWeights[i] = compound.PrecursorWeight[i];
    }
    for (std::size_t j = 0; j < static_cast<std::size_t>(plan.ProductCount); ++j) {
        double mass = compound.ProductMass[j];
        plan.ProductChannel[j] = IonIndexOfMass(kel, mass);
        plan.ProductCorrection[j] = CorrectionFor(kel, state, mass);
        plan.ProductWeights[j] = compound.ProductWeight[j];
    }
    return plan;
}

void FillWindowArrays(const TKel& kel, const TWindowPlan& plan, int start, int end, TWindowArrays& arrays) {
    FillArrays(plan, arrays, [&](int channel, const TRateCorrection& correction) {
        return MeanOverWindow(kel, plan, channel, correction, start, end);
    });
}

void FillWindowArrays(const TKel& kel, const TCorrectionState& state, const TKrecord& compound, int start, int end,
                      TWindowArrays& arrays) {
    FillWindowArrays(kel, PlanWindow(kel, state, compound), start, end, arrays);
}

TDensityResult ComputeDensity(int precursorCount, int productCount, const TWindowArrays& arrays, double t) {
    constexpr int kLines = static_cast<int>(std::tuple_size_v<TWindowArrays::Values>);
    auto m = static_cast<std::size_t>(LinesOf(precursorCount, kLines));
    auto n = static_cast<std::size_t>(LinesOf(productCount, kLines));
    const auto& P = arrays.PrecursorRates;
    const auto& k = arrays.RateCoefficients;
    const auto& b = arrays.PrecursorWeights;
    TDensityResult result;
    if (m == 0 || n == 0 || P[0] == 0) return result;
    result.Computed = true;

    double N = 0;
    for (std::size_t j = 0; j < n; ++j) {
        double w = arrays.ProductWeights[j];
        // A weight written as -100 + x means x times the ratio of the last to
        // the first precursor rate.
        double effective = w > -100 ? w : (w + 100) * P[m - 1] / P[0];
        N += effective * arrays.ProductRates[j];
    }
    result.WeightedProductRate = CheckedFinite(N);

    double D = k[0] * P[0] * b[0];
    for (std::size_t i = 1; i < m; ++i) D += (k[0] + k[i]) / 2 * P[i] * b[i];
    if (CheckedFinite(D) == 0) return result;

    // Integrated rate equation with the first precursor as the reference:
    // N / D = (exp(k0 [M] t) - 1) / k0.
    double x = CheckedDivide(k[0] * N, D);
    if (x <= -1) return result;  // no logarithm, no density
    double density = CheckedDivide(std::log1p(x), t * k[0]);
    result.Density = density > 0 ? density : 0;
    return result;
}

double DensityToPpb(double density, double flowFactor, double sampleFlow) {
    return CheckedFinite(CheckedDivide(flowFactor, sampleFlow) * density / kMoleculesPerCm3AtOneUnit * 1e9);
}

double AmountMol(int start, int end, double ppb, double sampleFlow, double cycleTime) {
    return CheckedFinite(ppb * 1e-9 * cycleTime * (end - start) * sampleFlow / 760 / 24.4);
}

double RelativePoissonError(const TWindowArrays& arrays, int productCount) {
    constexpr int kLines = static_cast<int>(std::tuple_size_v<TWindowArrays::Values>);
    double sum = 0;
    for (std::size_t j = 0; j < static_cast<std::size_t>(LinesOf(productCount, kLines)); ++j)
        if (arrays.ProductWeights[j] > 0) sum += arrays.ProductCounts[j];
    if (sum == 0) return 1;
    return CheckedFinite(std::sqrt(sum) / sum);
}

double ProductCountSum(const TWindowArrays& arrays, int productCount) {
    constexpr int kLines = static_cast<int>(std::tuple_size_v<TWindowArrays::Values>);
    double sum = 0;
    for (std::size_t j = 0; j < static_cast<std::size_t>(LinesOf(productCount, kLines)); ++j)
        sum += arrays.ProductCounts[j];
    return sum;
}

void ConcentrationSeries(TLineRates& lines, const TCorrectionState& state, const TKrecord& compound,
                         std::vector<double>& ppb) {
    const TKel& kel = lines.Profile();
    auto points = static_cast<std::size_t>(std::max<int>(kel.njm, 0));
    ppb.assign(points, 0.0);
    if (points == 0) return;
    TWindowPlan plan = PlanWindow(kel, state, compound);
    double t = ReactionTime(kel);
    double flowFactor = FlowFactor(kel);
    double sampleFlow = kel.f1;
    TPlanRates rates(lines, plan);
    // A line's error comes before any density's, whichever point it is at.
    rates.RaiseFirstFailedLine();
    // Each density goes straight into ppb: a list of them per compound would
    // take fresh memory for every curve of every refresh.
    std::size_t i = 0;
    EachPointDensity(rates, plan, t, std::min(points, lines.Points()), [&](const TDensityResult& result) {
        ppb[i++] = DensityToPpb(result.Density, flowFactor, sampleFlow);
    });
}

void ConcentrationSeries(const TKel& kel, const TCorrectionState& state, const TKrecord& compound,
                         std::vector<double>& ppb) {
    TLineRates lines(kel, 0);
    ConcentrationSeries(lines, state, compound, ppb);
}

TLineRates::TLineRates(const TKel& kel, int first) : TLineRates(kel, first, kel.njm - 1) {}

TLineRates::TLineRates(const TKel& kel, int first, int last)
    : kel_(kel), slots_(static_cast<std::size_t>(std::max(last - first + 1, 0))) {
    for (std::size_t i = 0; i < slots_.size(); ++i) slots_[i] = SlotOfPoint(kel, first + static_cast<int>(i));
}

const TLineRates::TLine& TLineRates::Line(int channel, const TRateCorrection& correction, double deadTime) {
    for (const TLine& line : lines_)
        if (line.Channel == channel && SameCorrection(line.Correction, correction) && line.DeadTime == deadTime)
            return line;
    TLine& line = lines_.emplace_back();
    line.Channel = channel;
    line.Correction = correction;
    line.DeadTime = deadTime;
    // The points of a line do not depend on each other, so the processor
    // overlaps them.
    line.Rates.resize(slots_.size());
    std::size_t i = 0;
    try {
        TChannelRates rates(kel_, channel);
        for (; i < slots_.size(); ++i) line.Rates[i] = correction.Apply(rates.Read(slots_[i], deadTime).rate);
    } catch (const EKelError&) {
        line.Failure = std::current_exception();
    }
    line.FailedAt = i;
    return line;
}

void TWindowLines::Fill(const TWindowPlan& plan, TWindowArrays& arrays) {
    FillArrays(plan, arrays, [&](int channel, const TRateCorrection& correction) {
        for (const TLine& line : lines_)
            if (line.Channel == channel && SameCorrection(line.Correction, correction) && line.DeadTime == plan.DeadTime)
                return LineWindow{line.Rate, line.Count};
        // Raises before anything is kept, so a failing line fails again for
        // the next compound that reads it.
        LineWindow window = MeanOverWindow(kel_, plan, channel, correction, start_, end_);
        lines_.push_back({channel, correction, plan.DeadTime, window.rate, window.count});
        return window;
    });
}

TDensitySeries DensitySeries(TLineRates& lines, const TWindowPlan& plan, const std::function<double()>& reactionTime) {
    TDensitySeries series;
    if (lines.Points() == 0) return series;
    TPlanRates rates(lines, plan);
    auto [filled, fillFailure] = rates.FirstFailure();
    if (filled == 0) {
        series.Failure = fillFailure;
        return series;
    }
    try {
        series.Results.reserve(filled);
        EachPointDensity(rates, plan, reactionTime(), filled,
                         [&series](const TDensityResult& result) { series.Results.push_back(result); });
    } catch (const EKelError&) {
        series.Failure = std::current_exception();
        return series;
    }
    series.Failure = fillFailure;
    return series;
}

void SelectCompoundsForPpb(TKbase& library, const TKel& kel) {
    library.ClearSelection();
    int code = PrecursorCode(kel);
    std::size_t channels = std::min(static_cast<std::size_t>(std::max<int>(kel.nim / 2, 0)), kel.IonMass.size());
    for (std::size_t k = 0; k < channels; ++k) {
        // Halves go to the even neighbour, as the channel masses always did.
        double mass = std::nearbyint(kel.IonMass[k]);
        if (std::fabs(mass) <= std::numeric_limits<int>::max()) library.CountMatches(code, static_cast<int>(mass));
    }
    library.DropIncomplete();
}

}  // namespace kel
