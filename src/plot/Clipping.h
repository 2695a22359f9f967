#pragma once
// Lines cut at the edge of the plot area.
#include <cstdint>

#include "plot/Canvas.h"

namespace kel {

// a * b / c with a 64-bit product, rounded to nearest, halves away from zero;
// c = 0 gives 0 (there is no quotient to draw).
std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c);

// Where the segment from anchor (inside plot) to p leaves the plot: p moved
// along the segment onto the bottom, top, left and right edges, in that order.
TPoint ClipToPlot(const TRect& plot, TPoint anchor, TPoint p);

// The polyline through points[0..n-1] cut at the plot's edges; a segment whose
// two ends both lie outside is left out, even where it crosses the plot.
void DrawClippedPolyline(TCanvas& canvas, const TRect& plot, const TPoint* points, int n);

}  // namespace kel
