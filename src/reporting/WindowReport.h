#pragma once
// The window calculation's numbers for scripts: the profile, the mode, the
// fields, the window and every figure the result lines are drawn from, at
// full precision and with their units, walked once for every output form.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "kinetics/WindowResults.h"
#include "profile/Kel.h"

namespace kel {

// Receives the report as nested groups, lists of named items and values.
class TReportSink {
public:
    virtual ~TReportSink() = default;
    virtual void BeginGroup(std::string_view key) = 0;
    virtual void EndGroup() = 0;
    virtual void BeginList(std::string_view key) = 0;
    virtual void EndList() = 0;
    // An element of the open list, named (a channel, a compound, a row).
    virtual void BeginItem(std::string_view name) = 0;
    virtual void EndItem() = 0;
    // A number with its unit ("" for none); empty where the window shows "n.a.".
    virtual void Quantity(std::string_view key, std::optional<double> value, std::string_view unit) = 0;
    virtual void Text(std::string_view key, std::string_view value) = 0;
    virtual void Flag(std::string_view key, bool value) = 0;
};

// What the report reads: the profile and the last run of the window
// calculation over it, with the state of the window's controls.
struct TWindowReportInputs {
    const TKel* profile = nullptr;
    std::string path;                  // the profile's file as opened
    std::shared_ptr<const TWindowRun> run;
    std::vector<std::pair<std::string, double>> fields;  // numeric fields by control name
    std::vector<std::pair<std::string, bool>> switches;  // toggles by control name
    double pointTime = 0;              // seconds per point
};

// The mode's name in the report: "rate", "ppb" or "dh".
std::string_view ReportModeName(TPlotMode mode);

// Walks the whole report into sink; numbers are the run's own, never
// recomputed, and a figure the window shows as "n.a." (or cannot show) is empty.
void WriteWindowReport(const TWindowReportInputs& in, TReportSink& sink);

}  // namespace kel
