// The batch on a failing disk and with profiles that cannot be converted:
// no output is ever destroyed before its replacement is whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "support/probes/FillingDisk.h"
#include "browser/Kelbrows.h"
#include "common/SafeFile.h"
#include "kinetics/KineticsLibrary.h"
#include "support/SessionTestSupport.h"
#include "synth/KineticsGenerator.h"
#include "synth/LegacyWriter.h"
#include "synth/ProfileGenerator.h"

namespace fs = std::filesystem;

namespace kel {
namespace {

using Files = std::map<std::string, std::string>;

class BatchFailure : public ::testing::Test {
protected:
    BatchFailure() : previous_(fs::current_path()) { test::UseKinetics(synth::DemoKineticsText()); }
    ~BatchFailure() override {
        fs::current_path(previous_);
        KineticsLibrary().Clear();
    }
    void WriteProfile(const std::string& name, double dateOrigin, std::uint64_t seed) {
        synth::ProfileOptions options = synth::DefaultOptions(seed);
        options.dateOrigin = dateOrigin;
        synth::WriteLegacyFile(dir.File(name), synth::MakeProfile(options));
    }
    // Every file of the folder but the profiles, by name.
    Files Outputs() const {
        Files files;
        for (const std::string& name : test::ListFolder(dir.Path()))
            if (!name.ends_with(".kel")) files[name] = test::ReadFile(dir.File(name));
        return files;
    }
    // The batch's failure as the user reads it, empty when it ran through.
    std::string Batch() {
        TBatchResult batch = BatchConvert(listing, session);
        return batch ? std::string() : batch.io.description();
    }
    test::ScratchDir dir;
    test::RecordedMessages boxes;
    TProfileListing listing;
    TKelViewSession session{test::TestServices()};

private:
    fs::path previous_;
};

TEST_F(BatchFailure, AFillingDiskStopsAtTheFileItCannotWriteAndKeepsEveryOldOutput) {
    if (!test::kFillingDisk) GTEST_SKIP() << "the C runtime's writes cannot be made to fail here";
    WriteProfile("c.kel", 46002.25, 3);
    WriteProfile("b.kel", 46001.25, 4);
    WriteProfile("a.kel", 46000.25, 5);
    listing.ListFolder(dir.Path());
    ASSERT_EQ(Batch(), "");
    const Files fresh = Outputs();
    // The outputs in the order the batch puts them in place.
    const std::vector<std::string> order = {"c.kel.csv", "c.kelPpb.csv", "b.kel.csv", "b.kelPpb.csv",
                                            "a.kel.csv", "a.kelPpb.csv", kAllFilesPpbName};
    ASSERT_EQ(fresh.size(), order.size());
    std::size_t total = 0;
    for (const auto& [name, bytes] : fresh) total += bytes.size();

    for (std::size_t room : {std::size_t{0}, std::size_t{1}, total / 7, total / 3, total / 2, 2 * total / 3,
                             total - fresh.at(kAllFilesPpbName).size() + 1, total - 1}) {
        Files old;
        for (const std::string& name : order) old[name] = "the outputs of an earlier batch: " + name;
        for (const auto& [name, bytes] : old) test::WriteFileForTest(dir.File(name), bytes);
        std::string message;
        {
            test::FillingDisk disk(room);
            message = Batch();
        }
        SCOPED_TRACE("room " + std::to_string(room) + ": " + message);
        EXPECT_EQ(Outputs().size(), order.size()) << "a temporary file was left behind";
        // Whole new files up to the one that failed, old ones from it on.
        std::size_t replaced = 0;
        while (replaced < order.size() && Outputs()[order[replaced]] == fresh.at(order[replaced])) ++replaced;
        ASSERT_LT(replaced, order.size()) << "the batch ran through a full disk";
        for (std::size_t i = replaced; i < order.size(); ++i) EXPECT_EQ(Outputs()[order[i]], old[order[i]]) << order[i];
        // The message names the first file left as it was, or the collected
        // one, which grows aside all along.
        EXPECT_EQ(message.rfind("Cannot write file ", 0), 0u);
        EXPECT_TRUE(message.find("\"" + order[replaced] + "\"") != std::string::npos ||
                    message.find(std::string("\"") + kAllFilesPpbName + "\"") != std::string::npos);
        EXPECT_TRUE(message.ends_with(": No space left on device"));
    }
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(BatchFailure, AProfileThatFailsFirstLeavesTheCollectedFile) {
    WriteProfile("good.kel", 46000.25, 3);
    // Newer, listed by its header, but without the rows a full load needs.
    test::WriteFileForTest(dir.File("bad.kel"), "<kel><DateOrigin>46001</DateOrigin></kel>");
    test::WriteFileForTest(dir.File(kAllFilesPpbName), "kept");
    listing.ListFolder(dir.Path());
    ASSERT_EQ(listing.Entries[0].Text, "bad.kel");
    EXPECT_NE(Batch(), "");
    EXPECT_EQ(test::ReadFile(dir.File(kAllFilesPpbName)), "kept");
    EXPECT_FALSE(fs::exists(dir.File("good.kel.csv")));

    // Failing after a converted profile, the batch leaves that profile's lines.
    test::WriteFileForTest(dir.File("bad.kel"), "<kel><DateOrigin>45999</DateOrigin></kel>");
    listing.ListFolder(dir.Path());
    ASSERT_EQ(listing.Entries[0].Text, "good.kel");
    EXPECT_NE(Batch(), "");
    std::string lines = test::ReadFile(dir.File("good.kelPpb.csv"));
    EXPECT_FALSE(lines.empty());
    EXPECT_EQ(test::ReadFile(dir.File(kAllFilesPpbName)), lines);
    EXPECT_EQ(test::ListFolder(dir.Path()).size(), 5u) << "a temporary file was left behind";
}

}  // namespace
}  // namespace kel
