#pragma once
// The results log ("multilog.csv") and the batch ppb lines: what the analyst
// keeps of every calculation. Each line is composed completely before it is
// appended in one write, so a failure never leaves half a line behind.
#include <exception>
#include <string>

#include "common/IoResult.h"
#include "common/Notice.h"

#include "kinetics/Corrections.h"
#include "kinetics/Kbasetxt.h"
#include "kinetics/WindowResults.h"
#include "profile/Kel.h"

namespace kel {

// The name of the results log in the current folder.
inline constexpr const char* kResultLogName = "multilog.csv";

// What the log lines read from the main window at the moment of writing.
struct TLogContext {
    const TKel* profile = nullptr;
    const TKbase* library = nullptr;
    TPlotMode mode = TPlotMode::Rate;
    TCorrectionState corrections;  // DeadTime in force and the "correct" switch
    std::string fileNameField;     // the text of edFileName
    double selection0 = 0, selection1 = 0;  // the graph's selection, seconds, unsorted
    double timeShiftPoints = 0;             // the time axis' shift, jm - njm with "Time 0 at start"
    TIsotopeParams isotope;        // R2, R3 and liq are used
    TIsotopeSums isotopeSums;      // S74, S75, RelErr of the last calculation
    std::string logPath = kResultLogName;
};

// The header line: file,date,time,endtime, the mode's column names and the
// logged auxiliary rows, CR LF.
std::string LogHeaderLine(const TLogContext& context);

// The data line of the window [start, end]; raises the floating-point errors
// (an S75 or liq of 0 in the isotope mode, a zero dwell).
std::string LogDataLine(const TLogContext& context, int start, int end);

// The batch line of point i: file, date and time, and the ppb of every
// selected compound computed for [i, i].
std::string BatchLine(const TLogContext& context, int point);

// The window of the selection as the window calculation takes it: sorted,
// the time axis' shift applied, rounded halves to even, not before point 0.
std::pair<int, int> LogWindowOfSelection(const TLogContext& context, double cycleTime);

// Appends the header when pending (clearing it) and the window's data line
// to the log. A failure writes nothing and is returned: WriteFailed with the
// log and the system's reason, or Failed when the line cannot be composed
// (no cycle time, a floating-point error).
TIoResult LogWindowResults(const TLogContext& context, bool& logHeaderPending);

// The same for every point of the profile, one line per point; the first
// line that cannot be composed or written ends the run and is returned.
TIoResult LogProfileResults(const TLogContext& context, bool& logHeaderPending);

// The box of a failed log write: "write error" with the log's name and the
// system's reason, or the reason a line could not be composed; none on success.
TNotices LogNotices(const TIoResult& result);

// The batch lines of points 1 .. njm - 1. A point that cannot be composed
// ends the text before it and leaves its error in `failure`.
std::string BatchLines(const TLogContext& context, std::exception_ptr& failure);

}  // namespace kel
