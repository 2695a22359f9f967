// Following the shown profile's file as the instrument rewrites it: the new
// counts with the user's analysis, and nothing shown, said or logged for a
// file caught while it is being written.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "kinetics/KineticsLibrary.h"
#include "support/SessionTestSupport.h"
#include "synth/KineticsGenerator.h"
#include "synth/LegacyWriter.h"
#include "synth/ProfileGenerator.h"

namespace kel {
namespace {

class FollowShownFile : public ::testing::Test {
protected:
    FollowShownFile() {
        test::UseKinetics(synth::DemoKineticsText());
        first = synth::MakeProfile(synth::DefaultOptions(1));
        next = synth::MakeProfile(synth::DefaultOptions(2));
        synth::WriteLegacyFile(path, first);
    }
    ~FollowShownFile() override { KineticsLibrary().Clear(); }

    // The profile in "ppb" mode over 200 to 300 s, a dead time typed, a
    // comment edited: an analysis of the user's that a re-read must keep.
    void Analyse(TKelViewSession& session, const std::string& file) {
        session.SetLogFileName(dir.File("multilog.csv"));
        ASSERT_FALSE(session.ShowProfile(file).Failed());
        session.BtnPpbClick();
        ASSERT_TRUE(session.EditField(TFieldId::feDeadT, "0.0001"));
        TProfileTexts texts = session.Texts();
        texts.Comment = "seen by hand";
        session.UpdateComments(texts);
        session.SelectTimes(200, 300);
    }

    // What the user sees of the analysis, apart from the counts.
    struct Analysis {
        TModeButton mode;
        std::array<double, kFieldCount> fields;
        std::array<double, 2> selection;
        TProfileTexts texts;
        bool operator==(const Analysis&) const = default;
    };
    static Analysis AnalysisOf(const TKelViewSession& s) {
        Analysis a{s.ModeDown(), {}, s.Selection(), s.Texts()};
        for (int i = 0; i < kFieldCount; ++i) a.fields[i] = s.FieldValue(static_cast<TFieldId>(i));
        return a;
    }
    static std::vector<std::string> Lines(const TKelViewSession& s) {
        std::vector<std::string> lines;
        for (const TComment& c : s.Graph1().Comments) lines.push_back(c.Text);
        return lines;
    }

