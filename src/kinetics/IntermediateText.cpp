#include "kinetics/IntermediateText.h"

#include <algorithm>

#include "common/NumberText.h"
#include "kinetics/CountAccess.h"

namespace kel {

void TIntermediateText::AddLine(std::string line) { entries_.emplace_back(std::move(line)); }

const std::vector<std::int32_t>& TIntermediateText::RawCounts(const TKel& kel, int channel) {
    auto [it, added] = raw_.try_emplace(channel);
    if (added) {
        it->second.resize(lines_.Points());
        for (std::size_t i = 0; i < it->second.size(); ++i)
            it->second[i] = RawCountAt(kel, channel, SlotOfPoint(kel, start_ + static_cast<int>(i)));
    }
    return it->second;
}

void TIntermediateText::AddPoints(const TKel& kel, const TWindowPlan& plan, double t, std::size_t count) {
    TPoints points{plan, t, count, {}, {}, {}, {}};
    for (std::size_t p = 0; p < static_cast<std::size_t>(plan.PrecursorCount); ++p) {
        points.precursorRaw.push_back(&RawCounts(kel, plan.PrecursorChannel[p]));
        points.precursorRates.push_back(
            &lines_.Line(plan.PrecursorChannel[p], plan.PrecursorCorrection[p], plan.DeadTime).Rates);
    }
    for (std::size_t q = 0; q < static_cast<std::size_t>(plan.ProductCount); ++q) {
        points.productRaw.push_back(&RawCounts(kel, plan.ProductChannel[q]));
        points.productRates.push_back(
            &lines_.Line(plan.ProductChannel[q], plan.ProductCorrection[q], plan.DeadTime).Rates);
    }
    entries_.emplace_back(std::move(points));
}

// Point i of the compound: raw and corrected rates of its precursor and
// product lines, and the density.
std::string TIntermediateText::PointLine(const TPoints& points, std::size_t i, double density) const {
    std::string line = std::to_string(start_ + static_cast<int>(i) + 1) + "\traw prec\t";
    for (const auto* raw : points.precursorRaw) line += std::to_string((*raw)[i]) + "\t";
    line += "correct prec\t";
    for (const auto* rates : points.precursorRates) line += FormatPattern("0.0", (*rates)[i]) + "\t";
    line += "raw prod\t";
    for (const auto* raw : points.productRaw) line += std::to_string((*raw)[i]) + "\t";
    line += "correct prod\t";
    for (const auto* rates : points.productRates) line += FormatPattern("0.0", (*rates)[i]) + "\t";
    return line + "density\t" + FormatPattern("0.0", density) + "\t";
}

std::vector<std::string> TIntermediateText::Compose() {
    std::vector<std::string> text;
    for (const auto& entry : entries_) {
        if (const auto* line = std::get_if<std::string>(&entry)) {
            text.push_back(*line);
            continue;
        }
        // The series of the calculation again, from the lines it made: the
        // same numbers, kept only while they are written.
        const TPoints& points = std::get<TPoints>(entry);
        TDensitySeries series = DensitySeries(lines_, points.plan, [&points] { return points.t; });
        std::size_t shown = std::min(points.count, series.Results.size());
        for (std::size_t i = 0; i < shown; ++i) text.push_back(PointLine(points, i, series.Results[i].Density));
    }
    return text;
}

}  // namespace kel
