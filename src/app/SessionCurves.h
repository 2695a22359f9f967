#pragma once
// The curves of the main graph as the user shows or hides them, and the
// window's points as a table.
#include <set>
#include <string>

#include "kinetics/WindowResults.h"
#include "plot/GraphAttributes.h"

namespace kel {

// The curves the user has hidden, by legend name, for each plot mode. A
// name stays hidden in every profile that has a curve of that name.
struct THiddenCurves {
    std::set<std::string> Rate;     // ion channels and "(total)"
    std::set<std::string> Ppb;      // compounds
    std::set<std::string> Isotope;  // the two group signals and "R1liq"

    // The names hidden in mode.
    std::set<std::string>& Of(TPlotMode mode);
    const std::set<std::string>& Of(TPlotMode mode) const;
    bool operator==(const THiddenCurves&) const = default;
};

// One curve of the current mode as the curves panel lists it.
struct TCurveEntry {
    int Index = 0;          // the curve's index on the main graph
    std::string Name;       // its legend name
    TColor Color = 0;       // its pen colour
    std::string MeanText;   // its window mean with unit; empty when there is none
    bool Hidden = false;
    bool operator==(const TCurveEntry&) const = default;
};

}  // namespace kel
