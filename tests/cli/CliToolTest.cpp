// The tool as a whole: help, unknown commands, the JSON it writes, and the
// user's settings, read only when asked for.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include "app/qt/QtSettingsStore.h"
#include "cli/CliTestSupport.h"
#include "cli/Json.h"
#include "common/Errors.h"

namespace kel {
namespace {

TEST(CliTool, HelpForTheToolAndEveryCommand) {
    test::ScratchDir dir;
    test::TCliResult tool = test::RunCli({"--help"}, dir.Path());
    EXPECT_EQ(tool.status, 0);
    for (const char* command : {"info", "convert", "window", "log", "headspace", "batch", "plot"}) {
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

TEST(CliSettings, StoreKeepsIntegersAndStrings) {
    test::ScratchDir dir;
    const std::string ini = dir.File("settings.ini");
    {
        QtSettingsStore store(ini);
        store.WriteInteger("VANTOR", "SensitMode", 3);
        store.WriteString("VANTOR", "kbase", "/data/kinetics é.txt");
        store.WriteString("IRDefaults", "R2", "not a number");
    }
    QtSettingsStore store(ini);
    EXPECT_EQ(store.ReadInteger("VANTOR", "SensitMode", 0), 3);
    EXPECT_EQ(store.ReadString("VANTOR", "kbase", ""), "/data/kinetics é.txt");
    EXPECT_EQ(store.FindInteger("IRDefaults", "R2"), std::nullopt);
    EXPECT_EQ(store.FindInteger("IRDefaults", "b74"), std::nullopt);
    EXPECT_EQ(store.ReadInteger("IRDefaults", "b74", 7), 7);

    // A store that cannot be written says so.
    QtSettingsStore blocked(dir.File("no/such/folder/settings.ini"));
    std::filesystem::create_directories(dir.File("no/such"));
    test::WriteFileForTest(dir.File("no/such/folder"), "a file where the folder should be");
    EXPECT_THROW(blocked.WriteInteger("VANTOR", "D", 4100), EFileError);
    // Writes kept together fail at their end.
    blocked.BeginWrites();
    blocked.WriteInteger("VANTOR", "D", 4100);
    EXPECT_THROW(blocked.EndWrites(), EFileError);
}

TEST(CliSettings, ReadOnlyWithTheSettingsOption) {
    test::ScratchDir dir, config;
    std::string profile = test::WriteBreathProfile(dir, "breath.kel", 6);
    const std::string iniPath = config.File("VANTORbeta.conf");
    test::WriteFileForTest(iniPath, "[VANTOR]\nSensitMode=2\nkbase=" KELVIEW_SOURCE_DIR "/demo/demo-kinetics.txt\n");
    const std::vector<std::string> env = {"XDG_CONFIG_HOME=" + config.Path()};
    auto lod = [&](const std::vector<std::string>& extra) {
        std::vector<std::string> args = {"window", profile, "--mode", "ppb"};
        args.insert(args.end(), extra.begin(), extra.end());
        test::TCliResult r = test::RunCli(args, dir.Path(), env);
        EXPECT_EQ(r.status, 0) << r.err;
        return r.out.find("(LOD=") != std::string::npos;
    };
    EXPECT_TRUE(lod({"--settings"}));
    EXPECT_FALSE(lod({}));
    EXPECT_EQ(test::ReadFile(iniPath),
              "[VANTOR]\nSensitMode=2\nkbase=" KELVIEW_SOURCE_DIR "/demo/demo-kinetics.txt\n");
}

}  // namespace
}  // namespace kel
