// The batch on several threads: the same outputs, messages and progress as
// on one, and nothing written after the profile that stops it.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "app/KelViewSession.h"
#include "browser/Kelbrows.h"
#include "kinetics/KineticsLibrary.h"
#include "support/SessionTestSupport.h"
#include "synth/KineticsGenerator.h"
#include "synth/LegacyWriter.h"
#include "synth/ProfileGenerator.h"

namespace fs = std::filesystem;

namespace kel {
namespace {

using Files = std::map<std::string, std::string>;

struct TRun {
    Files outputs;
    std::vector<std::pair<std::string, std::string>> boxes;
    std::vector<std::string> progress;
    std::string failure;
    int converted = 0;
    std::string shown;  // the profile the caller's session shows afterwards
};

class BatchJobs : public ::testing::Test {
protected:
    BatchJobs() : previous_(fs::current_path()) { test::UseKinetics(synth::DemoKineticsText()); }
    ~BatchJobs() override {
        fs::current_path(previous_);
        KineticsLibrary().Clear();
    }
    // The same folder of profiles, newest first p0, p1, ...; `bad` (if not
    // negative) is listed by its header but cannot be opened whole.
    // With `cut`, every fourth profile from the second is a legacy record cut
    // short: it loses its date (and so is listed first, by the file's time)
    // and cannot be converted.
    void WriteFolder(const test::ScratchDir& dir, int profiles, int bad, bool cut = false) {
        for (int i = 0; i < profiles; ++i) {
            double date = 46100 - i;
            std::string name = "p" + std::to_string(i) + ".kel";
            if (i == bad) {
                test::WriteFileForTest(dir.File(name), "<kel><DateOrigin>" + std::to_string(date) + "</DateOrigin></kel>");
                continue;
            }
            synth::ProfileOptions options = synth::DefaultOptions(static_cast<std::uint64_t>(i + 1));
            options.dateOrigin = date;
            synth::WriteLegacyFile(dir.File(name), synth::MakeProfile(options), cut && i % 4 == 1 ? 24620 : 0);
        }
    }
    TRun Run(const test::ScratchDir& dir, int jobs) {
        TRun run;
        test::RecordedMessages boxes;
        TProfileListing listing;
        listing.ListFolder(dir.Path());
        TKelViewSession session{test::TestServices()};
        TBatchJobs threads{jobs, [] {
                               auto s = std::make_unique<TKelViewSession>(test::TestServices());
                               s->UseOwnLibrary(KineticsLibrary());
                               return s;
                           }};
        TBatchResult batch = BatchConvert(
            listing, session,
            [&](int index, int count, const std::string& name) {
                run.progress.push_back(std::to_string(index) + "/" + std::to_string(count) + " " + name);
                return true;
            },
            threads);
        run.failure = batch ? "" : batch.io.description();
        run.converted = batch.converted;
        run.boxes = boxes.shown;
        run.shown = session.Texts().FileName;
        for (const std::string& name : test::ListFolder(dir.Path()))
            if (!name.ends_with(".kel")) run.outputs[name] = test::ReadFile(dir.File(name));
        fs::current_path(previous_);
        return run;
    }

private:
    fs::path previous_;
};

void ExpectSame(const TRun& a, const TRun& b) {
    EXPECT_EQ(a.outputs, b.outputs);
    EXPECT_EQ(a.boxes, b.boxes);
    EXPECT_EQ(a.progress, b.progress);
    EXPECT_EQ(a.failure, b.failure);
    EXPECT_EQ(a.converted, b.converted);
    EXPECT_EQ(a.shown, b.shown);
}

TEST_F(BatchJobs, ThreadsWriteWhatOneThreadWrites) {
    test::ScratchDir one, many;
    WriteFolder(one, 9, -1);
    WriteFolder(many, 9, -1);
    TRun single = Run(one, 1);
    EXPECT_EQ(single.converted, 9);
    EXPECT_EQ(single.outputs.size(), 9u * 2 + 1);
    ExpectSame(Run(many, 3), single);
}

TEST_F(BatchJobs, AFailureStopsThereAndNothingAfterItIsWritten) {
    test::ScratchDir one, many;
    WriteFolder(one, 12, 4);
    WriteFolder(many, 12, 4);
    TRun single = Run(one, 1);
    EXPECT_EQ(single.converted, 4);
    EXPECT_NE(single.failure, "");
    EXPECT_TRUE(single.outputs.count("p3.kel.csv"));
    EXPECT_FALSE(single.outputs.count("p5.kel.csv"));
    TRun threaded = Run(many, 4);
    ExpectSame(threaded, single);
    for (int i = 5; i < 12; ++i) EXPECT_FALSE(threaded.outputs.count("p" + std::to_string(i) + ".kelPpb.csv")) << i;
}

}  // namespace
}  // namespace kel

namespace kel {
namespace {

TEST_F(BatchJobs, AProfileThatReadsOnAndFailsEndsEveryRunAlike) {
    test::ScratchDir one, many;
    WriteFolder(one, 6, -1, true);
    WriteFolder(many, 6, -1, true);
    TRun single = Run(one, 1);
    EXPECT_FALSE(single.boxes.empty());
    EXPECT_NE(single.failure, "");
    ExpectSame(Run(many, 2), single);
}

}  // namespace
}  // namespace kel
