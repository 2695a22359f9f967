#include "kinetics/IsotopeRatio.h"

#include <cmath>
#include <string>

#include "common/Errors.h"
#include "common/NumberText.h"
#include "kinetics/WindowMeans.h"
#include "plot/CurveColors.h"

namespace kel {

namespace {

constexpr TColor kBlue = RGBColor(0, 0, 255);
constexpr TColor kBlack = RGBColor(0, 0, 0);
constexpr TColor kGreen = RGBColor(0, 128, 0);

// 1 / sqrt(n), written as sqrt(n) / n.
double InverseRoot(double n) { return CheckedFinite(std::sqrt(n) / n); }

}  // namespace

TIsotopeSums ComputeIsotopeSums(const TKel& kel, const TCorrectionState& corrections, int start, int end,
                                const TIsotopeParams& params) {
    TIsotopeSums sums;
    int half = kel.nim / 4;
    int channels = IonChannelCount(kel);
    for (int c = 0; c < channels; ++c) {
        TChannelWindow window = ChannelWindow(kel, corrections.DeadTime, c, start, end);
        if (c < half) {
            sums.S74 += window.MeanRate;
            sums.N74 += window.CountSum;
        } else {
            sums.S75 += window.MeanRate;
            sums.N75 += window.CountSum;
            if (c < 2 * half) sums.PeakList.push_back(window.MeanRate);
        }
    }
    // Both peaks are averaged over the same number of channels, also when
    // the 75 group has an extra one.
    sums.S74 = CheckedDivide(sums.S74, half) - params.b74;
    sums.S75 = CheckedDivide(sums.S75, half) - params.b75;
    sums.RelErr = sums.N74 > 0 && sums.N75 > 0 ? InverseRoot(sums.N74) + InverseRoot(sums.N75) : 1;
    return sums;
}

double R1VapourOf(double q, const TIsotopeParams& params) {
    return CheckedFinite((q * params.R3 - params.R2) * kR1PerAbundance);
}

TIsotopeRatio ComputeIsotopeRatio(const TIsotopeSums& sums, const TIsotopeParams& params) {
    TIsotopeRatio ratio;
    ratio.Q = CheckedDivide(sums.S74, sums.S75);
    ratio.R1Vapour = R1VapourOf(ratio.Q, params);
    ratio.R1VapourError = CheckedFinite(ratio.Q * params.R3 * sums.RelErr * kR1PerAbundance);
    ratio.R1Liquid = CheckedDivide(ratio.R1Vapour, params.liq);
    ratio.R1LiquidError = CheckedDivide(ratio.R1VapourError, params.liq);
    return ratio;
}

TPeakShape PeakShapeOf(const std::vector<double>& peak) {
    TPeakShape result;
    double s = 0;
    for (double x : peak) s += x;
    if (s == 0) return result;
    double centre = (static_cast<double>(peak.size()) - 1) / 2;
    double first = 0, second = 0;
    for (std::size_t c = 0; c < peak.size(); ++c) {
        double offset = centre - static_cast<double>(c);
        first += offset * peak[c];
        second += offset * offset * peak[c];
    }
    double points = static_cast<double>(peak.size());
    result.Slope = CheckedDivide(first, s);
    result.Shape = CheckedFinite((points * points - 1) / 12 - CheckedDivide(second, s));
    return result;
}

void AppendIsotopeLines(const TIsotopeSums& sums, const TIsotopeParams& params, std::vector<TResultLine>& lines,
                        TIsotopeFigures& figures) {
    auto add = [&lines](std::string text, int k, TColor color, TLineBox box = TLineBox::GraphBox,
                        TFontStyles style = 0) { lines.push_back({std::move(text), 80, 50 + 20 * k, color, box, style}); };
    add("(74) " + FormatFixed(sums.S74, 6, 0), 0, CurveColor(0));
    add("(75) " + FormatFixed(sums.S75, 6, 0), 1, CurveColor(1));
    if (sums.S75 == 0) return;  // no ratio without a 75 signal

    TIsotopeRatio ratio = ComputeIsotopeRatio(sums, params);
    TPeakShape shape = PeakShapeOf(sums.PeakList);
    figures = {true, ratio, shape};
    add("Q= " + FormatFixed(ratio.Q, 6, 4) + "±" + FormatFixed(sums.RelErr * 100, 0, 1) + "%", 2, kBlue);
    add("R1vap= " + FormatFixed(ratio.R1Vapour, 3, 0) + "±" + FormatFixed(ratio.R1VapourError, 1, 0) + " ppm", 3,
        kBlack);
    add("R1liq= " + FormatFixed(ratio.R1Liquid, 3, 0) + "±" + FormatFixed(ratio.R1LiquidError, 1, 0) + " ppm", 4,
        CurveColor(6), TLineBox::White, fsBold);
    add("shape= " + FormatFixed(shape.Shape, 3, 3), 5, kGreen);
    add("slope= " + FormatFixed(shape.Slope, 3, 3), 6, kGreen);
}

}  // namespace kel
