#pragma once
// Window means of single ion channels: the half-weighted, dead-time corrected
// average count rate over a window of points, the summed counts behind it,
// and the scatter of the points about their mean.
#include "kinetics/Corrections.h"
#include "profile/Kel.h"

namespace kel {

// What one channel gives over the window [start, end] (chronological points).
struct TChannelWindow {
    double MeanRate = 0;     // weighted mean of the dead-time corrected rates, c/s, no further correction
    double CountSum = 0;     // weighted sum of the filtered counts
    double PlainSum = 0;     // unweighted sum of the dead-time corrected rates
    double PlainSquares = 0; // unweighted sum of their squares
    int Points = 0;          // points in the window
};

// Number of ion channels whose name, dwell, mass and counts the profile
// holds: nim div 2, capped by the record's arrays.
int IonChannelCount(const TKel& kel);

// Sums channel k over [start, end] with the weights of the concentration
// windows (half at the start for the first half of the channels, half at the
// end for the others; divisor (end - start) + 0.5); raises the floating-point
// errors for a dwell of 0.
TChannelWindow ChannelWindow(const TKel& kel, double deadTime, int k, int start, int end);

// The channel's window mean after the run's correction model: what the
// count-rate lines and the result log show for channel k.
double ChannelWindowMean(const TKel& kel, const TCorrectionState& state, int k, int start, int end);

// Plain mean of the stored values of row `row` (an auxiliary reading) at
// points start..end, divided by end - start + 1; a row or slot the profile
// lacks reads 0. Raises EInvalidOp or EZeroDivide for a window of no points.
double RowWindowMean(const TKel& kel, int row, int start, int end);

// Relative standard error of the mean of n values with sum u and sum of
// squares q, in %: 0 for fewer than two values or no scatter; raises
// EZeroDivide when the values scatter about a mean of 0.
double RelativeStandardError(double u, double q, int n);

}  // namespace kel
