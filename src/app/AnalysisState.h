#pragma once
// The user's analysis of the shown profile as one plain value: what the
// fields, the mode buttons, the toggles, the selection and the axes hold.
// Undo steps and saved analysis files are made of it.
#include <array>
#include <string>
#include <vector>

#include "app/SessionCurves.h"
#include "plot/GraphAxesState.h"

namespace kel {

// The numeric fields of the main window, by control name.
enum class TFieldId {
    feDeadT, feDe200, feMr200, feDf73, feFilterOutliers,
    fefr, feTg, feD, felr,
    feR2, feR3, feb74, feb75, feliq,
    PressLevel,
};
inline constexpr int kFieldCount = 15;

// The exclusive group "ppb", "D/H", "(int.res)": at most one is down.
enum class TModeButton { None, Ppb, Isotope, IntermediateResults };

// The values of the profile record the fields put there, as the record holds
// them: its own flow-tube values stay until a field is taken into it, and
// those are what the results are computed from.
struct TAnalysisProfileValues {
    double De200 = 0, Mr200 = 0, Df73 = 0, OutlierPower = 0;
    double Tg = 0, lr = 0, Aft = 0, f1 = 0;
    bool operator==(const TAnalysisProfileValues&) const = default;
};

struct TAnalysisState {
    TModeButton mode = TModeButton::None;
    // The fields' exact values, in TFieldId order.
    std::array<double, kFieldCount> fields{};
    bool correct = true;    // "correct"
    bool normId = false;    // "Normalise to Id"
    bool t0AtStart = false; // "Time 0 at start"
    bool expand = false;    // "Expand"
    // The main graph's selection in seconds, unsorted as dragged.
    std::array<double, 2> selection{0, 0};
    TAxesState axes;        // the main graph's ranges and scales
    TAnalysisProfileValues profile;
    THiddenCurves hiddenCurves;  // the curves the user hid, per mode
    bool operator==(const TAnalysisState&) const = default;
};

// What opening an analysis file did: whether it is shown, why not, and what
// the user must know of a shown one (a profile or kinetics file that has
// changed since it was saved), each naming its file.
struct TAnalysisOpenResult {
    bool shown = false;
    std::string error;
    std::vector<std::string> notices;
};

// The name a mode has in an analysis file and in the hidden curves: "none",
// "ppb", "dh" or "intres".
const char* ModeButtonName(TModeButton mode);
// The mode of such a name; false for any other text.
bool ModeButtonOfName(const std::string& name, TModeButton& mode);

}  // namespace kel
