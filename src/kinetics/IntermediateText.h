#pragma once
// The intermediate-results text of a ppb window calculation, kept as the
// numbers the calculation computed and composed only when it is read: a
// window over a whole long profile makes millions of lines nobody may look
// at, and the profile and library may have changed by then.
#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "kinetics/Concentration.h"
#include "kinetics/Kbasetxt.h"
#include "profile/Kel.h"

namespace kel {

class TIntermediateText {
public:
    // The text of a calculation over points start..end of kel, whose
    // one-point rates the calculation reads from Lines().
    TIntermediateText(const TKel& kel, int start, int end) : lines_(kel, start, end), start_(start) {}
    // The points refer to the rates and counts kept here.
    TIntermediateText(const TIntermediateText&) = delete;
    TIntermediateText& operator=(const TIntermediateText&) = delete;

    // The one-point rates of the window; the text shows them as they are now.
    TLineRates& Lines() { return lines_; }

    // Adds a line as it is.
    void AddLine(std::string line);

    // Starts the points of a compound: the rates of its plan's lines from
    // Lines(), its raw counts read from kel now.
    void StartPoints(const TKel& kel, const TWindowPlan& plan);

    // Adds the next point of the compound last started, with its density.
    void AddDensity(double density);

    // The text, line by line.
    std::vector<std::string> Compose() const;

private:
    // The points of one compound: its lines' one-point rates and raw counts, and
    // the densities of the points shown, from the window's first point on.
    struct TPoints {
        std::vector<const std::vector<std::int32_t>*> precursorRaw, productRaw;
        std::vector<const std::vector<double>*> precursorRates, productRates;
        std::vector<double> densities;
    };

    const std::vector<std::int32_t>& RawCounts(const TKel& kel, int channel);
    std::string PointLine(const TPoints& points, std::size_t i) const;

    TLineRates lines_;
    int start_;
    std::map<int, std::vector<std::int32_t>> raw_;  // by channel, of the window's points
    std::vector<std::variant<std::string, TPoints>> entries_;
};

}  // namespace kel
