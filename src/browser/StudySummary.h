#pragma once
// A study's summary: the window results of many profiles in one table, one
// row per profile, window and channel (or compound in ppb mode), in the
// "long" form statistics tools read, or one row per profile and window
// ("wide"). The profiles are computed on a pool of threads, each with a
// session of its own; the table is the same whatever the number of threads.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/IoResult.h"

namespace kel {

class TKelViewSession;

// Which windows of a profile are summarised.
enum class TSummaryWindowKind { Selection, Headspace };

// One row of the long table; numbers are already text, the shortest that
// reads back exactly, empty where the window gives none (a compound without
// a positive mean, a detection limit without counts).
struct TSummaryRow {
    std::string file;     // the profile's path as listed
    std::string date;     // the profile's date and time, ISO 8601 (local, no zone)
    std::string ion, sample, comment;
    std::string window;   // the selection in seconds, "A:B"
    std::string name;     // the channel's or compound's name
    std::string mean, relativeError, detectionLimit;
    std::string unit;     // "c/s" or "ppb"
    bool operator==(const TSummaryRow&) const = default;
};

// Columns of the long table, in order.
extern const std::vector<std::string> kSummaryColumns;

struct TSummary {
    std::vector<TSummaryRow> rows;  // oldest profile first, then as listed
    // Profiles left out, in the order listed: a file that could not be read
    // or a window that could not be computed, with the reason.
    std::vector<TIoResult> skipped;
    bool cancelled = false;         // a progress report stopped it
};

// How a job gets its session and opens a profile in it as the window would.
struct TSummarySetup {
    // A session as the caller's would start out (settings, fields, a library
    // of its own); one per thread, made on the caller's thread and reused
    // for the thread's profiles.
    std::function<std::unique_ptr<TKelViewSession>()> newSession;
    // Opens the profile at path and selects the window, on the job's own
    // thread; a failure's reason names the file.
    std::function<TIoResult(TKelViewSession&, const std::string& path)> open;
    TSummaryWindowKind windows = TSummaryWindowKind::Selection;
};

// Told before each profile is taken into the table (0-based index of
// count); false stops the summary there, with what was taken.
using TSummaryProgress = std::function<bool(int index, int count, const std::string& path)>;

// The "*.kel" files (any case) of the folders, each folder's by name, the
// folders in the order given; a folder that cannot be read is a failure.
std::vector<std::string> StudyProfiles(const std::vector<std::string>& folders, std::vector<TIoResult>& failures);

// Summarises the profiles on `jobs` threads. A profile that cannot be read
// or computed is skipped with its reason and the summary goes on. The boxes
// its opening showed go, in the profiles' order, to the sink the sessions
// were made with.
TSummary SummariseStudy(const std::vector<std::string>& paths, const TSummarySetup& setup, int jobs,
                        const TSummaryProgress& progress = {});

// The rows one profile's session gives for its current window.
std::vector<TSummaryRow> WindowRows(const TKelViewSession& session, const std::string& path);

// The long table as CSV (a heading row, then the rows; CRLF-free "\n" lines).
std::string SummaryCsv(const std::vector<TSummaryRow>& rows);

// The wide table: one row per profile and window; per name in the order
// first met, its mean, relative error and detection limit, headed
// "NAME mean (UNIT)", "NAME relative error (%)", "NAME detection limit (UNIT)".
std::string WideSummaryCsv(const std::vector<TSummaryRow>& rows);

// The long table as JSON: {"rows": [...], "skipped": [{"file", "reason"}...]},
// each row's numbers as numbers, null where the window gives none; one line
// ending in "\n".
std::string SummaryJson(const std::vector<TSummaryRow>& rows, const std::vector<TIoResult>& skipped);

// Writes the long table to path as `kelview-cli summary` prints it: JSON for
// a name ending in ".json" (any case), else CSV; path is replaced only by
// the whole table, and a failure names it with the system's reason.
TIoResult SaveSummary(const std::string& path, const std::vector<TSummaryRow>& rows,
                      const std::vector<TIoResult>& skipped);

// Reads a long table that SummaryCsv wrote; raises EConvertError naming the
// line for anything else.
std::vector<TSummaryRow> ParseSummaryCsv(std::string_view text);

// Orders rows of several tables as one summary orders its profiles: by date,
// then file, keeping each profile's rows in their order.
void SortSummaryRows(std::vector<TSummaryRow>& rows);

}  // namespace kel
