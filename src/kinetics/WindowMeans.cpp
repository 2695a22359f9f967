#include "kinetics/WindowMeans.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "common/Errors.h"
#include "kinetics/CountAccess.h"

namespace kel {

int IonChannelCount(const TKel& kel) {
    auto rows = std::min({kel.Name.size(), kel.Cntm.size(), kel.Counts.size()});
    int channels = std::min<int>(kel.nim / 2, static_cast<int>(rows / 2));
    channels = std::min<int>(channels, static_cast<int>(kel.IonMass.size()));
    return std::max(channels, 0);
}

TChannelWindow ChannelWindow(const TKel& kel, double deadTime, int k, int start, int end) {
    TChannelWindow window;
    TChannelRates channel(kel, k);
    // Channels of the cycle's first half are measured before the others, so
    // each weighs half at the end of the window where it was measured least.
    int halfPoint = k < kel.nim / 4 ? start : end;
    double rateSum = 0;
    for (int point = start; point <= end; ++point) {
        TChannelRates::TReading reading = channel.Read(SlotOfPoint(kel, point), deadTime);
        double weight = point == halfPoint ? 0.5 : 1.0;
        rateSum += weight * reading.rate;
        window.CountSum += weight * reading.count;
        window.PlainSum += reading.rate;
        window.PlainSquares += reading.rate * reading.rate;
        ++window.Points;
    }
    window.MeanRate = CheckedFinite(rateSum / ((end - start) + 0.5));
    return window;
}

double ChannelWindowMean(const TKel& kel, const TCorrectionState& state, int k, int start, int end) {
    double mass = k >= 0 && k < static_cast<int>(kel.IonMass.size()) ? kel.IonMass[static_cast<std::size_t>(k)] : 0;
    return CorrectedValue(kel, state, ChannelWindow(kel, state.DeadTime, k, start, end).MeanRate, mass);
}

double RowWindowMean(const TKel& kel, int row, int start, int end) {
    double sum = 0;
    if (row >= 0 && static_cast<std::size_t>(row) < kel.Counts.size()) {
        const std::vector<std::int32_t>& values = kel.Counts[static_cast<std::size_t>(row)];
        for (int point = start; point <= end; ++point) {
            int slot = SlotOfPoint(kel, point);
            if (slot >= 0 && static_cast<std::size_t>(slot) < values.size())
                sum += values[static_cast<std::size_t>(slot)];
        }
    }
    return CheckedDivide(sum, end - start + 1);
}

double RelativeStandardError(double u, double q, int n) {
    if (n < 2) return 0;
    double squaresAboutMean = q - u * u / n;
    if (!(squaresAboutMean > 0)) return 0;  // also when rounding made it a hair negative
    double mean = u / n;
    return CheckedFinite(CheckedDivide(std::sqrt(squaresAboutMean / ((n - 1.0) * n)) * 100, mean));
}

}  // namespace kel
