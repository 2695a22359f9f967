#include "kinetics/Concentration.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/Errors.h"
#include "common/SafeMath.h"
#include "kinetics/CountAccess.h"
#include "kinetics/FlowTube.h"

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

struct WindowSums {
    double rate = 0;   // weighted dead-time corrected rates
    double count = 0;  // weighted filtered counts
};

// Channels measured in the cycle's first half weigh half at the window's
// start, the others half at its end, so that a window spans the same time
// for every channel.
WindowSums SumWindow(const TKel& kel, const TWindowPlan& plan, int channel, int start, int end) {
    WindowSums sums;
    if (channel == -1) return sums;
    int halfPoint = channel < plan.HalfChannels ? start : end;
    for (int point = start; point <= end; ++point) {
        double weight = point == halfPoint ? 0.5 : 1.0;
        double count = CountAt(kel, channel, SlotOfPoint(kel, point));
        sums.rate += weight * DeadTimeCorrect(RateOfCount(kel, channel, count), plan.DeadTime);
        sums.count += weight * count;
    }
    return sums;
}

}  // namespace

TWindowPlan PlanWindow(const TKel& kel, const TCorrectionState& state, const TKrecord& compound) {
    TWindowPlan plan;
    plan.PrecursorCount = LinesOf(compound.PrecursorCount, 16);
    plan.ProductCount = LinesOf(compound.ProductCount, 16);
    plan.HalfChannels = kel.nim / 4;
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
    arrays.PrecursorRates.fill(0);
    arrays.ProductRates.fill(0);
    double span = (end - start) + 0.5;  // the sum of the point weights
    for (std::size_t i = 0; i < static_cast<std::size_t>(plan.PrecursorCount); ++i) {
        WindowSums sums = SumWindow(kel, plan, plan.PrecursorChannel[i], start, end);
        arrays.PrecursorRates[i] = plan.PrecursorCorrection[i].Apply(sums.rate / span);
        arrays.RateCoefficients[i] = plan.RateCoefficients[i];
        arrays.PrecursorWeights[i] = plan.PrecursorWeights[i];
    }
    for (std::size_t j = 0; j < static_cast<std::size_t>(plan.ProductCount); ++j) {
        WindowSums sums = SumWindow(kel, plan, plan.ProductChannel[j], start, end);
        arrays.ProductRates[j] = plan.ProductCorrection[j].Apply(sums.rate / span);
        arrays.ProductCounts[j] = sums.count;
        arrays.ProductWeights[j] = plan.ProductWeights[j];
    }
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

void ConcentrationSeries(const TKel& kel, const TCorrectionState& state, const TKrecord& compound,
                         std::vector<double>& ppb) {
    ppb.assign(static_cast<std::size_t>(std::max<int>(kel.njm, 0)), 0.0);
    if (ppb.empty()) return;
    TWindowPlan plan = PlanWindow(kel, state, compound);
    double t = ReactionTime(kel);
    double flowFactor = FlowFactor(kel);
    double sampleFlow = kel.f1;
    TWindowArrays arrays;
    for (std::size_t i = 0; i < ppb.size(); ++i) {
        int point = static_cast<int>(i);
        FillWindowArrays(kel, plan, point, point, arrays);
        double density = ComputeDensity(plan.PrecursorCount, plan.ProductCount, arrays, t).Density;
        ppb[i] = DensityToPpb(density, flowFactor, sampleFlow);
    }
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