    test::ScratchDir dir;
    test::RecordedMessages boxes;
    std::string path = dir.File("live.kel");
    TKel first, next;
};

TEST_F(FollowShownFile, RewrittenInPlaceOrReplacedByRenameShowsTheNewCountsWithTheAnalysisKept) {
    // What the window would show for the next cycle's file opened afresh
    // and analysed the same way.
    synth::WriteLegacyFile(dir.File("expected.kel"), next);
    TKelViewSession expected{test::TestServices()};
    Analyse(expected, dir.File("expected.kel"));

    TKelViewSession session{test::TestServices()};
    Analyse(session, path);
    const Analysis before = AnalysisOf(session);
    ASSERT_NE(Lines(session), Lines(expected));
    session.TakeChanges();

    synth::WriteLegacyFile(path, next);
    TFollowResult followed = session.ReloadShownProfile(TFollowAttempt::Quiet);
    EXPECT_TRUE(followed.shown);
    EXPECT_EQ(followed.report, "");
    EXPECT_EQ(AnalysisOf(session), before);
    EXPECT_EQ(session.Profile().Counts, next.Counts);
    EXPECT_EQ(Lines(session), Lines(expected));
    EXPECT_EQ(session.CompoundResults().size(), expected.CompoundResults().size());
    EXPECT_NE(session.TakeChanges() & chResults, 0u);

    // The instrument's way: the whole file written aside, then renamed over.
    synth::WriteLegacyFile(dir.File("live.tmp"), first);
    std::filesystem::rename(dir.File("live.tmp"), path);
    EXPECT_TRUE(session.ReloadShownProfile(TFollowAttempt::Quiet).shown);
    EXPECT_EQ(session.Profile().Counts, first.Counts);
    EXPECT_EQ(AnalysisOf(session), before);
    EXPECT_EQ(session.Texts().FileName, "live.kel");
    EXPECT_TRUE(boxes.Texts().empty()) << boxes.Texts().front();
}

TEST_F(FollowShownFile, AFileCaughtHalfWrittenIsPassedOverQuietlyUntilTheLastAttempt) {
    TKelViewSession session{test::TestServices()};
    Analyse(session, path);
    const Analysis before = AnalysisOf(session);
    const std::vector<std::string> lines = Lines(session);
    const TAxesState axes = AxesOf(session.Graph1());

    // A legacy file cut short reads on as damaged; a zipped one cut short
    // ends; a file renamed away is not there for a moment.
    next.SaveZipped(dir.File("whole.zip"));
    const std::string zipped = test::ReadFile(dir.File("whole.zip"));
    const std::vector<std::function<void()>> halfWritten = {
        [&] { synth::WriteLegacyFile(path, next, 9000); },
        [&] { test::WriteFileForTest(path, zipped.substr(0, zipped.size() / 2)); },
        [&] { std::filesystem::remove(path); },
    };
    for (const auto& write : halfWritten) {
        write();
        TFollowResult followed = session.ReloadShownProfile(TFollowAttempt::Quiet);
        EXPECT_FALSE(followed.shown);
        EXPECT_EQ(followed.report, "");
        EXPECT_EQ(session.Profile().Counts, first.Counts);
        EXPECT_EQ(Lines(session), lines);
        EXPECT_EQ(AnalysisOf(session), before);
        EXPECT_EQ(AxesOf(session.Graph1()), axes);
    }
    EXPECT_TRUE(boxes.Texts().empty()) << boxes.Texts().front();

    // Once the retries are over the user learns which file and why; a file
    // gone or ended keeps the profile as it was read before.
    TFollowResult gone = session.ReloadShownProfile(TFollowAttempt::Final);
    EXPECT_FALSE(gone.shown);
    EXPECT_NE(gone.report.find("live.kel"), std::string::npos) << gone.report;
    EXPECT_EQ(session.Profile().Counts, first.Counts);

    // A legacy file that stays short is not a cycle of the instrument
    // either: kept out, and said once, not as a box of its own.
    synth::WriteLegacyFile(path, next, 24626);
    TFollowResult cut = session.ReloadShownProfile(TFollowAttempt::Final);
    EXPECT_FALSE(cut.shown);
    EXPECT_NE(cut.report.find("Damaged profile: "), std::string::npos) << cut.report;
    EXPECT_NE(cut.report.find("live.kel"), std::string::npos) << cut.report;
    EXPECT_EQ(session.Profile().Counts, first.Counts);
    EXPECT_EQ(AnalysisOf(session), before);
    EXPECT_TRUE(boxes.Texts().empty()) << boxes.Texts().front();

    synth::WriteLegacyFile(path, next);
    EXPECT_TRUE(session.ReloadShownProfile(TFollowAttempt::Quiet).shown);
    EXPECT_EQ(session.Profile().Counts, next.Counts);
}

TEST_F(FollowShownFile, KeepLogLogsOnlyWhatTheUserDoesNotEveryCycle) {
    TKelViewSession session{test::TestServices()};
    Analyse(session, path);
    session.sbKeepLogClick();
    session.SelectTimes(10, 50);
    const std::string logged = test::ReadFile(session.LogFileName());
    ASSERT_NE(logged, "");

    synth::WriteLegacyFile(path, next);
    ASSERT_TRUE(session.ReloadShownProfile(TFollowAttempt::Quiet).shown);
    synth::WriteLegacyFile(path, first);
    ASSERT_TRUE(session.ReloadShownProfile(TFollowAttempt::Final).shown);
    EXPECT_EQ(test::ReadFile(session.LogFileName()), logged);

    // The toggle itself still logs the user's next selection.
    session.SelectTimes(10, 40);
    EXPECT_GT(test::ReadFile(session.LogFileName()).size(), logged.size());
}

TEST_F(FollowShownFile, AxesFollowTheDataAfterShowAllAndStayWhereTheUserZoomed) {
    // The next cycle counts ten times as much: "Show all" must show it.
    synth::ProfileOptions louder = synth::DefaultOptions(2);
    for (synth::Channel& c : louder.channels) c.rate *= 10;
    const TKel loud = synth::MakeProfile(louder);
    synth::WriteLegacyFile(dir.File("loud.kel"), loud);
    TKelViewSession fresh{test::TestServices()};
    ASSERT_FALSE(fresh.ShowProfile(dir.File("loud.kel")).Failed());

    TKelViewSession session{test::TestServices()};
    ASSERT_FALSE(session.ShowProfile(path).Failed());
    session.LogplotCtrlEnter1Click();  // a linear axis, refitted: still "Show all"
    fresh.LogplotCtrlEnter1Click();
    synth::WriteLegacyFile(path, loud);
    ASSERT_TRUE(session.ReloadShownProfile(TFollowAttempt::Quiet).shown);
    EXPECT_EQ(AxesOf(session.Graph1()), AxesOf(fresh.Graph1()));

    const TAxesState zoomed{30, 80, 5, 5000, false, false};
    for (const auto& zoom : std::vector<std::function<void()>>{
             [&] { session.ApplyMainAxes(zoomed); },
             [&] {
                 session.SelectTimes(30, 80);
                 session.ExpandClick();
             }}) {
        session.ShowAllClick();
        zoom();
        const TAxesState chosen = AxesOf(session.Graph1());
        synth::WriteLegacyFile(path, first);
        ASSERT_TRUE(session.ReloadShownProfile(TFollowAttempt::Quiet).shown);
        EXPECT_EQ(AxesOf(session.Graph1()), chosen);
    }
}

TEST_F(FollowShownFile, AReadOfAProfileNoLongerShownIsDropped) {
    synth::WriteLegacyFile(dir.File("other.kel"), next);
    TKelViewSession session{test::TestServices()};
    ASSERT_FALSE(session.ShowProfile(path).Failed());
    TFollowRead read = session.StartFollowRead();
    ReadFollowedFile(read);
    ASSERT_TRUE(read.loaded.ok());
    ASSERT_FALSE(session.ShowProfile(dir.File("other.kel")).Failed());
    EXPECT_FALSE(session.ShowFollowed(std::move(read), TFollowAttempt::Final).shown);
    EXPECT_EQ(session.Profile().Counts, next.Counts);
    EXPECT_EQ(session.Texts().FileName, "other.kel");

    // Nothing shown yet: nothing to follow.
    TKelViewSession empty{test::TestServices()};
    EXPECT_FALSE(empty.ReloadShownProfile(TFollowAttempt::Final).shown);
    EXPECT_EQ(empty.ReloadShownProfile(TFollowAttempt::Final).report, "");
}

}  // namespace
}  // namespace kel
