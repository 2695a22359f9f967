#pragma once
// Reading counts and count rates of the ion channels of a profile, with the
// optional outlier filter, and finding channels and readings by name. The
// per-point reads are inline: the plot calls them for every channel, point
// and compound.
#include <cmath>
#include <cstdint>
#include <string_view>

#include "common/Errors.h"
#include "kinetics/Corrections.h"
#include "profile/Kel.h"

namespace kel {

// Storage slot of chronological point i: (i + jm) mod njm; -1 when the
// profile has no slots.
inline int SlotOfPoint(const TKel& kel, int point) { return kel.njm <= 0 ? -1 : (point + kel.jm) % kel.njm; }

// The counts of channel k (row 2k+1), or null when the profile has no such
// channel (or its arrays do not hold all njm slots).
inline const std::int32_t* ChannelRow(const TKel& kel, int k) {
    if (k < 0 || 2 * k + 1 >= kel.nim) return nullptr;
    auto row = static_cast<std::size_t>(2 * k + 1);
    if (row >= kel.Counts.size() || row >= kel.Cntm.size() || kel.Counts[row].size() < static_cast<std::size_t>(kel.njm))
        return nullptr;
    return kel.Counts[row].data();
}

// The outlier filter's value for count x between its storage neighbours a
// and b with the filter power s'. Above a mean of 25: the mean replaces x
// beyond |s'| times the Poisson deviation plus the neighbours' spread (above
// only, for a negative s'). At or below: zeros become the mean for |s'| < 2,
// and for |s'| < 1.5 the (1, 2, 1)-weighted average is taken.
inline double FilteredCount(double x, double a, double b, double power) {
    double m = (a + b) / 2;
    double spread = std::fabs(power);
    if (m > 25) {
        double e = std::sqrt(m) + std::fabs(a - m);
        if (x > m + spread * e) return m;
        if (power > 0 && x < m - spread * e) return m;
        return x;
    }
    if (x == 0 && spread < 2) x = m;
    if (spread < 1.5) return (m + x) / 2;
    return x;
}

// Raw count of channel k in slot s; 0 for a channel or slot outside the profile.
inline std::int32_t RawCountAt(const TKel& kel, int k, int s) {
    const std::int32_t* row = ChannelRow(kel, k);
    return row && s >= 0 && s < kel.njm ? row[s] : 0;
}

// Count in slot s of a channel's row (from ChannelRow), replaced by the
// outlier filter's value where the filter applies; 0 for a missing row or a
// slot outside the profile.
inline double CountInRow(const TKel& kel, const std::int32_t* row, int s) {
    if (!row || s < 0 || s >= kel.njm) return 0;
    double x = row[s];
    // The ends of the storage ring and the two slots last written lack a
    // trustworthy neighbour, so they are never filtered.
    if (kel.OutlierFilter > 0 && s > 0 && s < kel.njm - 1 && s < kel.jm - 2)
        return FilteredCount(x, row[s - 1], row[s + 1], kel.OutlierPower);
    return x;
}

// Count of channel k in slot s, replaced by the outlier filter's value where
// the filter applies; 0 for a channel or slot outside the profile.
inline double CountAt(const TKel& kel, int k, int s) { return CountInRow(kel, ChannelRow(kel, k), s); }

// The counts and count rates of one channel, slot after slot, with the
// channel looked up once: the plot reads every slot of every channel on each
// refresh.
class TChannelRates {
public:
    TChannelRates(const TKel& kel, int k) : kel_(kel), row_(ChannelRow(kel, k)) {
        if (row_) dwell_ = kel.Cntm[static_cast<std::size_t>(2 * k + 1)];
    }
    // CountAt(kel, k, s).
    double Count(int s) const { return CountInRow(kel_, row_, s); }
    // Count rate (c/s) of `count` counts: count * FScan / dwell, 0 for a
    // channel outside the profile; raises EZeroDivide / EInvalidOp for a
    // dwell of 0.
    double Rate(double count) const { return row_ ? CheckedDivide(count * kel_.FScan, dwell_) : 0; }
    // The filtered count in slot s and its rate corrected for the dead time
    // tau: what every window mean and one-point rate of the channel is made
    // of; raises the errors of Rate and DeadTimeCorrect.
    struct TReading {
        double count, rate;
    };
    TReading Read(int s, double tau) const {
        double x = Count(s);
        return {x, DeadTimeCorrect(Rate(x), tau)};
    }

private:
    const TKel& kel_;
    const std::int32_t* row_;
    double dwell_ = 0;
};

// Count rate of channel k in slot s, filtered like CountAt; 0 for a channel
// outside the profile; raises like TChannelRates::Rate.
inline double RateAt(const TKel& kel, int k, int s) {
    TChannelRates channel(kel, k);
    return channel.Rate(channel.Count(s));
}

// Highest channel whose mass lies within 0.5 of m; -1 when none.
int IonIndexOfMass(const TKel& kel, double m);

// Highest of the auxiliary rows 18, 20, ..., 26 whose name contains text
// (case-sensitive); -1 when none.
int AuxRowOfName(const TKel& kel, std::string_view text);

}  // namespace kel
