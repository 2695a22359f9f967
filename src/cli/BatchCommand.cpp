// "batch": the profile browser's batch conversion of a whole folder.
#include <filesystem>
#include <iostream>

#include "browser/Kelbrows.h"
#include "cli/BatchProgress.h"
#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "common/Platform.h"

namespace kel::cli {

namespace {

// A batch ends at the first profile that fails; the user learns which and
// what stays written.
void Stopped(const std::string& name, int index, int count, int converted, const std::string& reason) {
    std::cerr << "kelview-cli batch: " << BatchStopText(name, index, count, reason) << "; the outputs of the " << converted
              << " newer profiles stay\n";
}

// Each file the listing could not read, one line each.
void ReportSkipped(const TBatchResult& batch) {
    for (const TIoResult& file : batch.skipped) std::cerr << "kelview-cli batch: " << SkippedLine(file) << '\n';
}

int RunBatch(const TParsedArgs& args) {
    const std::string& folder = args.Positional({"FOLDER"})[0];
    std::error_code ec;
    // Listing a folder that cannot be entered would list the current one.
    if (!std::filesystem::is_directory(os::PathOf(folder), ec)) throw EFailure("\"" + folder + "\" is not a folder");
    std::string shownFolder = os::Utf8Of(std::filesystem::canonical(os::PathOf(folder), ec));
    int jobs = JobsOf(args);
    TCliSession cli(CommonOptionsOf(args));
    cli.ApplyFieldSettings();

    TBatchProgressDisplay display(stderr);
    TBatchMessages messages(display);
    TProfileListing listing;
    messages.Hold(true);
    TIoResult listed = listing.ListFolder(folder);
    messages.Hold(false);
    if (!listed) throw EFailure(listed.reason);
    int count = static_cast<int>(listing.Entries.size());
    // The batch starts "AllFilesPpb.csv" afresh, which must not happen for nothing.
    if (count == 0) throw EFailure("no profiles (*.kel) in \"" + folder + "\"; nothing converted");

    int current = 0;
    std::string currentName;
    auto progress = [&](int index, int total, const std::string& name) {
        current = index;
        currentName = name;
        display.Starting(index, total, name);
        return true;
    };
    TBatchResult batch =
        BatchConvert(listing, cli.Session, progress, {jobs, [&cli] { return cli.NewJobSession(); }});
    if (!batch) {
        display.Finished(current, count);
        display.EndLine();
        ReportSkipped(batch);
        Stopped(currentName, current, count, batch.converted, batch.io.description());
        throw EFailure("");
    }
    display.Finished(count, count);
    display.EndLine();
    ReportSkipped(batch);
    if (batch.converted == 0)
        throw EFailure("no file in \"" + folder + "\" could be read as a profile; nothing converted");
    std::cout << "converted " << batch.converted << " profiles";
    if (!batch.skipped.empty()) std::cout << " and skipped " << batch.skipped.size() << " that could not be read";
    std::cout << "; worksheets, ppb files and " << kAllFilesPpbName << " are in " << shownFolder << '\n';
    return 0;
}

}  // namespace

TCommand BatchCommand() {
    return {"batch", "convert a folder of profiles to worksheets and ppb files", "convert the profiles of",
            "Usage: kelview-cli batch FOLDER [--kinetics K] [--set NAME=VALUE]... [--settings]\n"
            "                         [--jobs N]\n"
            "\n"
            "The profile browser's \"Batch conversion\" of FOLDER: every profile, newest\n"
            "first, is opened and written as its worksheet (NAME.kel.csv) and its ppb\n"
            "lines (NAME.kelPpb.csv); \"AllFilesPpb.csv\" collects the lines of all. The\n"
            "outputs go into FOLDER. Progress is shown on stderr; the batch stops at\n"
            "the first profile that fails and names it. A file that cannot be read as\n"
            "a profile is skipped and named on stderr.\n"
            "\n"
            "  --kinetics K        main kinetics file (default: the demo library)\n"
            "  --set NAME=VALUE    the window's controls before the batch starts (see\n"
            "                      \"kelview-cli window --help\"); a profile's own\n"
            "                      correction and flow-tube values replace them\n"
            "  --settings          read the user's settings at start\n"
            "  --jobs N            profiles opened and computed at once (default: the\n"
            "                      cores); the outputs are the same for every N\n",
            {{"--kinetics", true}, {"--set", true}, {"--settings", false}, {"--jobs", true}},
            RunBatch};
}

}  // namespace kel::cli
