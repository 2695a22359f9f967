#pragma once
// Several profiles side by side: one channel's count rates, or one
// compound's ppb, of each profile as a curve of its own, and a table of each
// profile's window results for it, as the summary computes them.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "browser/StudySummary.h"
#include "common/IoResult.h"

namespace kel {

class TSessionTemplate;
class TXYGraph;

// The time axis of the compared curves: seconds on each profile's own axis
// (from its start, as the main window shows it), or the clock time of each
// point in hours from midnight of the oldest profile's day.
enum class TCompareTime { FromStart, Clock };

// What one profile gave: its curves and window results, or why it gave none.
struct TComparedProfile {
    std::string path;
    double date = 0;                // ProfileDate, days
    std::vector<double> x;          // seconds on the profile's time axis, per point
    std::vector<double> clock;      // seconds of each point after the profile's start
    std::vector<std::string> names; // channel or compound of each curve
    std::vector<std::vector<double>> values;  // each curve's values, per point
    std::vector<TSummaryRow> rows;  // the window results, in the order of names
    TIoResult failure;
};

class TCompareModel {
public:
    // Opens each profile with the template (on the calling thread, in the
    // order given), over the window [from, to] seconds or the whole profile;
    // keeps what the profiles that could not be read or computed failed with.
    void Load(const std::vector<std::string>& paths, const TSessionTemplate& setup,
              std::optional<std::pair<double, double>> window = std::nullopt);

    // Every channel or compound some profile gave, in the order first met.
    std::vector<std::string> Names() const;
    // "ppb" or "c/s" (empty before a profile was read).
    std::string Unit() const;
    // One row per profile read, in the order given: the window results of
    // name, with empty numbers for a profile that does not measure it.
    std::vector<TSummaryRow> TableRows(const std::string& name) const;
    // The table as the summary's long CSV, which ParseSummaryCsv reads back.
    std::string TableCsv(const std::string& name) const { return SummaryCsv(TableRows(name)); }
    // Fills graph with one curve per profile that measures name, in the
    // curve colours, a legend line with each profile's file name, titles,
    // and both axes fitted to the curves.
    void BuildGraph(TXYGraph& graph, const std::string& name, TCompareTime time) const;

    const std::vector<TComparedProfile>& Profiles() const { return profiles_; }
    // The profiles that gave nothing, in the order given.
    std::vector<TIoResult> Failures() const;

private:
    std::vector<TComparedProfile> profiles_;
};

// The name of the file without its folder.
std::string FileNameOf(const std::string& path);

}  // namespace kel
