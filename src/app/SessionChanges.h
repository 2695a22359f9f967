#pragma once
// What a command of the session changed, so that each panel of a window
// re-reads only its own part. The session collects these while commands run;
// whoever drives it (the GUI's command runner, a test) takes them afterwards.
#include <cstdint>

namespace kel {

using TSessionChanges = std::uint32_t;

inline constexpr TSessionChanges chNone = 0;
inline constexpr TSessionChanges chProfile = 1u << 0;    // another profile is loaded (title, file name)
inline constexpr TSessionChanges chPlot = 1u << 1;       // curves, comments, axes of either graph
inline constexpr TSessionChanges chFields = 1u << 2;     // a numeric field's value or text
inline constexpr TSessionChanges chModes = 1u << 3;      // mode buttons, toggles, menu ticks, panels
inline constexpr TSessionChanges chTexts = 1u << 4;      // the four text fields
inline constexpr TSessionChanges chStatus = 1u << 5;     // the status bar text
inline constexpr TSessionChanges chSelection = 1u << 6;  // the main graph's selection
inline constexpr TSessionChanges chResults = 1u << 7;    // window results and the intermediate-results text
inline constexpr TSessionChanges chAll = (1u << 8) - 1;

}  // namespace kel
