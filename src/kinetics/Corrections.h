#pragma once
// Corrections that turn a measured count rate into the rate used for
// quantification: detector dead time, mass discrimination and differential
// diffusion of light ions to the walls.
#include <cstdint>

#include "common/Errors.h"
#include "profile/Kel.h"

namespace kel {

// The correction switches of one calculation run; the session owns it and
// renews it at the start of every run (StartCorrectionRun).
struct TCorrectionState {
    bool Correct = true;             // the "correct" button is down
    double DeadTime = 0;             // detector dead time, s
    std::int32_t OutlierFilter = 0;  // the profile's filter switch for the run
};

// Value of the outlier filter switch while corrections are on.
inline constexpr std::int32_t kOutlierFilterOn = 524288;

// The state of a run: with `correct` the dead time of the field (in
// microseconds) and the filter on, otherwise no dead time and no filter. The
// profile's filter switch is set to match, since count access reads it there.
TCorrectionState StartCorrectionRun(bool correct, double deadTimeMicroseconds, TKel& profile);

// Rate corrected for a detector dead time tau (s): rate / (1 - d) for
// d = rate * tau below 0.5, else rate * (2d + 1).
inline double DeadTimeCorrect(double rate, double tau) {
    double d = rate * tau;
    // Past half the detector's capacity the hyperbolic model breaks down; the
    // linear continuation meets it at d = 0.5.
    if (d < 0.5) return CheckedDivide(rate, 1 - d);
    return CheckedFinite(rate * (2 * d + 1));
}

// A correction that scales a rate: ((x * factor) * scale) / divisor, in this
// order so that it yields exactly the value of the model it was taken from.
struct TRateCorrection {
    double factor = 1, scale = 1, divisor = 1;
    // The corrected rate; raises the floating-point errors for a divisor of 0
    // or a result out of range.
    double Apply(double x) const {
        double scaled = x * factor * scale;
        return divisor == 1 ? CheckedFinite(scaled) : CheckedDivide(scaled, divisor);
    }
};

// The empirical model as a correction (see MassDiscrimination).
TRateCorrection MassDiscriminationTerms(double m, double de200, double mr200, double df73);

// Empirical mass discrimination of a rate x of m/z m when on; x when off.
double MassDiscrimination(bool on, double x, double m, double de200, double mr200, double df73);

// x * (1 + (mr200 - 1) / 181^2 * (m - 19)^2) when on; x when off.
double MassDiscriminationQuadratic(bool on, double x, double m, double mr200);

// Ion diffusion coefficient of m/z m (rounded), from the table of the light
// ions or 140 * ln(383 / m); raises the floating-point errors for m <= 0.
double IonDiffusionCoefficient(double m);

// Differential-diffusion correction of x for an ion of m/z m whose
// coefficient dIon differs from the reference dRef; a = reaction time * 18.7
// / area. x when off.
double DiffusionCorrect(bool on, double x, double m, double dIon, double dRef, double a);

// The correction CorrectedValue applies for m/z `mass` on this profile (the
// identity when corrections are off); raises the floating-point errors for a
// pressure, area or mass the active model cannot divide by.
TRateCorrection CorrectionFor(const TKel& kel, const TCorrectionState& state, double mass);

// A (dead-time corrected) rate of m/z mass after the active correction model:
// the empirical one when De200 is set, else quadratic discrimination and
// diffusion; `value` itself when corrections are off.
double CorrectedValue(const TKel& kel, const TCorrectionState& state, double value, double mass);

}  // namespace kel
