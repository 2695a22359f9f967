#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "browser/Kelbrows.h"
#include "common/DateTime.h"
#include "kinetics/KineticsLibrary.h"
#include "support/SessionTestSupport.h"
#include "synth/DamagedFiles.h"
#include "synth/KineticsGenerator.h"
#include "synth/LegacyWriter.h"
#include "synth/ProfileGenerator.h"

namespace fs = std::filesystem;

namespace kel {
namespace {

int LineCount(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

// Listing and batch work in the current folder; each test restores it.
class Browser : public ::testing::Test {
protected:
    Browser() : previous_(fs::current_path()) { test::UseKinetics(synth::DemoKineticsText()); }
    ~Browser() override {
        fs::current_path(previous_);
        KineticsLibrary().Clear();
    }
    void WriteProfile(const std::string& name, double dateOrigin, std::uint64_t seed = 1) {
        WriteProfileIn(dir, name, dateOrigin, seed);
    }
    static void WriteProfileIn(const test::ScratchDir& folder, const std::string& name, double dateOrigin,
                               std::uint64_t seed) {
        synth::ProfileOptions options = synth::DefaultOptions(seed);
        options.dateOrigin = dateOrigin;
        synth::WriteLegacyFile(folder.File(name), synth::MakeProfile(options));
    }
    // A damaged file last modified `days` ago.
    void WriteDamaged(const std::string& name, synth::TDamage damage, int days) {
        synth::WriteDamagedProfile(dir.File(name), damage);
        fs::last_write_time(dir.File(name), fs::file_time_type::clock::now() - std::chrono::hours(24 * days));
    }
    test::ScratchDir dir;
    test::RecordedMessages boxes;
    TProfileListing listing;

private:
    fs::path previous_;
};

TEST_F(Browser, ListsProfilesNewestFirstInLowerCase) {
    WriteProfile("a.kel", EncodeDateTime({2006, 5, 1, 12, 0, 0, 0}));
    WriteProfile("B.KEL", EncodeDateTime({2007, 5, 1, 12, 0, 0, 0}));
    test::WriteFileForTest(dir.File("notes.txt"), "not a profile");
    test::WriteFileForTest(dir.File(".hidden.kel"), "hidden");
    fs::create_directory(dir.File("folder.kel"));
    listing.ListFolder(dir.Path());
    EXPECT_EQ(fs::canonical(fs::current_path()), fs::canonical(dir.Path()));
    ASSERT_EQ(listing.Entries.size(), 2u);
    EXPECT_EQ(listing.Entries[0].Text, "b.kel");
    EXPECT_EQ(listing.Entries[0].StoredName, "B.KEL");
    EXPECT_EQ(listing.Entries[1].Text, "a.kel");
    EXPECT_TRUE(listing.Entries[0].Details->HeaderOnly);
    EXPECT_EQ(listing.Entries[1].Details->reactant, "breath");
    EXPECT_TRUE(boxes.shown.empty());
}

// A file whose header cannot be read is listed all the same, where its
// modification time puts it among the profiles' dates, and says why.
TEST_F(Browser, EveryDamagedFileIsListedByItsFileTimeWithItsReason) {
    WriteProfile("new.kel", NowDateTime() - 10);
    WriteProfile("old.kel", NowDateTime() - 30);
    WriteDamaged("header.kel", synth::TDamage::XmlWithoutDate, 20);
    WriteDamaged("archive.kel", synth::TDamage::ZipWithoutMember, 1);
    WriteDamaged("huge.kel", synth::TDamage::HugeWithoutDate, 40);
    listing.ListFolder(dir.Path());
    std::vector<std::string> texts, details;
    for (const TListEntry& entry : listing.Entries) {
        texts.push_back(entry.Text);
        details.push_back(DetailsText(entry));
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"archive.kel", "new.kel", "header.kel", "old.kel", "huge.kel"}));
    EXPECT_EQ(details, (std::vector<std::string>{
                           "damaged: Index out of range.", "",
                           "damaged: the date '' is not a valid floating point value", "",
                           "damaged: Not a profile: \"huge.kel\" holds more than 23 MiB, more than any profile"}));
    EXPECT_EQ(listing.FirstProfile(), 1);
    EXPECT_EQ(listing.Entries[2].Details->ProfileDate, FileDateTime(dir.File("header.kel")));
    EXPECT_EQ(listing.Entries[2].Failure.file, "header.kel");
    EXPECT_TRUE(boxes.shown.empty());

