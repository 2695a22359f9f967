#include "cli/StudyRun.h"

#include "cli/CliSession.h"

namespace kel::cli {

TSummaryWindowKind SummaryWindowsOf(const std::optional<std::string>& window, TCommonOptions& options) {
    TSummaryWindowKind windows = TSummaryWindowKind::Selection;
    if (window && *window != "all") {
        if (*window == "headspace") {
            windows = TSummaryWindowKind::Headspace;
        } else {
            if (options.select) throw EUsage("--window A:B and --select say the same; give one");
            options.select = SelectionOf(*window, "--window");
        }
    }
    if (options.mode == TModeChoice::Isotope) throw EUsage("--mode dh: the D/H results are not summarised");
    return windows;
}

TSummary SummariseProfiles(const TCliSession& cli, const std::vector<std::string>& paths, TSummaryWindowKind windows,
                           int jobs, const TSummaryProgress& progress) {
    TSummarySetup setup;
    setup.windows = windows;
    setup.newSession = [&cli] { return cli.NewJobSession(); };
    setup.open = [&cli](TKelViewSession& session, const std::string& path) {
        try {
            OpenAsWindow(session, cli.Options(), path);
        } catch (const EFailure& e) {
            return TIoResult::Failure(TIoStatus::Failed, path, e.what());
        }
        return TIoResult::Success();
    };
    return SummariseStudy(paths, setup, jobs, progress);
}

}  // namespace kel::cli
