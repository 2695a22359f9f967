#pragma once
// The isotope-ratio ("D/H") analysis of the water-derived peaks at m/z 74
// and 75: window sums of the two channel groups, the ratio Q with its
// counting error, the deuterium abundance R1 of vapour and liquid, the shape
// of the 75 peak, and the info lines of the window calculation.
#include <vector>

#include "kinetics/Corrections.h"
#include "kinetics/WindowResults.h"
#include "profile/Kel.h"

namespace kel {

// R1 in ppm from an abundance: x 1e6 x 4/9.
inline constexpr double kR1PerAbundance = 1e6 * 4.0 / 9.0;

// Window sums of the two groups over [start, end]: the first nim div 4
// channels are peak 74, the rest peak 75. Rates are dead-time corrected only;
// both groups are divided by nim div 4. Raises the floating-point errors for a
// dwell of 0 and for a profile with fewer than two ion channels.
TIsotopeSums ComputeIsotopeSums(const TKel& kel, const TCorrectionState& corrections, int start, int end,
                                const TIsotopeParams& params);

// R1 of the vapour in ppm from the peak ratio q: (q R3 - R2) x 1e6 x 4/9;
// raises the floating-point errors of a result out of range.
double R1VapourOf(double q, const TIsotopeParams& params);

// Q = S74 / S75 and R1 of vapour and liquid with their counting errors;
// raises EZeroDivide for S75 = 0 or liq = 0.
TIsotopeRatio ComputeIsotopeRatio(const TIsotopeSums& sums, const TIsotopeParams& params);

// Slope and shape of the peak list; both 0 when the list sums to 0.
TPeakShape PeakShapeOf(const std::vector<double>& peak);

// Appends the info lines of the window sums at (80, 50 + 20k): the two peak
// signals, then (only when S75 is not 0) Q, R1 of vapour and liquid, shape and
// slope, keeping the figures they show in `figures`. Raises like
// ComputeIsotopeRatio after appending the lines before.
void AppendIsotopeLines(const TIsotopeSums& sums, const TIsotopeParams& params, std::vector<TResultLine>& lines,
                        TIsotopeFigures& figures);

}  // namespace kel
