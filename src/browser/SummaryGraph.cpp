#include "browser/SummaryGraph.h"

#include <algorithm>
#include <map>

#include "common/NumberText.h"
#include "plot/CurveColors.h"
#include "plot/Xygraphc.h"

namespace kel {

namespace {

constexpr std::int32_t kLegendTag = 0;
constexpr TColor kLegendBox = PaletteColor(0xE0, 0xE0, 0xE0);

}  // namespace

void BuildSummaryGraph(TXYGraph& graph, const std::vector<TSummaryRow>& rows) {
    graph.Curves.Clear();
    graph.DeleteComments(kLegendTag);
    std::vector<std::string> names, units;
    std::map<std::string, int> curveOf;
    std::string lastFile;
    int place = 0;
    for (const TSummaryRow& row : rows) {
        if (place == 0 || row.file != lastFile) {
            ++place;
            lastFile = row.file;
        }
        auto [at, added] = curveOf.emplace(row.name, static_cast<int>(names.size()));
        if (added) {
            names.push_back(row.name);
            graph.SetCurveStyle(at->second, csLineMarkers);
            graph.CurvePen(at->second).SetColor(CurveColor(at->second));
            // Each profile's mean is a measured point; the line only guides the eye.
            TCurve& curve = graph.Curve(at->second);
            curve.MarkerKind = mkCircle;
            curve.Brush.SetColor(CurveColor(at->second));
            graph.AddComment(kLegendTag, row.name, 80, 50 + 20 * at->second, kCommentPixelBox, CurveColor(at->second),
                             kLegendBox, 0);
        }
        if (std::find(units.begin(), units.end(), row.unit) == units.end()) units.push_back(row.unit);
        if (row.mean.empty()) continue;
        TCurve& curve = graph.Curve(at->second);
        curve.X.push_back(place);
        curve.Y.push_back(TextToFloat(row.mean));
        curve.XLength = curve.YLength = curve.Count = static_cast<std::int32_t>(curve.X.size());
    }
    std::string unit;
    for (const std::string& u : units) unit += (unit.empty() ? "" : ", ") + u;
    graph.SetTitleLeft(unit);
    graph.SetTitleBottom("profile, oldest first (1 to " + std::to_string(place) + ")");
    graph.SetTitleTop("window means across profiles");
    // Whole profiles on the axis, with half a profile's room at either end.
    graph.Setxmin(0.5);
    graph.Setxmax(std::max(place, 1) + 0.5);
    graph.SetOptions(graph.Options() & ~xyAutoXDiv);
    graph.XMinorCount = 1;
    graph.SetXdiv(1);
    graph.AutoScaleY();
    graph.Changed(&graph);
}

}  // namespace kel
