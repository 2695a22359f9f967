#include "kinetics/Corrections.h"

#include <cmath>

#include "common/Errors.h"
#include "kinetics/FlowTube.h"

namespace kel {

namespace {

constexpr double kReferenceMass = 19;  // H3O+, to which every correction is relative

bool IsHydratedIon(double rounded) { return rounded == 37 || rounded == 55 || rounded == 73; }

// 1 + (mr200 - 1) / 181^2 * (m - 19)^2: equals mr200 at m/z 200.
double QuadraticFactor(double m, double mr200) {
    double dm = m - kReferenceMass;
    return 1 + (mr200 - 1) / 32761 * (dm * dm);
}

// (e^g - 1) / g with g = (dRef - dIon) * a; 1 where the ion diffuses like
// the reference or the ions spend no time in the tube (the limit at g = 0).
double DiffusionDivisor(double dIon, double dRef, double a) {
    if (dIon == dRef) return 1;
    double g = (dRef - dIon) * a;
    if (g == 0) return 1;
    return CheckedFinite(std::expm1(g) / g);
}

double HydrateScale(double m) { return IsHydratedIon(std::nearbyint(m)) ? 1.1 : 1.0; }

}  // namespace

TCorrectionState StartCorrectionRun(bool correct, double deadTimeMicroseconds, TKel& profile) {
    TCorrectionState state;
    state.Correct = correct;
    state.DeadTime = correct ? deadTimeMicroseconds * 1e-6 : 0.0;
    state.OutlierFilter = correct ? kOutlierFilterOn : 0;
    profile.OutlierFilter = state.OutlierFilter;
    return state;
}

TRateCorrection MassDiscriminationTerms(double m, double de200, double mr200, double df73) {
    double dm = m - kReferenceMass;
    double rounded = std::nearbyint(m);
    if (rounded == 19 || rounded == 30 || rounded == 32) return {QuadraticFactor(m, mr200), 1, 1};
    if (IsHydratedIon(rounded)) {
        // The water clusters follow their own curve, anchored at m/z 73.
        double w = (2.7 * df73 - 1) / 2916;
        double divisor = rounded == 37 ? 1.36 : rounded == 55 ? 1.81 : 2.7;
        return {1 + w * (dm * dm), 1, divisor};
    }
    double u = (de200 - 1) / 181;
    return {QuadraticFactor(m, mr200), 1, 1 + u * dm};
}

double MassDiscrimination(bool on, double x, double m, double de200, double mr200, double df73) {
    return on ? MassDiscriminationTerms(m, de200, mr200, df73).Apply(x) : x;
}

double MassDiscriminationQuadratic(bool on, double x, double m, double mr200) {
    return on ? TRateCorrection{QuadraticFactor(m, mr200), 1, 1}.Apply(x) : x;
}

double IonDiffusionCoefficient(double m) {
    double rounded = std::nearbyint(m);
    if (rounded == 19) return 421;
    if (rounded == 30) return 416;
    if (rounded == 32) return 409;
    if (rounded == 37) return 307;
    if (rounded == 48) return 326;
    if (rounded == 55) return 239;
    if (rounded == 73) return 202;
    return CheckedFinite(140 * std::log(CheckedDivide(383, m)));
}

double DiffusionCorrect(bool on, double x, double m, double dIon, double dRef, double a) {
    return on ? TRateCorrection{1, HydrateScale(m), DiffusionDivisor(dIon, dRef, a)}.Apply(x) : x;
}

TRateCorrection CorrectionFor(const TKel& kel, const TCorrectionState& state, double mass) {
    if (!state.Correct) return {};
    if (kel.De200 != 0) return MassDiscriminationTerms(mass, kel.De200, kel.Mr200, kel.Df73);
    double dIon = CheckedDivide(IonDiffusionCoefficient(mass), kel.p);
    double dRef = CheckedDivide(IonDiffusionCoefficient(kReferenceMass), kel.p);
    double a = CheckedDivide(ReactionTime(kel) * 18.7, kel.Aft);
    return {QuadraticFactor(mass, kel.Mr200), HydrateScale(mass), DiffusionDivisor(dIon, dRef, a)};
}

double CorrectedValue(const TKel& kel, const TCorrectionState& state, double value, double mass) {
    return CorrectionFor(kel, state, mass).Apply(value);
}

}  // namespace kel
