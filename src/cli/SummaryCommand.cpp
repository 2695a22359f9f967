// "summary": the window results of a study's profiles in one table.
#include <iostream>

#include "browser/StudySummary.h"
#include "cli/BatchProgress.h"
#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/Json.h"
#include "cli/Pictures.h"
#include "cli/StudyRun.h"
#include "common/Errors.h"
#include "common/NumberText.h"
#include "common/SafeFile.h"

namespace kel::cli {

namespace {

// The largest table --merge reads: far more than a study's summary.
constexpr std::size_t kLargestTable = std::size_t{1} << 30;

enum class TTableForm { Long, Wide, Json };

TTableForm FormOf(const TParsedArgs& args) {
    std::string format = args.Value("--format").value_or("csv");
    if (format != "csv" && format != "json") throw EUsage("--format takes csv or json, not \"" + format + "\"");
    if (format == "json") {
        if (args.Has("--wide")) throw EUsage("--wide is a form of the CSV table; JSON lists the long rows");
        return TTableForm::Json;
    }
    return args.Has("--wide") ? TTableForm::Wide : TTableForm::Long;
}

void PrintTable(const std::vector<TSummaryRow>& rows, const std::vector<TIoResult>& skipped, TTableForm form) {
    switch (form) {
        case TTableForm::Long:
            std::cout << SummaryCsv(rows);
            break;
        case TTableForm::Wide:
            std::cout << WideSummaryCsv(rows);
            break;
        case TTableForm::Json:
            std::cout << SummaryJson(rows, skipped);
            break;
    }
}

// The --plot picture's path, refused up front when it cannot be drawn.
std::optional<std::string> PlotOf(const TParsedArgs& args) {
    std::optional<std::string> plot = args.Value("--plot");
    if (plot) {
#if KELVIEW_WITH_QT
        CheckPicturePath(*plot, "--plot");
#else
        throw EUsage("--plot: this kelview-cli was built without pictures (Qt); summarise to CSV and draw it elsewhere");
#endif
    }
    return plot;
}

// The table on stdout, then the picture when one is asked for.
void WriteOutputs(const std::vector<TSummaryRow>& rows, const std::vector<TIoResult>& skipped, TTableForm form,
                  const std::optional<std::string>& plot) {
    PrintTable(rows, skipped, form);
#if KELVIEW_WITH_QT
    if (plot) WriteSummaryPicture(rows, *plot);
#else
    (void)plot;
#endif
}

int RunMerge(const TParsedArgs& args, TTableForm form, const std::optional<std::string>& plot) {
    if (args.positional.empty()) throw EUsage("--merge needs the summaries (long CSV tables) to merge");
    std::vector<TSummaryRow> rows;
    for (const std::string& file : args.positional) {
        std::string text = ReadWholeFile(file, kLargestTable);
        try {
            std::vector<TSummaryRow> more = ParseSummaryCsv(text);
            rows.insert(rows.end(), more.begin(), more.end());
        } catch (const EConvertError& e) {
            throw EFailure("\"" + file + "\" is not a summary's long table: " + e.what() + "; nothing merged");
        }
    }
    SortSummaryRows(rows);
    WriteOutputs(rows, {}, form, plot);
    return 0;
}

int RunSummary(const TParsedArgs& args) {
    TTableForm form = FormOf(args);
    std::optional<std::string> plot = PlotOf(args);
    if (args.Has("--merge")) return RunMerge(args, form, plot);
    if (args.positional.empty()) throw EUsage("FOLDER is needed");
    int jobs = JobsOf(args);
    TCommonOptions options = CommonOptionsOf(args);
    TSummaryWindowKind windows = SummaryWindowsOf(args.Value("--window"), options);

    std::vector<TIoResult> unlisted;
    std::vector<std::string> paths = StudyProfiles(args.positional, unlisted);
    for (const TIoResult& failure : unlisted) std::cerr << "kelview-cli summary: " << failure.description() << '\n';
    if (paths.empty()) throw EFailure("no profiles (*.kel) in the folders given; nothing summarised");

    TCliSession cli(options);
    TBatchProgressDisplay display(stderr, "summarising");
    TBatchMessages messages(display);
    TSummary summary = SummariseProfiles(cli, paths, windows, jobs, [&](int index, int count, const std::string& path) {
        display.Starting(index, count, path);
        return true;
    });
    display.Finished(static_cast<int>(paths.size()), static_cast<int>(paths.size()));
    display.EndLine();
    for (const TIoResult& s : summary.skipped)
        std::cerr << "kelview-cli summary: skipped \"" << s.file << "\": " << s.reason << '\n';
    if (summary.rows.empty() && !summary.skipped.empty())
        throw EFailure("no profile could be summarised; nothing written");
    WriteOutputs(summary.rows, summary.skipped, form, plot);
    return 0;
}

}  // namespace

TCommand SummaryCommand() {
    return {"summary", "the window results of a study's profiles in one table", "summarise the profiles of",
            std::string(
                "Usage: kelview-cli summary FOLDER... [options] [--window all|headspace|A:B]\n"
                "                           [--format csv|json] [--wide] [--jobs N]\n"
                "                           [--plot OUT.png|OUT.svg|OUT.pdf]\n"
                "       kelview-cli summary --merge SUMMARY.csv... [--format csv|json] [--wide]\n"
                "\n"
                "Opens every profile (*.kel) of the FOLDERs as the main window does and\n"
                "prints the window calculation's results as one table on stdout: one row\n"
                "per profile, window and ion channel (compound in ppb mode) with the\n"
                "columns file, date (ISO 8601), ion, sample, comment, window (seconds\n"
                "A:B), name, mean, relative_error (%), detection_limit and unit (c/s or\n"
                "ppb), the oldest profile first. An empty number is one the window does\n"
                "not give. A profile that cannot be read or computed is named on stderr\n"
                "and left out; the others are summarised.\n"
                "\n"
                "  --window all        the whole profile (default)\n"
                "  --window headspace  every pressure section \"Log head&space\" finds\n"
                "  --window A:B        the selection from A to B seconds\n"
                "  --format csv|json   CSV (default) or JSON {\"rows\": [...], \"skipped\": [...]}\n"
                "  --wide              one CSV row per profile and window, three columns\n"
                "                      per channel or compound\n"
                "  --jobs N            profiles computed at once (default: the cores);\n"
                "                      the table is the same for every N\n"
                "  --plot OUT          also draw each channel's or compound's means across\n"
                "                      the profiles, one point per profile, oldest first\n"
                "                      (format by extension; not in builds without Qt)\n"
                "  --merge             merge long tables of earlier summaries (of other\n"
                "                      folders or machines) into one, in date order\n") +
                kCommonOptionsHelp,
            WithCommonOptions({{"--window", true},
                               {"--format", true},
                               {"--wide", false},
                               {"--jobs", true},
                               {"--merge", false},
                               {"--plot", true}}),
            RunSummary};
}

}  // namespace kel::cli
