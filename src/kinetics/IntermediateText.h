#pragma once
// The intermediate-results text of a ppb window calculation, kept as the ion
// lines the calculation computed, the window's raw counts and the compounds'
// plans, and composed only when it is read: a window over a whole long
// profile makes millions of lines nobody may look at, and the profile and
// library may have changed by then.
#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "kinetics/Concentration.h"
#include "profile/Kel.h"

namespace kel {

class TIntermediateText {
public:
    // The text of a calculation over points start..end of kel, whose
    // one-point rates the calculation reads from Lines(). Composing the text
    // later reads nothing of kel.
    TIntermediateText(const TKel& kel, int start, int end) : lines_(kel, start, end), start_(start) {}
    // The points refer to the rates and counts kept here.
    TIntermediateText(const TIntermediateText&) = delete;
    TIntermediateText& operator=(const TIntermediateText&) = delete;

    // The one-point rates of the window, computed once for the calculation
    // and its text.
    TLineRates& Lines() { return lines_; }

    // Adds a line as it is.
    void AddLine(std::string line);

    // Adds the first `count` points of a compound: the rates of its plan's
    // lines from Lines() and its densities with the reaction time t, both
    // computed again when composing, and its raw counts read from kel now.
    void AddPoints(const TKel& kel, const TWindowPlan& plan, double t, std::size_t count);

    // The text, line by line.
    std::vector<std::string> Compose();

private:
    // The points of one compound, from the window's first point on.
    struct TPoints {
        TWindowPlan plan;
        double t = 0;
        std::size_t count = 0;
        std::vector<const std::vector<std::int32_t>*> precursorRaw, productRaw;
        std::vector<const std::vector<double>*> precursorRates, productRates;
    };

    const std::vector<std::int32_t>& RawCounts(const TKel& kel, int channel);
    std::string PointLine(const TPoints& points, std::size_t i, double density) const;

    TLineRates lines_;
    int start_;
    std::map<int, std::vector<std::int32_t>> raw_;  // by channel, of the window's points
    std::vector<std::variant<std::string, TPoints>> entries_;
};

}  // namespace kel
