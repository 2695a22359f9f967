#pragma once
// A summary as a picture: each channel's or compound's window means across
// the profiles, one point per profile and window, the profiles in the
// summary's date order.
#include <vector>

#include "browser/StudySummary.h"

namespace kel {

class TXYGraph;

// Fills graph with one curve per name (in the order first met, the curve
// colours, a legend line each) whose points lie at the profile's place in
// rows (1 for the first profile, in the order rows list them) and its mean;
// a row without a mean gives no point. Titles name the unit and the axis;
// both axes are fitted to the points.
void BuildSummaryGraph(TXYGraph& graph, const std::vector<TSummaryRow>& rows);

}  // namespace kel
