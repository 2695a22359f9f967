#pragma once
// The computations of the Python module on a profile file, each through the
// command-line tool's session: the window's own code with a settings store
// in memory, so that every number equals what the window draws.
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/CliOptions.h"
#include "kinetics/Kbasetxt.h"
#include "profile/Kel.h"
#include "reporting/WindowReport.h"

namespace kel::py {

// A failure of the module's work, with the file it was on.
struct TScriptError {
    enum class Kind { Load, Kinetics, Field, Calculation };
    Kind kind = Kind::Load;
    std::string message;
    std::string file;
};

// How a computation shows the profile: the kinetics file, the mode, the
// selection in seconds (none: everything) and the fields, in order.
struct TScriptRequest {
    std::string path;
    std::optional<std::string> kinetics;
    cli::TModeChoice mode = cli::TModeChoice::Rate;
    std::optional<std::pair<double, double>> select;
    std::vector<cli::TFieldSetting> fields;
};

// The profile record of path (its header only when asked), with the boxes
// its load showed as warnings. Raises TScriptError (Load).
std::unique_ptr<TKel> LoadProfile(const std::string& path, bool headerOnly, std::vector<std::string>& warnings);

// Reads the kinetics file into library; its warnings are in the result.
// Raises TScriptError (Kinetics) when it cannot be read or is damaged.
TKineticsLoadResult LoadLibrary(const std::string& path, TKbase& library);

// Named series of a profile's points.
struct TSeries {
    std::vector<std::string> names;
    std::vector<std::vector<double>> values;  // one per name, njm points
};

// The count-rate curves of the ion channels (rate mode). Raises TScriptError.
TSeries RateCurves(const TScriptRequest& request);

// The ppb curves of the selected compounds, named after them (ppb mode).
// Raises TScriptError.
TSeries PpbCurves(const TScriptRequest& request);

// Runs the window calculation as "results" does and walks its report into
// sink; a failed calculation raises TScriptError after the walk.
void WindowResults(const TScriptRequest& request, TReportSink& sink);

// Raises TScriptError (Field) for a name that is no control of the window.
void CheckFieldNames(const std::vector<cli::TFieldSetting>& fields);

}  // namespace kel::py
