#pragma once
// A study's summary as "summary" computes it, for the tool and for scripts:
// the window choice, and one session per thread made from the command's own,
// each profile opened as the main window opens it.
#include <optional>
#include <string>
#include <vector>

#include "browser/StudySummary.h"
#include "cli/CliOptions.h"

namespace kel::cli {

class TCliSession;

// The windows a --window value ("all", "headspace" or "A:B" seconds; none:
// all) summarises, its selection put into options; raises EUsage for
// anything else, for A:B beside a selection and for the D/H mode.
TSummaryWindowKind SummaryWindowsOf(const std::optional<std::string>& window, TCommonOptions& options);

// Summarises the profiles on `jobs` threads, each with a session made from
// cli's, opening them with cli's options.
TSummary SummariseProfiles(const TCliSession& cli, const std::vector<std::string>& paths, TSummaryWindowKind windows,
                           int jobs, const TSummaryProgress& progress = {});

}  // namespace kel::cli
