#include "reporting/Headspace.h"

#include <algorithm>
#include <cmath>

#include "kinetics/CountAccess.h"

namespace kel {

std::vector<double> PressureSeries(const TKel& kel, int row) {
    std::vector<double> v(static_cast<std::size_t>(std::max<int>(kel.njm, 0)));
    const auto& counts = kel.Counts[static_cast<std::size_t>(row)];
    for (std::size_t i = 0; i < v.size(); ++i) {
        int slot = SlotOfPoint(kel, static_cast<int>(i));
        if (slot >= 0 && static_cast<std::size_t>(slot) < counts.size())
            v[i] = std::fabs(static_cast<double>(counts[static_cast<std::size_t>(slot)]));
    }
    return v;
}

TPressureSections FindPressureSections(const std::vector<double>& v, double levelPercent) {
    TPressureSections sections;
    if (v.empty()) return sections;
    auto [lo, hi] = std::minmax_element(v.begin(), v.end());
    double level = *lo + (*hi - *lo) * levelPercent / 100;
    std::size_t first = 1;
    while (first < v.size() && v[first] < level) ++first;
    bool above = true;
    int start = 0;
    for (std::size_t i = first; i < v.size(); ++i) {
        if (above && v[i] < level) {
            start = static_cast<int>(i);
            above = false;
        }
        if (!above && v[i] > level) {
            sections.closed.emplace_back(start, static_cast<int>(i) - 1);
            above = true;
        }
    }
    if (!above) sections.openStart = start;
    return sections;
}

}  // namespace kel
