#pragma once
// The count rates of a window of points as text for a spreadsheet: what the
// graph's "&Copy" puts on the clipboard.
#include <string>

#include "profile/Kel.h"

namespace kel {

// A heading row of the ion channels' names, then one row per point from
// start to end (chronological, inclusive; points past the profile's last
// are left out) of each channel's filtered count
// rate rounded to an integer, halves to even; cells separated by TAB, rows
// ended by CR LF. Empty when the profile has no ion channel. Raises the
// count access's errors (a dwell time of 0).
std::string CountRateTable(const TKel& kel, int start, int end);

}  // namespace kel
