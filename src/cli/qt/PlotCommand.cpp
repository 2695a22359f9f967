// "plot": the main graph as an image file.
#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/Pictures.h"
#include "cli/qt/Pictures.h"
#include "plot/qt/GraphExport.h"

namespace kel::cli {

namespace {

std::pair<int, int> SizeOf(const std::string& text) {
    std::size_t x = text.find_first_of("xX");
    auto number = [&](const std::string& part) {
        std::size_t used = 0;
        int value = -1;
        try {
            value = std::stoi(part, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (part.empty() || used != part.size() || value < 1 || value > kMaxPictureSide)
            throw EUsage("--size takes WIDTHxHEIGHT in pixels, each 1.." + std::to_string(kMaxPictureSide) +
                         ", not \"" + text + "\"");
        return value;
    };
    if (x == std::string::npos) number("");
    return {number(text.substr(0, x)), number(text.substr(x + 1))};
}

int RunPlot(const TParsedArgs& args) {
    const std::string& file = args.Positional({"FILE"})[0];
    std::optional<std::string> out = args.Value("-o");
    if (!out) throw EUsage("-o OUT.png|.svg|.pdf is needed");
    CheckPicturePath(*out, "-o");
    auto [width, height] =
        args.Has("--size") ? SizeOf(*args.Value("--size")) : std::pair{kDefaultPictureWidth, kDefaultPictureHeight};

    std::unique_ptr<QGuiApplication> app = PictureApplication();

    TCliSession cli(CommonOptionsOf(args));
    // The graph laid out at the picture's size, as a window of that size shows it.
    TXYGraph& graph = cli.Session.DrawingGraph(1);
    graph.SetWidth(width);
    graph.SetHeight(height);
    cli.Open(file);
    WritePicture(graph, *out, width, height);
    return 0;
}

}  // namespace

TCommand PlotCommand() {
    return {"plot", "the main graph as a PNG, SVG or PDF file", "draw the graph of",
            std::string("Usage: kelview-cli plot FILE -o OUT.png|OUT.svg|OUT.pdf [--size WxH] [options]\n"
                        "\n"
                        "Opens FILE as the main window does and draws the main graph, with its\n"
                        "curves and result lines, into OUT (format by extension). OUT is\n"
                        "replaced only by a complete picture.\n"
                        "\n"
                        "  -o OUT              the image file\n"
                        "  --size WxH          picture size in pixels (default 1200x600)\n") +
                kCommonOptionsHelp,
            WithCommonOptions({{"-o", true}, {"--size", true}}),
            RunPlot};
}

}  // namespace kel::cli
