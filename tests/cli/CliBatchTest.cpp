// "batch": the browser's batch conversion, byte for byte, and where it stops.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/KelViewSession.h"
#include "browser/Kelbrows.h"
#include "cli/CliTestSupport.h"
#include "support/SessionTestSupport.h"
#include "kinetics/KineticsLibrary.h"
#include "synth/DamagedFiles.h"

namespace kel {
namespace {

class CliBatch : public ::testing::Test {
protected:
    CliBatch() { test::UseDefaultKinetics(); }
    ~CliBatch() override {
        ReleaseKineticsLibrary();
        std::filesystem::current_path(cwd_);  // the listing makes its folder current
    }
    // The same three profiles in a folder.
    void WriteProfiles(const test::ScratchDir& folder) {
        test::WriteBreathProfile(folder, "older.kel", 1, 46000.25);
        test::WriteBreathProfile(folder, "Newest.KEL", 2, 46000.75);
        test::WriteHeadspaceProfile(folder, "middle.kel");
    }
    test::ScratchDir cli, reference;
    test::RecordedMessages boxes;

private:
    std::filesystem::path cwd_ = std::filesystem::current_path();
};

TEST_F(CliBatch, OutputsEqualTheWindowsBatch) {
    WriteProfiles(cli);
    WriteProfiles(reference);
    test::TCliResult r = test::RunCli({"batch", cli.Path()}, "/");
    ASSERT_EQ(r.status, 0) << r.err;
    TProfileListing listing;
    TKelViewSession session{test::TestServices()};
    listing.ListFolder(reference.Path());
    BatchConvert(listing, session);

    auto names = test::ListFolder(reference.Path());
    ASSERT_EQ(names.size(), 3u + 3u + 3u + 1u);
    EXPECT_EQ(test::ListFolder(cli.Path()), names);
    for (const std::string& name : names)
        EXPECT_EQ(test::ReadFile(cli.File(name)), test::ReadFile(reference.File(name))) << name;
    // Plain progress lines when stderr is no terminal, newest first.
    EXPECT_NE(r.err.find("converting 1 of 3: Newest.KEL\n"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("converting 3 of 3: older.kel\n"), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("converted 3 profiles"), std::string::npos) << r.out;
}

// The README's scale-out: GNU parallel starts one batch per folder, and each
// folder ends as a batch run alone leaves it.
TEST_F(CliBatch, FoldersConvertedInParallelEqualSerialBatches) {
    if (!test::HaveTool("parallel")) GTEST_SKIP() << "GNU parallel is not installed";
    test::ScratchDir parallelRoot, serialRoot;
    const std::vector<std::string> folders = {"day 1", "day2", "day3"};
    std::string command = "parallel --will-cite --halt now,fail=1 '" KELVIEW_CLI_PROGRAM "' batch :::";
    for (std::size_t i = 0; i < folders.size(); ++i) {
        for (const test::ScratchDir* root : {&parallelRoot, &serialRoot}) {
            std::filesystem::create_directory(root->File(folders[i]));
            test::WriteBreathProfile(*root, folders[i] + "/a.kel", 10 + i, 46000.25);
            test::WriteBreathProfile(*root, folders[i] + "/b.kel", 20 + i, 46000.5 + static_cast<double>(i));
        }
        command += " '" + parallelRoot.File(folders[i]) + "'";
    }
    std::string output;
    ASSERT_EQ(test::RunTool(command + " 2>&1", &output), 0) << output;
    for (const std::string& folder : folders) {
        test::TCliResult serial = test::RunCli({"batch", serialRoot.File(folder)}, "/");
        ASSERT_EQ(serial.status, 0) << serial.err;
        auto names = test::ListFolder(serialRoot.File(folder));
        ASSERT_EQ(names.size(), 2u + 2u + 2u + 1u) << folder;
        EXPECT_EQ(test::ListFolder(parallelRoot.File(folder)), names) << folder;
        for (const std::string& name : names)
            EXPECT_EQ(test::ReadFile(parallelRoot.File(folder + "/" + name)),
                      test::ReadFile(serialRoot.File(folder + "/" + name)))
                << folder << "/" << name;
    }
}

TEST_F(CliBatch, StopsAtTheFirstProfileThatFailsAndNamesIt) {
    WriteProfiles(cli);
    // Newer than the others, cut inside its counts: a damaged profile.
    std::string whole = test::ReadFile(test::WriteBreathProfile(cli, "damaged.kel", 3, 46001.0));
    test::WriteFileForTest(cli.File("damaged.kel"), whole.substr(0, 9000));
    test::TCliResult r = test::RunCli({"batch", "."}, cli.Path());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Damaged profile"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("stopped at \"damaged.kel\" (1 of 4)"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(cli.File("damaged.kel.csv")));
    EXPECT_FALSE(std::filesystem::exists(cli.File("Newest.KEL.csv")));
}

// What cannot be read as a profile is skipped and named, once each; the
// rest converts exactly as in a folder without it.
TEST_F(CliBatch, SkipsFilesThatCannotBeReadAndNamesEach) {
    WriteProfiles(cli);
    WriteProfiles(reference);
    synth::WriteDamagedProfile(cli.File("header.kel"), synth::TDamage::XmlWithoutDate);
    synth::WriteDamagedProfile(cli.File("huge.kel"), synth::TDamage::HugeWithoutDate);
    test::TCliResult r = test::RunCli({"batch", cli.Path()}, "/");
    test::TCliResult clean = test::RunCli({"batch", reference.Path()}, "/");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(clean.status, 0) << clean.err;
    auto names = test::ListFolder(reference.Path());
    ASSERT_EQ(names.size(), 3u + 3u + 3u + 1u);
    for (const std::string& name : names)
        EXPECT_EQ(test::ReadFile(cli.File(name)), test::ReadFile(reference.File(name))) << name;
    names.insert(names.end(), {"header.kel", "huge.kel"});
    std::sort(names.begin(), names.end());
    EXPECT_EQ(test::ListFolder(cli.Path()), names);
    const std::string header =
        "kelview-cli batch: skipped \"header.kel\": damaged: the date '' is not a valid floating point value\n";
    const std::string huge = "kelview-cli batch: skipped \"huge.kel\": damaged: Not a profile: \"huge.kel\" holds more "
                             "than 23 MiB, more than any profile\n";
    for (const std::string& line : {header, huge}) {
        std::size_t at = r.err.find(line);
        EXPECT_NE(at, std::string::npos) << r.err;
        EXPECT_EQ(r.err.find(line, at + 1), std::string::npos) << r.err;
    }
    EXPECT_EQ(r.err.find(": header.kel\n"), std::string::npos) << r.err;  // no progress line: not converted
    EXPECT_NE(r.out.find("converted 3 profiles and skipped 2 that could not be read; "), std::string::npos) << r.out;
    EXPECT_EQ(clean.err.find("skipped"), std::string::npos) << clean.err;

    // Nothing that can be read: nothing converted, an earlier collected file stays.
    test::ScratchDir broken;
    synth::WriteDamagedProfile(broken.File("zip.kel"), synth::TDamage::ZipWithoutMember);
    test::WriteFileForTest(broken.File("AllFilesPpb.csv"), "kept");
    test::TCliResult none = test::RunCli({"batch", broken.Path()}, "/");
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find("skipped \"zip.kel\": damaged: Index out of range."), std::string::npos) << none.err;
    EXPECT_NE(none.err.find("nothing converted"), std::string::npos) << none.err;
    EXPECT_EQ(test::ReadFile(broken.File("AllFilesPpb.csv")), "kept");
    EXPECT_EQ(test::ListFolder(broken.Path()).size(), 2u);
}

TEST_F(CliBatch, NothingToConvertTouchesNothing) {
    test::WriteFileForTest(cli.File("AllFilesPpb.csv"), "kept");
    test::TCliResult empty = test::RunCli({"batch", cli.Path()}, "/");
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.err.find("no profiles"), std::string::npos) << empty.err;
    EXPECT_EQ(test::ReadFile(cli.File("AllFilesPpb.csv")), "kept");

    // A folder that does not exist must not convert the current one.
    WriteProfiles(cli);
    test::TCliResult missing = test::RunCli({"batch", "no-such-folder"}, cli.Path());
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("is not a folder"), std::string::npos) << missing.err;
    EXPECT_EQ(test::ReadFile(cli.File("AllFilesPpb.csv")), "kept");
    EXPECT_FALSE(std::filesystem::exists(cli.File("older.kel.csv")));
}

}  // namespace
}  // namespace kel
