// The user's settings: the store, and read by the tool only when asked for.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/qt/QtSettingsStore.h"
#include "cli/CliTestSupport.h"
#include "common/Errors.h"

namespace kel {
namespace {

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
