#pragma once
// The computations of the Python module on a profile file, each through the
// command-line tool's session: the window's own code with a settings store
// in memory, so that every number equals what the window draws.
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/KelViewSession.h"
#include "browser/StudySummary.h"
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

// A profile file read once, as the window's opening reads it: every
// computation shows this read again, so the file is not read twice and a
// change of it on disk changes nothing computed from the profile.
struct TLoadedProfile {
    TFollowRead read;
    // The corrections as a plain read of the record gives them (zero where
    // the file holds none), for the profile's description.
    double De200 = 0, Mr200 = 0, Df73 = 0;
    const TKel& Record() const { return read.profile; }
};

// How a computation shows the profile: the kinetics file, the mode, the
// selection in seconds (none: everything) and the fields, in order.
struct TScriptRequest {
    std::shared_ptr<const TLoadedProfile> profile;
    std::optional<std::string> kinetics;
    cli::TModeChoice mode = cli::TModeChoice::Rate;
    std::optional<std::pair<double, double>> select;
    std::vector<cli::TFieldSetting> fields;
};

// The header-only record of path, with the boxes its load showed as
// warnings. Raises TScriptError (Load).
std::unique_ptr<TKel> LoadHeader(const std::string& path, std::vector<std::string>& warnings);

// The whole profile at path read for computations, with the boxes its load
// showed as warnings. Raises TScriptError (Load).
std::shared_ptr<const TLoadedProfile> LoadProfile(const std::string& path, std::vector<std::string>& warnings);

// Reads the kinetics file into library; its warnings are in the result.
// Raises TScriptError (Kinetics) when it cannot be read or is damaged.
TKineticsLoadResult LoadLibrary(const std::string& path, TKbase& library);

// Named series of a profile's points.
struct TSeries {
    std::vector<std::string> names;
    std::size_t points = 0;      // njm
    std::vector<double> values;  // names x points, a name's points in a row
};

// The count-rate curves of the ion channels (rate mode). Raises TScriptError.
TSeries RateCurves(const TScriptRequest& request);

// The ppb curves of the selected compounds, named after them (ppb mode).
// Raises TScriptError.
TSeries PpbCurves(const TScriptRequest& request);

// Runs the window calculation as "results" does and walks its report into
// sink; a failed calculation raises TScriptError after the walk.
void WindowResults(const TScriptRequest& request, TReportSink& sink);

// How a study is summarised: the kinetics file, the mode (the one each
// profile opens in unless told), the fields, the window ("all",
// "headspace" or "A:B" seconds) and the threads.
struct TSummaryRequest {
    std::optional<std::string> kinetics;
    cli::TModeChoice mode = cli::TModeChoice::AsOpened;
    std::vector<cli::TFieldSetting> fields;
    std::string window = "all";
    int jobs = 1;
};

// The summary of the profiles in folders as "kelview-cli summary" makes it;
// folders that cannot be listed are skipped with their reason. Raises
// TScriptError (Field for a window or mode it refuses, Load when there is
// no profile, Kinetics when the library cannot be read).
TSummary SummariseFolders(const std::vector<std::string>& folders, const TSummaryRequest& request);

// Raises TScriptError (Field) for a name that is no control of the window.
void CheckFieldNames(const std::vector<cli::TFieldSetting>& fields);

}  // namespace kel::py