    // Nothing but damaged files: listed, and no profile to open.
    fs::remove(dir.File("new.kel"));
    fs::remove(dir.File("old.kel"));
    listing.ListFolder(dir.Path());
    EXPECT_EQ(listing.Entries.size(), 3u);
    EXPECT_EQ(listing.FirstProfile(), -1);
}

#ifndef _WIN32
TEST_F(Browser, AFolderThatCannotBeReadSaysWhyInsteadOfListingNothing) {
    const std::string locked = dir.File("locked");
    fs::create_directory(locked);
    WriteProfile("locked/a.kel", 46000.25);
    // Enterable, not readable: the listing's own call is what fails.
    fs::permissions(locked, fs::perms::owner_write | fs::perms::owner_exec | fs::perms::group_exec |
                                fs::perms::others_exec);
    fs::permissions(dir.Path(), fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    const auto listFails = [&] {
        TProfileListing folder;
        TIoResult listed = folder.ListFolder(locked);
        return !listed && listed.reason == "Cannot list the folder \"" + locked + "\": Permission denied" &&
               folder.Entries.empty();
    };
    if (::geteuid() != 0) {
        EXPECT_TRUE(listFails());
    } else {
        // Root reads every folder; another user is refused.
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) ::_exit(::setgid(65534) == 0 && ::setuid(65534) == 0 && listFails() ? 0 : 1);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    fs::permissions(locked, fs::perms::owner_all);
}
#endif

#ifndef _WIN32
// Only a file system that tells case apart holds both.
TEST_F(Browser, ProfilesWhoseNamesDifferOnlyInCaseKeepOutputsOfTheirOwn) {
    WriteProfile("Breath.KEL", 46000.25, 3);
    WriteProfile("breath.kel", 46001.25, 4);
    listing.ListFolder(dir.Path());
    TKelViewSession session{test::TestServices()};
    ASSERT_TRUE(BatchConvert(listing, session));
    const std::string upper = test::ReadFile(dir.File("Breath.KELPpb.csv"));
    const std::string lower = test::ReadFile(dir.File("breath.kelPpb.csv"));
    EXPECT_EQ(upper.rfind("Breath,", 0), 0u) << upper.substr(0, 40);
    EXPECT_EQ(lower.rfind("breath,", 0), 0u) << lower.substr(0, 40);
    EXPECT_NE(test::ReadFile(dir.File("Breath.KEL.csv")), test::ReadFile(dir.File("breath.kel.csv")));
    EXPECT_EQ(test::ReadFile(dir.File("AllFilesPpb.csv")), lower + upper);
}
#endif

TEST_F(Browser, BusyFromTheEleventhProfile) {
    for (int i = 0; i < 11; ++i) WriteProfile("p" + std::to_string(i) + ".kel", 46000 + i);
    std::vector<bool> calls;
    listing.ListFolder(dir.Path(), [&](bool busy) { calls.push_back(busy); });
    EXPECT_EQ(calls, (std::vector<bool>{true, false}));
    EXPECT_EQ(listing.Entries.front().Text, "p10.kel");
}

TEST_F(Browser, BatchConvertsEveryProfileNewestFirst) {
    WriteProfile("old.kel", 46000.25, 3);
    WriteProfile("new.kel", 46001.25, 4);
    listing.ListFolder(dir.Path());
    TKelViewSession session{test::TestServices()};
    std::vector<std::string> progress;
    BatchConvert(listing, session, [&](int i, int n, const std::string& name) {
        progress.push_back(std::to_string(i) + "/" + std::to_string(n) + " " + name);
        return true;
    });
    EXPECT_EQ(progress, (std::vector<std::string>{"0/2 new.kel", "1/2 old.kel"}));
    for (const char* name : {"new.kel.csv", "old.kel.csv", "new.kelPpb.csv", "old.kelPpb.csv", "AllFilesPpb.csv"})
        EXPECT_TRUE(fs::exists(dir.File(name))) << name;
    std::string newer = test::ReadFile(dir.File("new.kelPpb.csv"));
    std::string older = test::ReadFile(dir.File("old.kelPpb.csv"));
    EXPECT_EQ(LineCount(newer), 200);  // points 1..200, never point 0
    EXPECT_EQ(newer.rfind("new,10/12/2025,06:00:0", 0), 0u) << newer.substr(0, 60);
    EXPECT_NE(newer.find(",\"acetone\","), std::string::npos);
    EXPECT_EQ(test::ReadFile(dir.File("AllFilesPpb.csv")), newer + older);
    EXPECT_TRUE(session.PpbDown());
    EXPECT_EQ(listing.Selected, 1);
    EXPECT_EQ(session.Profile().FileName, "old.kel");

    // A second run starts the collected file afresh.
    BatchConvert(listing, session);
    EXPECT_EQ(test::ReadFile(dir.File("AllFilesPpb.csv")), newer + older);
    EXPECT_EQ(test::ReadFile(dir.File("new.kelPpb.csv")), newer);

    // Stopped before the second profile: the first one's outputs are written
    // whole and the collected file holds its lines only; the older ones stay.
    fs::remove(dir.File("old.kel.csv"));
    TBatchResult stopped = BatchConvert(listing, session, [](int i, int, const std::string&) { return i < 1; });
    EXPECT_TRUE(stopped);
    EXPECT_EQ(stopped.converted, 1);
    EXPECT_EQ(test::ReadFile(dir.File("AllFilesPpb.csv")), newer);
    EXPECT_EQ(test::ReadFile(dir.File("old.kelPpb.csv")), older);
    EXPECT_FALSE(fs::exists(dir.File("old.kel.csv")));
    EXPECT_EQ(listing.Selected, 0);
}

// The batch skips what the listing could not read, names each in one line,
// and converts the rest exactly as in a folder without them.
TEST_F(Browser, BatchSkipsDamagedFilesAndConvertsTheRestAsWithoutThem) {
    test::ScratchDir clean;
    const double now = NowDateTime();
    for (const test::ScratchDir* folder : {&dir, &clean}) {
        WriteProfileIn(*folder, "new.kel", now - 10, 4);
        WriteProfileIn(*folder, "old.kel", now - 30, 3);
    }
    WriteDamaged("newest.kel", synth::TDamage::XmlWithoutDate, 1);
    WriteDamaged("between.kel", synth::TDamage::ZipWithoutMember, 20);
    TKelViewSession session{test::TestServices()};
    listing.ListFolder(clean.Path());
    ASSERT_TRUE(BatchConvert(listing, session));

    listing.ListFolder(dir.Path());
    std::vector<std::string> progress;
    TBatchResult batch = BatchConvert(listing, session, [&](int i, int n, const std::string& name) {
        progress.push_back(std::to_string(i) + "/" + std::to_string(n) + " " + name);
        return true;
    });
    EXPECT_TRUE(batch) << batch.io.description();
    EXPECT_EQ(batch.converted, 2);
    EXPECT_EQ(progress, (std::vector<std::string>{"1/4 new.kel", "3/4 old.kel"}));
    std::vector<std::string> lines;
    for (const TIoResult& skipped : batch.skipped) lines.push_back(SkippedLine(skipped));
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "skipped \"newest.kel\": damaged: the date '' is not a valid floating point value",
                         "skipped \"between.kel\": damaged: Index out of range."}));
    const auto outputs = [](const test::ScratchDir& folder) {
        std::vector<std::string> names;
        for (const std::string& name : test::ListFolder(folder.Path()))
            if (!name.ends_with(".kel")) names.push_back(name);
        return names;
    };
    ASSERT_EQ(outputs(clean).size(), 5u);
    ASSERT_EQ(outputs(dir), outputs(clean));
    for (const std::string& name : outputs(clean))
        EXPECT_EQ(test::ReadFile(dir.File(name)), test::ReadFile(clean.File(name))) << name;
    EXPECT_EQ(listing.Selected, 3);
    EXPECT_EQ(session.Profile().FileName, "old.kel");

    // Nothing that can be read: nothing is converted and the collected file
    // of an earlier batch stays.
    fs::remove(dir.File("new.kel"));
    fs::remove(dir.File("old.kel"));
    test::WriteFileForTest(dir.File(kAllFilesPpbName), "kept");
    listing.ListFolder(dir.Path());
    TBatchResult none = BatchConvert(listing, session);
    EXPECT_TRUE(none);
    EXPECT_EQ(none.converted, 0);
    EXPECT_EQ(none.skipped.size(), 2u);
    EXPECT_EQ(test::ReadFile(dir.File(kAllFilesPpbName)), "kept");
}

