#pragma once
// Cutting a headspace profile into sections by its recorded pressure: runs of
// points during which the reading stays below a level between its minimum
// and maximum.
#include <optional>
#include <utility>
#include <vector>

#include "profile/Kel.h"

namespace kel {

struct TPressureSections {
    std::vector<std::pair<int, int>> closed;  // first and last point of every section
    std::optional<int> openStart;             // a section still open at the last point
};

// The pressure series of a row: |raw count| of every point in time order.
std::vector<double> PressureSeries(const TKel& kel, int row);

// The sections of v below min + (max - min) * levelPercent / 100. The search
// starts at the first point from the second on that reaches the level;
// values equal to the level neither start nor end a section.
TPressureSections FindPressureSections(const std::vector<double>& v, double levelPercent);

}  // namespace kel
