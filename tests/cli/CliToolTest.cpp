// The tool as a whole: help, unknown commands, exit statuses and the JSON it
// writes.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include "cli/CliTestSupport.h"
#include "cli/Json.h"
#include "common/Platform.h"

namespace kel {
namespace {

TEST(CliTool, HelpForTheToolAndEveryCommand) {
    test::ScratchDir dir;
    test::TCliResult tool = test::RunCli({"--help"}, dir.Path());
    EXPECT_EQ(tool.status, 0);
    std::vector<std::string> commands = {"info", "convert", "window", "log", "headspace", "batch"};
    if (KELVIEW_WITH_QT) commands.push_back("plot");
    for (const std::string& command : commands) {
        EXPECT_NE(tool.out.find(std::string("  ") + command + " "), std::string::npos) << command;
        test::TCliResult help = test::RunCli({command, "--help"}, dir.Path());
        EXPECT_EQ(help.status, 0) << command;
        EXPECT_EQ(help.out.rfind(std::string("Usage: kelview-cli ") + command, 0), 0u) << help.out;
    }
    EXPECT_NE(test::RunCli({"window", "--help"}, dir.Path()).out.find("--set NAME=VALUE"), std::string::npos);
    EXPECT_EQ(test::RunCli({}, dir.Path()).status, 2);
    test::TCliResult unknown = test::RunCli({"frobnicate"}, dir.Path());
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("unknown command \"frobnicate\""), std::string::npos);
}

TEST(CliJson, NumbersAreTheShortestExactForm) {
    EXPECT_EQ(cli::JsonNumber(0.1), "0.1");
    EXPECT_EQ(cli::JsonNumber(46000.4375), "46000.4375");
    EXPECT_EQ(cli::JsonNumber(-2.5e-8), "-2.5e-08");
    EXPECT_EQ(cli::JsonNumber(1.0 / 3), "0.3333333333333333");
    EXPECT_EQ(cli::JsonNumber(std::numeric_limits<double>::quiet_NaN()), "null");
    EXPECT_EQ(cli::JsonNumber(-INFINITY), "null");
}

TEST(CliJson, TextsStayReadableWhateverTheirEncoding) {
    EXPECT_EQ(cli::JsonQuote("a\"b\\c\nd\te"), "\"a\\\"b\\\\c\\nd\\u0009e\"");
    EXPECT_EQ(cli::JsonQuote("12±3"), "\"12±3\"");            // UTF-8 passes through
    EXPECT_EQ(cli::JsonQuote("5 \xB5m"), "\"5 \\u00b5m\"");    // a Latin-1 profile text
    EXPECT_EQ(cli::JsonQuote("\xC0\xAF"), "\"\\u00c0\\u00af\"");  // an overlong form is no UTF-8
    EXPECT_EQ(cli::JsonQuote("\x80 \x93x\x94 \x7F"), "\"\\u20ac \\u201cx\\u201d \\u007f\"");  // Windows-1252
    cli::JsonWriter json;
    json.BeginObject();
    json.BeginArray("a");
    json.Element(1LL);
    json.Element(std::string_view("x"));
    json.BeginObject();
    json.Bool("b", true);
    json.EndObject();
    json.EndArray();
    json.Number("n", 2.5);
    json.EndObject();
    EXPECT_EQ(json.Text(), "{\"a\":[1,\"x\",{\"b\":true}],\"n\":2.5}");
}

TEST(CliTool, FileNamesOutsideAsciiReachTheFiles) {
    test::ScratchDir dir;
    const std::string name = "Atem \xC3\xA9t\xC3\xA9 \xCE\xBC";  // "Atem été μ"
    std::filesystem::rename(test::WriteBreathProfile(dir, "breath.kel", 3), os::PathOf(dir.File(name + ".kel")));
    test::TCliResult r = test::RunCli({"convert", name + ".kel", name + ".csv"}, dir.Path());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(std::filesystem::exists(os::PathOf(dir.File(name + ".csv"))));
}

TEST(CliTool, FailuresExitWithOneAndLeaveOutputsAsTheyWere) {
    test::ScratchDir dir;
    std::string profile = test::WriteBreathProfile(dir, "breath.kel", 4);
    test::WriteFileForTest(dir.File("out.kel"), "old bytes");
    test::WriteFileForTest(dir.File("broken.kel"), std::string("PK\3\4") + std::string(60, '\x7f'));
    test::WriteFileForTest(dir.File("bad-kinetics.txt"), "broken\n1\n19 abc 1\n1\n59 1\n");
    const std::vector<std::vector<std::string>> failures = {
        {"convert", "missing.kel", "out.kel"},
        {"convert", "broken.kel", "out.kel"},
        {"window", "missing.kel"},
        {"window", "broken.kel"},
        {"window", profile, "--kinetics", "no-such-kinetics.txt"},
        {"window", profile, "--kinetics", "bad-kinetics.txt"},
        {"batch", dir.Path(), "--kinetics", "bad-kinetics.txt"},
    };
    for (const std::vector<std::string>& args : failures) {
        test::TCliResult r = test::RunCli(args, dir.Path());
        std::string shown = args[0] + " " + args[1] + (args.size() > 3 ? " " + args[3] : "");
        EXPECT_EQ(r.status, 1) << shown << ": " << r.err;
        EXPECT_FALSE(r.err.empty()) << shown;
    }
    EXPECT_EQ(test::ReadFile(dir.File("out.kel")), "old bytes");
    EXPECT_FALSE(std::filesystem::exists(dir.File("breath.kel.csv")));
    EXPECT_NE(test::RunCli({"info", "missing.kel"}, dir.Path()).err.find("Debug: Open Error!"), std::string::npos);
}

}  // namespace
}  // namespace kel
