// "window": the result lines the main graph shows for the selection, once
// or again at every change of the file.
#include <chrono>
#include <csignal>
#include <functional>
#include <iostream>
#include <thread>
#include <utility>

#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/Json.h"
#include "common/FileStamp.h"

namespace kel::cli {

namespace {

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + '\n';
    return text;
}

void PrintJson(const TKelViewSession& session) {
    JsonWriter json;
    json.BeginObject();
    json.BeginArray("comments");
    for (const TComment& c : session.Graph1().Comments) {
        json.BeginObject();
        json.String("text", c.Text);
        json.Number("x", c.PosX);
        json.Number("y", c.PosY);
        json.Integer("align", c.Align);
        json.Integer("fontColor", c.FontColor);
        json.Integer("bkColor", c.BkColor);
        json.Bool("bold", (c.FontStyle & fsBold) != 0);
        json.Integer("tag", c.Tag);
        json.EndObject();
    }
    json.EndArray();
    if (session.PpbDown()) json.String("intermediate", Joined(session.IntermediateResults()));
    json.EndObject();
    std::cout << json.Text() << '\n';
}

void PrintText(const TKelViewSession& session) {
    for (const TComment& c : session.Graph1().Comments) std::cout << c.Text << '\n';
    if (session.PpbDown()) std::cout << '\n' << Joined(session.IntermediateResults());
}

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) { stopRequested = 1; }

// How often the file is looked at, and how many looks a file that does not
// read whole gets before it is reported: about a second in all.
constexpr auto kPollInterval = std::chrono::milliseconds(200);
constexpr int kRetries = 5;

void Pause() {
    // Short steps, so that a signal ends the wait at once.
    for (auto waited = std::chrono::milliseconds(0); waited < kPollInterval && !stopRequested;
         waited += std::chrono::milliseconds(20))
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

// Prints the lines, then again after every change of the file, preceded by
// a line "--", until SIGINT or SIGTERM.
int FollowWindow(TKelViewSession& session, const std::function<void()>& print) {
    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
    const std::string path = session.ProfilePath();
    TFileStamp taken = FileStampOf(path), seen = taken;
    int attempts = 0;
    bool reported = false;
    print();
    std::cout.flush();
    while (!stopRequested && std::cout) {
        Pause();
        const TFileStamp now = FileStampOf(path);
        if (stopRequested || now == taken) continue;
        // Still changing: the file gets its attempts afresh, and no report.
        if (!(now == seen)) attempts = 0;
        seen = now;
        TFollowResult followed;
        try {
            followed = session.ReloadShownProfile(attempts >= kRetries ? TFollowAttempt::Final : TFollowAttempt::Quiet);
        } catch (const std::exception& error) {
            followed.report = error.what();
        }
        if (followed.shown || !followed.report.empty()) {
            taken = now;
            attempts = 0;
        } else {
            ++attempts;
        }
        if (!followed.report.empty() && !std::exchange(reported, true))
            std::cerr << "kelview-cli window: " << followed.report << std::endl;
        if (!followed.shown) continue;
        if (followed.report.empty()) reported = false;
        std::cout << "--\n";
        print();
        std::cout.flush();
    }
    return 0;
}

int RunWindow(const TParsedArgs& args) {
    const std::string file = ProfileArgument(args);
    TCliSession cli(CommonOptionsOf(args));
    cli.Open(file);
    const auto print = [&cli, json = args.Has("--json")] {
        if (json)
            PrintJson(cli.Session);
        else
            PrintText(cli.Session);
    };
    if (args.Has("--follow")) return FollowWindow(cli.Session, print);
    print();
    return 0;
}

}  // namespace

TCommand WindowCommand() {
    return {"window", "the main graph's result lines for a selection", "compute the window results of",
            std::string("Usage: kelview-cli window FILE [options] [--json] [--follow]\n"
                        "\n"
                        "Opens FILE as the main window does and prints the lines the main graph\n"
                        "shows after the window calculation, one per line; in ppb mode a blank\n"
                        "line and the intermediate results follow.\n"
                        "\n"
                        "  --json              {\"comments\": [{text, x, y, align, fontColor, bkColor,\n"
                        "                      bold, tag}, ...]} in the graph's order, plus\n"
                        "                      \"intermediate\" (text) in ppb mode\n"
                        "  --follow            go on watching FILE: each time it is rewritten (in\n"
                        "                      place or replaced by rename) print a line \"--\" and\n"
                        "                      the lines again, with the mode, values and selection\n"
                        "                      kept; a file that stays unreadable is reported once\n"
                        "                      on stderr; ends on SIGINT or SIGTERM with status 0\n") +
                kCommonOptionsHelp,
            WithCommonOptions({{"--json", false}, {"--follow", false}}),
            RunWindow};
}

}  // namespace kel::cli
