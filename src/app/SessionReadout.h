#pragma once
// What the values under the cursor show: the point nearest the cursor's
// time on the main graph and the value of every curve drawn there.
#include <string>
#include <vector>

#include "plot/GraphAttributes.h"

namespace kel {

struct TReadoutValue {
    std::string Label;  // the curve's legend name
    std::string Value;  // the value in the field's display form
    std::string Unit;
    TColor Color = 0;   // the curve's pen colour
};

struct TReadout {
    bool Shown = false;         // false: the cursor is off the plot, or there is nothing to read
    int Point = 0;              // chronological point index
    double Time = 0;            // seconds on the time axis
    std::string TimeText;       // "12.40 s"
    std::string ClockText;      // "14:03:27": the profile's date plus the point's time
    std::vector<TReadoutValue> Values;  // every curve with points, in curve order
    int Nearest = -1;           // the entry of Values drawn nearest the cursor's row
    std::string StatusText;     // time, clock time and the nearest curve in one line
};

}  // namespace kel
