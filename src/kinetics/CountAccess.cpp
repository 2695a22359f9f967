#include "kinetics/CountAccess.h"

#include <algorithm>
#include <cmath>

#include "common/Errors.h"

namespace kel {

namespace {

bool ChannelInProfile(const TKel& kel, int k) {
    return k >= 0 && 2 * k + 1 < kel.nim && 2 * k + 1 < static_cast<int>(kel.Counts.size()) &&
           2 * k + 1 < static_cast<int>(kel.Cntm.size());
}

// The row's counts when channel k and slot s lie inside the profile (and its
// arrays), else null.
const std::int32_t* ChannelCounts(const TKel& kel, int k, int s) {
    if (!ChannelInProfile(kel, k) || s < 0 || s >= kel.njm) return nullptr;
    const std::vector<std::int32_t>& counts = kel.Counts[static_cast<std::size_t>(2 * k + 1)];
    if (s >= static_cast<int>(counts.size())) return nullptr;
    return counts.data();
}

// The filter's value for count x between storage neighbours a and b.
double FilteredCount(double x, double a, double b, double power) {
    double m = (a + b) / 2;
    double spread = std::fabs(power);
    if (m > 25) {
        // Beyond the Poisson scatter of the neighbours' mean plus their own spread.
        double e = std::sqrt(m) + std::fabs(a - m);
        if (x > m + spread * e) return m;
        if (power > 0 && x < m - spread * e) return m;
        return x;
    }
    if (x == 0 && spread < 2) x = m;
    if (spread < 1.5) return (m + x) / 2;
    return x;
}

}  // namespace

int SlotOfPoint(const TKel& kel, int point) {
    if (kel.njm <= 0) return -1;
    return (point + kel.jm) % kel.njm;
}

std::int32_t RawCountAt(const TKel& kel, int k, int s) {
    const std::int32_t* counts = ChannelCounts(kel, k, s);
    return counts ? counts[s] : 0;
}

double CountAt(const TKel& kel, int k, int s) {
    const std::int32_t* counts = ChannelCounts(kel, k, s);
    if (!counts) return 0;
    double x = counts[s];
    // The ends of the storage ring and the two slots last written have only
    // one trustworthy neighbour, so they are never filtered.
    bool filtered = kel.OutlierFilter > 0 && s > 0 && s < kel.njm - 1 && s < kel.jm - 2;
    if (!filtered) return x;
    return FilteredCount(x, counts[s - 1], counts[s + 1], kel.OutlierPower);
}

double RateOfCount(const TKel& kel, int k, double count) {
    if (!ChannelInProfile(kel, k)) return 0;
    return CheckedDivide(count * kel.FScan, kel.Cntm[static_cast<std::size_t>(2 * k + 1)]);
}

double RateAt(const TKel& kel, int k, int s) {
    return RateOfCount(kel, k, CountAt(kel, k, s));
}

int IonIndexOfMass(const TKel& kel, double m) {
    int channels = std::min<int>(kel.nim / 2, static_cast<int>(kel.IonMass.size()));
    for (int k = channels - 1; k >= 0; --k)
        if (std::fabs(m - kel.IonMass[static_cast<std::size_t>(k)]) < 0.5) return k;
    return -1;
}

int AuxRowOfName(const TKel& kel, std::string_view text) {
    for (int row = 26; row >= 18; row -= 2)
        if (row < static_cast<int>(kel.Name.size()) &&
            kel.Name[static_cast<std::size_t>(row)].find(text) != std::string::npos)
            return row;
    return -1;
}

}  // namespace kel
