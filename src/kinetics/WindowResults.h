#pragma once
// The window calculation: mean values and uncertainties over the window of
// points selected on the plot, as coloured text lines for the main graph, the
// intermediate-results text of the ppb mode and the isotope-ratio sums.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "kinetics/Corrections.h"
#include "kinetics/Kbasetxt.h"
#include "plot/GraphAttributes.h"
#include "profile/Kel.h"

namespace kel {

class TIntermediateText;

// The window [start, end] of chronological points that a selection of the
// time axis from s0 to s1 seconds (either order) covers, with pointTime
// seconds per point and the axis shifted by shiftPoints points ("Time 0 at
// start"); a start before the first point is the first point; (0, 0) when
// pointTime is 0.
std::pair<int, int> TimeWindowOfSelection(double s0, double s1, double pointTime, double shiftPoints);

// Which curves the plot shows; "D/H" wins over "ppb".
enum class TPlotMode { Rate, Ppb, Isotope };

// The isotope-ratio fields: 17O and 18O abundances, backgrounds of the 74
// and 75 peaks (c/s) and the vapour/liquid partition factor.
struct TIsotopeParams {
    double R2 = 0.000379;
    double R3 = 0.00198;
    double b74 = 0;
    double b75 = 0;
    double liq = 0.935;
};

// The window sums of the isotope-ratio mode, kept for the result log.
struct TIsotopeSums {
    double S74 = 0, S75 = 0;  // background-corrected mean peak signals, c/s
    double N74 = 0, N75 = 0;  // summed counts of the two channel groups
    double RelErr = 1;        // relative counting error of Q
    std::vector<double> PeakList;  // window means of the group-75 channels
};

// Q and the abundances derived from it.
struct TIsotopeRatio {
    double Q = 0;
    double R1Vapour = 0, R1VapourError = 0;  // ppm
    double R1Liquid = 0, R1LiquidError = 0;  // ppm
};

// Position and width of a peak sampled by equally spaced channels.
struct TPeakShape {
    double Slope = 0;  // first moment about the centre, in channels
    double Shape = 0;  // variance of a flat peak minus the peak's own second moment
};

// What the isotope lines show besides the sums; the ratio only when S75 is not 0.
struct TIsotopeFigures {
    bool HasRatio = false;
    TIsotopeRatio Ratio;
    TPeakShape Peak;
};

// Everything one run reads; the session fills it from its state.
struct TWindowInputs {
    const TKel* profile = nullptr;
    const TKbase* library = nullptr;
    TPlotMode mode = TPlotMode::Rate;
    TCorrectionState corrections;  // DeadTime in seconds, the "correct" switch
    int start = 0, end = 0;        // window of chronological points, inclusive
    int sensitMode = 0;            // 0..4: cps/ppb, ppb/cps, LOD integration, LOD point, none
    TIsotopeParams isotope;
    std::string fileNameField;  // the file-name field's text, for the intermediate results
    int graphWidth = 0;         // the main graph's width in pixels (auxiliary lines sit at half)
    // False leaves the intermediate text to be composed from intermediateText
    // when read; every number and line is the same.
    bool withIntermediate = true;
};

// Where a line's background comes from.
enum class TLineBox { GraphBox, White, None };

// One text line on the main graph (a comment with tag 0 at pixel x, y, left|top).
struct TResultLine {
    std::string text;
    int x = 0, y = 0;
    TColor color = 0;
    TLineBox box = TLineBox::GraphBox;
    TFontStyles style = 0;
};

// One ion channel's result over the window (count-rate mode).
struct TChannelResult {
    std::string Name;
    double Mass = 0;
    double MeanRate = 0;       // corrected window mean, c/s
    double RelStdDev = 0;      // relative standard error of the points, %
    double CountingError = 0;  // %
    double Dwell = 0;          // the channel's total dwell in the window, s
    double CountSum = 0;       // weighted sum of the filtered counts
    int Points = 0;
};

// The plain window mean of an auxiliary reading (pressure and the like).
struct TAuxiliaryResult {
    std::string Name;
    int Row = 0;
    double Mean = 0;
};

// One compound's result over the window (ppb mode).
struct TCompoundResult {
    std::string Name;
    std::string Formula;
    double MeanDensity = 0;
    double RelStdDev = 0;
    double Ppb = 0;
    double CountingError = 0;
    double WeightedProductRate = 0;
    double ProductCountSum = 0;
    double Mol = 0;
};

// A result line's name and the fixed-width value after it, with at least one
// blank between them: a value wider than its field (a million counts a
// second) would otherwise run into the name and read as one number with it.
std::string Labelled(const std::string& name, const std::string& value);

// The scatter of the compound's ppb over the window's points, in ppb.
double PpbScatter(const TCompoundResult& r);

// The counting error of the compound's ppb, in ppb.
double PpbCountingError(const TCompoundResult& r);

// The smallest concentration the window tells apart from none: the ppb of
// one counted product ion (what "LOD ppb / integration" shows); raises
// EZeroDivide when no product ion was counted.
double DetectionLimitPpb(const TCompoundResult& result);

// The same for a channel: the rate of one counted ion, c/s; raises
// EZeroDivide when the window counted none.
double DetectionLimitRate(const TChannelResult& result);

// The sensitivity figure of sensitMode 0..3 (cps/ppb, ppb/cps, LOD ppb of the
// integration, LOD ppb of one point) for a window of `points` points; raises
// EZeroDivide where its divisor is 0.
double SensitivityFigure(const TCompoundResult& r, int sensitMode, int points);

// What a run produced. When an error ended it, `error` holds its message, the
// lines placed before it stay and the last line is the red "Exception was ".
struct TWindowRun {
    TWindowInputs inputs;  // what the run read, without the profile and library
    std::vector<TResultLine> lines;
    std::vector<std::string> intermediate;  // lines of the intermediate-results text (ppb mode)
    std::shared_ptr<TIntermediateText> intermediateText;  // what they are composed from (ppb mode)
    std::vector<TChannelResult> channels;   // count-rate mode, in channel order
    double totalRate = 0;                   // count-rate mode: the sum of the channel means, c/s
    std::vector<TCompoundResult> compounds; // ppb mode, selected compounds in library order
    TIsotopeSums isotope;                   // isotope mode
    TIsotopeFigures isotopeFigures;         // isotope mode
    std::vector<TAuxiliaryResult> auxiliary;  // every mode, the rows the lines show
    std::string error;
    bool ok() const { return error.empty(); }
};

// Runs the window calculation of the mode; never throws: arithmetic and
// other core errors end the run as described in TWindowRun.
TWindowRun RunWindowCalculation(const TWindowInputs& inputs);

}  // namespace kel