TEST_F(Browser, CompoundsThatCannotBeComputedAreLeftOut) {
    // The first precursor line (NO+) is not measured: the compound is selected
    // through its H3O+ line but its window rate of the first precursor is 0.
    test::UseKinetics("unmeasured (X)\r\n2\r\n30 2e-9 1\r\n19 2e-9 1\r\n1\r\n33 1\r\n" + synth::DemoKineticsText());
    WriteProfile("one.kel", 46000.25, 5);
    listing.ListFolder(dir.Path());
    TKelViewSession session{test::TestServices()};
    session.SetLogFileName(dir.File("multilog.csv"));
    BatchConvert(listing, session);
    ASSERT_GT(KineticsLibrary().Compound(0).SelectCount, 0);
    std::string lines = test::ReadFile(dir.File("one.kelPpb.csv"));
    EXPECT_EQ(lines.find("unmeasured"), std::string::npos);
    EXPECT_NE(lines.find("\"methanol\""), std::string::npos);
    session.SelectAllClick();
    session.btLogResultsClick();
    std::string log = test::ReadFile(session.LogFileName());
    EXPECT_EQ(log.find("unmeasured"), std::string::npos);
    EXPECT_NE(log.find(",\"methanol\","), std::string::npos);
}

TEST_F(Browser, BatchLinesOfOneAndOfManyPoints) {
    TKel single = test::ConstantProfile(2);
    single.njm = 1;
    single.jm = 1;
    synth::WriteLegacyFile(dir.File("single.kel"), single);
    listing.ListFolder(dir.Path());
    TKelViewSession session{test::TestServices()};
    BatchConvert(listing, session);
    EXPECT_EQ(test::ReadFile(dir.File("single.kelPpb.csv")), "");
    EXPECT_EQ(test::ReadFile(dir.File("AllFilesPpb.csv")), "");
}

}  // namespace
}  // namespace kel
