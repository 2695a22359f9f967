// "results": the window calculation's numbers, for scripts.
#include <iostream>

#include "app/SessionReport.h"
#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/ReportWriters.h"

namespace kel::cli {

namespace {

int RunResults(const TParsedArgs& args) {
    const std::string file = ProfileArgument(args);
    std::string format = args.Value("--format").value_or("json");
    if (format != "json" && format != "csv") throw EUsage("--format: \"" + format + "\" is neither json nor csv");
    TCliSession cli(CommonOptionsOf(args));
    cli.Open(file);
    TWindowReportInputs report = SessionReportInputs(cli.Session);
    if (!report.run) throw EFailure("the profile has no points; no results");
    if (format == "json") {
        JsonReportSink sink;
        WriteWindowReport(report, sink);
        std::cout << sink.Document() << '\n';
    } else {
        CsvReportSink sink;
        WriteWindowReport(report, sink);
        std::cout << sink.Document();
    }
    // The numbers up to the failure are printed, as the window shows its
    // lines up to it; the status tells a script they are incomplete.
    if (!report.run->ok()) throw EFailure("the window calculation failed: " + report.run->error);
    return 0;
}

}  // namespace

TCommand ResultsCommand() {
    return {"results", "the window calculation's numbers, as JSON or CSV", "compute the results of",
            std::string("Usage: kelview-cli results FILE [options] [--format json|csv]\n"
                        "\n"
                        "Opens FILE as the main window does and prints the numbers behind the\n"
                        "result lines of the window calculation at full precision: the profile,\n"
                        "the mode, the fields, the window, then per channel (rate mode), per\n"
                        "compound (ppb mode) or the isotope-ratio figures (D/H mode), and the\n"
                        "auxiliary readings. A figure the window shows as \"n.a.\" is null (JSON)\n"
                        "or empty (CSV). When the calculation fails, what it computed is printed\n"
                        "with an \"error\" and the status is 1.\n"
                        "\n"
                        "  --format json       one object; \"units\" names the unit of each quantity\n"
                        "                      (default; described by results.schema.json)\n"
                        "  --format csv        group,item,quantity,value,unit; one quantity a row\n") +
                kCommonOptionsHelp,
            WithCommonOptions({{"--format", true}}),
            RunResults};
}

}  // namespace kel::cli
