// "window": the result lines the main graph shows for the selection.
#include <iostream>

#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/Json.h"

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

int RunWindow(const TParsedArgs& args) {
    const std::string& file = args.Positional({"FILE"})[0];
    TCliSession cli(CommonOptionsOf(args));
    cli.Open(file);
    if (args.Has("--json"))
        PrintJson(cli.Session);
    else
        PrintText(cli.Session);
    return 0;
}

}  // namespace

TCommand WindowCommand() {
    return {"window", "the main graph's result lines for a selection", "compute the window results of",
            std::string("Usage: kelview-cli window FILE [options] [--json]\n"
                        "\n"
                        "Opens FILE as the main window does and prints the lines the main graph\n"
                        "shows after the window calculation, one per line; in ppb mode a blank\n"
                        "line and the intermediate results follow.\n"
                        "\n"
                        "  --json              {\"comments\": [{text, x, y, align, fontColor, bkColor,\n"
                        "                      bold, tag}, ...]} in the graph's order, plus\n"
                        "                      \"intermediate\" (text) in ppb mode\n") +
                kCommonOptionsHelp,
            WithCommonOptions({{"--json", false}}),
            RunWindow};
}

}  // namespace kel::cli
