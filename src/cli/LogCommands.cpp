// "log" and "headspace": result lines appended to the results log of the
// current folder, as "&Log results", "Log profile" and "Log head&space" do.
#include <iostream>

#include "cli/CliSession.h"
#include "cli/Commands.h"

namespace kel::cli {

namespace {

int RunLog(const TParsedArgs& args) {
    const std::string file = ProfileArgument(args);
    TCliSession cli(CommonOptionsOf(args));
    cli.Open(file);
    // A failure was shown in its box; the run still fails.
    TIoResult logged = args.Has("--profile") ? cli.Session.btLogProfileClick() : cli.Session.btLogResultsClick();
    if (!logged) throw EFailure("nothing more was logged to \"" + cli.Session.LogFileName() + "\"");
    return 0;
}

int RunHeadspace(const TParsedArgs& args) {
    const std::string file = ProfileArgument(args);
    TCommonOptions options = CommonOptionsOf(args);
    if (auto level = args.Value("--level")) options.settings.push_back(ParseFieldSetting("PressLevel=" + *level));
    TCliSession cli(options);
    cli.Open(file);
    std::string before = cli.Session.StatusText();
    if (!cli.Session.btPressClick())
        throw EFailure("not every section was logged to \"" + cli.Session.LogFileName() + "\"");
    // The command leaves the status bar alone when no reading is a pressure.
    if (cli.Session.StatusText() == before)
        throw EFailure("\"" + file + "\" has no pressure reading (a row named with \"Torr\"); nothing logged");
    std::cout << cli.Session.StatusText() << '\n';
    return 0;
}

}  // namespace

TCommand LogCommand() {
    return {"log", "append the selection's result line to ./multilog.csv", "log the results of",
            std::string("Usage: kelview-cli log FILE [options] [--profile]\n"
                        "\n"
                        "Opens FILE as the main window does and appends, as \"&Log results\"\n"
                        "does, the result line of the selection to multilog.csv in the current\n"
                        "folder, after a header line (written once per opening).\n"
                        "\n"
                        "  --profile           one line for every point, as \"Log profile\" does\n") +
                kCommonOptionsHelp,
            WithCommonOptions({{"--profile", false}}),
            RunLog};
}

TCommand HeadspaceCommand() {
    return {"headspace", "log every pressure-defined section to ./multilog.csv", "log the headspace sections of",
            std::string("Usage: kelview-cli headspace FILE [options] [--level N]\n"
                        "\n"
                        "Opens FILE as the main window does and runs \"Log head&space\": every\n"
                        "section during which the pressure reading stays below the level is\n"
                        "selected, calculated and logged to multilog.csv in the current folder.\n"
                        "Prints the status text (\"N sections selected\").\n"
                        "\n"
                        "  --level N           the level in percent of the reading's range, 20..80\n"
                        "                      (the field PressLevel, default 50)\n") +
                kCommonOptionsHelp,
            WithCommonOptions({{"--level", true}}),
            RunHeadspace};
}

}  // namespace kel::cli
