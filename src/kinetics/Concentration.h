#pragma once
// From count rates to concentrations: window means of a compound's precursor
// and product rates, its number density in the flow tube, the mixing ratio
// of the sample in ppb and the amount in moles.
#include <array>
#include <deque>
#include <exception>
#include <functional>
#include <vector>

#include "kinetics/Corrections.h"
#include "kinetics/Kbasetxt.h"
#include "profile/Kel.h"

namespace kel {

// The arrays filled for one compound and one window, indexed by precursor
// line i or product line j.
struct TWindowArrays {
    using Values = std::array<double, 29>;
    Values PrecursorRates{};    // corrected window mean, c/s
    Values RateCoefficients{};  // in force for the run, cm3 s-1
    Values PrecursorWeights{};
    Values ProductRates{};  // corrected window mean, c/s
    Values ProductWeights{};
    Values ProductCounts{};  // weighted sum of the filtered raw counts
};

struct TDensityResult {
    bool Computed = false;            // false when the inputs allow no computation
    double Density = 0;               // molecules cm-3 in the flow tube, never negative
    double WeightedProductRate = 0;   // c/s
};

// What filling the arrays needs of a compound, a profile and a run besides
// the window itself: the channel of every line, its correction and the rate
// coefficients in force. Made once, it serves any number of windows while
// the profile and the run stay as they were.
struct TWindowPlan {
    int PrecursorCount = 0;
    int ProductCount = 0;
    double DeadTime = 0;
    std::array<int, 16> PrecursorChannel{};  // -1 where the profile lacks the ion
    std::array<int, 16> ProductChannel{};
    std::array<TRateCorrection, 16> PrecursorCorrection{};
    std::array<TRateCorrection, 16> ProductCorrection{};
    std::array<double, 16> RateCoefficients{};
    std::array<double, 16> PrecursorWeights{};
    std::array<double, 16> ProductWeights{};
};

// Resolves the compound against the profile and run; raises the
// floating-point errors of the corrections and of a gas temperature of 0
// (m/z 37 association compounds).
TWindowPlan PlanWindow(const TKel& kel, const TCorrectionState& state, const TKrecord& compound);

// Fills `arrays` for points start..end (chronological, inclusive): dead-time
// corrected rates averaged with half weights at one end of the window, then
// corrected; weighted filtered counts of the products.
void FillWindowArrays(const TKel& kel, const TWindowPlan& plan, int start, int end, TWindowArrays& arrays);

// PlanWindow followed by FillWindowArrays for one window.
void FillWindowArrays(const TKel& kel, const TCorrectionState& state, const TKrecord& compound, int start, int end,
                      TWindowArrays& arrays);

// Number density of a compound with m precursor and n product lines from its
// window arrays and the reaction time t (s); raises the floating-point errors
// for a k[0] or t of 0 when there is something to divide.
TDensityResult ComputeDensity(int precursorCount, int productCount, const TWindowArrays& arrays, double t);

// Mixing ratio of the sample in ppb: flowFactor / sampleFlow * density /
// 3.28e16 * 1e9; raises the floating-point errors for a sample flow of 0.
double DensityToPpb(double density, double flowFactor, double sampleFlow);

// Moles over a window: ppb * 1e-9 * cycleTime * (end - start) * sampleFlow /
// 760 / 24.4.
double AmountMol(int start, int end, double ppb, double sampleFlow, double cycleTime);

// 1 / sqrt(S) for the summed counts S of the first n products with a positive
// weight; 1 when S is 0.
double RelativePoissonError(const TWindowArrays& arrays, int productCount);

// Summed counts of the first n products.
double ProductCountSum(const TWindowArrays& arrays, int productCount);

// The one-point rates of ion lines, each a channel read through a rate
// correction with a dead time, at points first..last of a profile. A line is
// computed once however many compounds read it, as the profile was then; it
// stops at its first failing point and keeps that point and its error.
class TLineRates {
public:
    struct TLine {
        int Channel = -1;
        TRateCorrection Correction;
        double DeadTime = 0;
        std::vector<double> Rates;   // of points first, first + 1, ...; 0 from the failing one on
        std::size_t FailedAt = 0;    // the failing point as an index from first; Points() when none
        std::exception_ptr Failure;  // its error; null when no point failed
    };

    // The lines of kel from point `first` to the last point, njm - 1.
    TLineRates(const TKel& kel, int first);

    // The lines of kel from point `first` to point `last`; none when last < first.
    TLineRates(const TKel& kel, int first, int last);

    // The number of points first..last.
    std::size_t Points() const { return slots_.size(); }

    // The profile the lines are read from.
    const TKel& Profile() const { return kel_; }

    // The line of the channel through the correction with the dead time,
    // computed when first asked for; it stays valid while the object lives.
    const TLine& Line(int channel, const TRateCorrection& correction, double deadTime);

private:
    const TKel& kel_;
    std::vector<int> slots_;  // the storage slot of every point
    std::deque<TLine> lines_;
};

// The densities of a compound at the one-point windows of points first,
// first + 1, ..., njm - 1, exactly as FillWindowArrays(i, i) and ComputeDensity
// give them. Nothing is raised: the series ends at the first point whose
// window or density fails and keeps that error for the caller to raise when
// it reaches that point.
struct TDensitySeries {
    std::vector<TDensityResult> Results;  // of points first, first + 1, ...
    std::exception_ptr Failure;           // the error of the point after the last result; null when none
};

// The window means of ion lines over one window start..end, as
// FillWindowArrays gives them; a line is read once however many compounds
// read it, as the profile was then.
class TWindowLines {
public:
    TWindowLines(const TKel& kel, int start, int end) : kel_(kel), start_(start), end_(end) {}

    // Fills `arrays` exactly as FillWindowArrays(kel, plan, start, end,
    // arrays) does, raising its errors in the same order.
    void Fill(const TWindowPlan& plan, TWindowArrays& arrays);

private:
    struct TLine {
        int Channel = -1;
        TRateCorrection Correction;
        double DeadTime = 0;
        double Rate = 0, Count = 0;
    };
    const TKel& kel_;
    int start_, end_;
    std::vector<TLine> lines_;
};

// The density series of the plan over the points of `lines`; `reactionTime`
// is asked once, after the window of the first point was filled (its error
// becomes that point's error), and not at all when there is no such window.
TDensitySeries DensitySeries(TLineRates& lines, const TWindowPlan& plan, const std::function<double()>& reactionTime);

// The compound's concentration in ppb at every point of `lines` (which must
// start at point 0 to give the whole profile), each a window of one point;
// `ppb` is resized to njm. Raises the first error of any of its lines.
void ConcentrationSeries(TLineRates& lines, const TCorrectionState& state, const TKrecord& compound,
                         std::vector<double>& ppb);

// The same series read from lines of its own.
void ConcentrationSeries(const TKel& kel, const TCorrectionState& state, const TKrecord& compound,
                         std::vector<double>& ppb);

// The "ppb" selection: compounds for which the profile measures all products
// of a precursor line with its precursor ion are selected, all others not.
void SelectCompoundsForPpb(TKbase& library, const TKel& kel);

}  // namespace kel
