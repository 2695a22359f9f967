#pragma once
// The large graph the drawing benchmarks share: 15 line curves of 32767
// count-rate-like points (levels from 10 to 1e6 c/s on a log axis, a slow
// breathing swing and point-to-point scatter) on a 1600 x 900 drawing.
#include <cmath>
#include <vector>

#include "plot/Xygraphc.h"

namespace kel::bench {

inline constexpr int kGraphCurves = 15;
inline constexpr int kGraphPoints = 32767;
inline constexpr int kGraphWidth = 1600;
inline constexpr int kGraphHeight = 900;

// Fills graph with the curves, its axes fitted to them, at the benchmark's size.
inline void FillLargeGraph(TXYGraph& graph) {
    graph.Font().SetHeight(13);
    graph.SetWidth(kGraphWidth);
    graph.SetHeight(kGraphHeight);
    graph.SetYScale(scLog10);
    graph.SetTitleLeft("c/s");
    graph.SetTitleBottom("time [s]");
    std::vector<double> y(kGraphPoints);
    unsigned seed = 12345;
    for (int k = 0; k < kGraphCurves; ++k) {
        const double level = std::pow(10.0, 1 + 5.0 * k / (kGraphCurves - 1));
        for (int i = 0; i < kGraphPoints; ++i) {
            seed = seed * 1103515245u + 12345u;
            const double noise = ((seed >> 8) % 1000) / 1000.0 - 0.5;
            y[static_cast<std::size_t>(i)] = level * (1 + 0.5 * std::sin(i / 400.0 + k) + 0.4 * noise);
        }
        graph.SetCurveX(k, kGraphPoints, 0, kGraphPoints - 1);
        graph.SetCurveY(k, y.data(), kGraphPoints);
        graph.SetCurveStyle(k, csLine);
        graph.CurvePen(k).SetColor(RGBColor(40 * k % 256, 90 * k % 256, 160));
    }
    graph.Setxmax(kGraphPoints - 1);
    graph.AutoScaleY();
}

}  // namespace kel::bench
