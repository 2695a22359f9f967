#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "support/SessionTestSupport.h"
#include "common/Errors.h"
#include "kinetics/KineticsLibrary.h"
#include "plot/GraphClipboard.h"
#include "plot/CurveColors.h"
#include "synth/KineticsGenerator.h"

namespace kel {
namespace {

using test::CommentsWithTag;

class SessionWindow : public ::testing::Test {
protected:
    SessionWindow() { test::UseKinetics(synth::DemoKineticsText()); }
    ~SessionWindow() override { KineticsLibrary().Clear(); }
    std::string DemoProfile() const { return std::string(KELVIEW_SOURCE_DIR) + "/demo/breath-01.kel"; }
    test::ScratchDir dir;
    test::RecordedMessages boxes;
    TKelViewSession session{test::TestServices()};
};

TEST_F(SessionWindow, RefreshReplacesTheLegendByTheResultLines) {
    session.ShowProfile(DemoProfile());
    auto lines = CommentsWithTag(session.Graph1(), 0);
    // 14 channels, "(total)", the window line and the auxiliary rows 18..26
    // without "(" (the unnamed row 26 too).
    ASSERT_EQ(lines.size(), 14u + 2u + 4u);
    EXPECT_EQ(lines[0].Text.rfind("19", 0), 0u);
    EXPECT_NE(lines[0].Text.find("±"), std::string::npos);
    EXPECT_EQ(lines[14].Text.rfind("(total)", 0), 0u);
    EXPECT_EQ(lines[15].Text, "(njm, jm, jm1, jm2)201350  0  0");  // nothing selected yet
    EXPECT_EQ(lines[19].Text, " 0");
    EXPECT_EQ(lines[16].Text.rfind("p Torr ", 0), 0u);
    EXPECT_EQ(lines[16].PosX, session.Graph1().Width() / 2);
    EXPECT_EQ(lines[16].PosY, 10 * 18 - 130);
    EXPECT_TRUE(boxes.shown.empty());
    session.SelectAllClick();
    EXPECT_EQ(CommentsWithTag(session.Graph1(), 0)[15].Text, "(njm, jm, jm1, jm2)201350  0200");
}

TEST_F(SessionWindow, PpbModeShowsCompoundsAndIntermediateResults) {
    session.ShowProfile(DemoProfile());
    session.BtnPpbClick();
    ASSERT_TRUE(session.PpbDown());
    EXPECT_EQ(session.Graph1().TitleLeft(), "ppb");
    int selected = 0;
    for (int i = 0; i < KineticsLibrary().Count(); ++i) selected += KineticsLibrary().Compound(i).SelectCount > 0;
    ASSERT_GT(selected, 1);
    EXPECT_EQ(session.Graph1().Curves.Count(), selected);
    ASSERT_EQ(static_cast<int>(session.CompoundResults().size()), selected);
    ASSERT_FALSE(session.IntermediateResults().empty());
    EXPECT_EQ(session.IntermediateResults()[0], "Intermediate results from breath-01.kel");
    auto lines = CommentsWithTag(session.Graph1(), 0);
    EXPECT_EQ(lines[0].PosX, 50);
    EXPECT_NE(lines[0].Text.find(" ppb"), std::string::npos) << lines[0].Text;
    EXPECT_NE(lines[0].Text.find("cps/ppb)"), std::string::npos) << lines[0].Text;

    ASSERT_TRUE(session.SetSensitMode(2));
    std::string lod = CommentsWithTag(session.Graph1(), 0)[0].Text;
    EXPECT_NE(lod.find("(LOD="), std::string::npos) << lod;
}

TEST_F(SessionWindow, IntermediateTextIsThatOfTheLastPpbCalculation) {
    session.ShowProfile(DemoProfile());
    session.BtnPpbClick();
    session.SelectAllClick();
    TWindowInputs inputs;
    inputs.profile = &session.Profile();
    inputs.library = &KineticsLibrary();
    inputs.mode = TPlotMode::Ppb;
    inputs.corrections = {session.CorrectDown(), session.DeadTime(), session.Profile().OutlierFilter};
    std::tie(inputs.start, inputs.end) = session.SelectionToWindow(session.PointTime());
    inputs.fileNameField = session.Texts().FileName;
    inputs.graphWidth = session.Graph1().Width();
    std::vector<std::string> expected = RunWindowCalculation(inputs).intermediate;
    ASSERT_GT(expected.size(), 200u);
    // Leaving ppb mode and changing the profile keep the last ppb run's text.
    session.BtnPpbClick();
    ASSERT_FALSE(session.PpbDown());
    session.SetFieldValue(TFieldId::feDf73, 2.0);
    EXPECT_EQ(session.IntermediateResults(), expected);
}

// The text is composed when read, from what the run computed: neither a
// new profile nor an emptied library reaches it.
TEST_F(SessionWindow, IntermediateTextOutlivesTheProfileAndLibraryOfItsRun) {
    TKelViewSession reference{test::TestServices()};
    for (TKelViewSession* s : {&reference, &session}) {
        s->ShowProfile(DemoProfile());
        s->BtnPpbClick();
        s->SelectTimes(20 * s->PointTime(), 40 * s->PointTime());
    }
    std::vector<std::string> expected = reference.IntermediateResults();
    ASSERT_GT(expected.size(), 30u);
    session.BtnPpbClick();
    KineticsLibrary().Clear();
    session.ShowProfile(std::string(KELVIEW_SOURCE_DIR) + "/demo/room-air.kel");
    EXPECT_EQ(session.IntermediateResults(), expected);
}

TEST_F(SessionWindow, ZeroDwellEndsTheRunWithTheExceptionLine) {
    TKel profile = test::ConstantProfile(3);
    profile.Cntm[5] = 0;  // the third channel
    std::string path = test::SaveProfile(dir, profile);
    EXPECT_ANY_THROW(session.ShowProfile(path));  // its curve cannot be built
    EXPECT_TRUE(session.Ready());
    session.XYGraphBox1Tool(session.Graph1().XToPixel(0), session.Graph1().XToPixel(10));
    auto lines = CommentsWithTag(session.Graph1(), 0);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].Text.rfind("19", 0), 0u);
    EXPECT_EQ(lines[1].Text.rfind("37", 0), 0u);
    EXPECT_EQ(lines[2].Text.rfind("Exception was ", 0), 0u);
    EXPECT_EQ(lines[2].PosX, 50);
    EXPECT_EQ(lines[2].PosY, 250);
    EXPECT_EQ(lines[2].FontColor, RGBColor(255, 0, 0));
    EXPECT_EQ(lines[2].BkColor, 0u);
}

TEST_F(SessionWindow, KeepLogAppendsAfterEverySuccessfulCalculation) {
    session.SetLogFileName(dir.File("multilog.csv"));
    session.ShowProfile(DemoProfile());
    EXPECT_EQ(test::ReadFile(session.LogFileName()), "");
    session.sbKeepLogClick();
    session.XYGraphBox1Tool(session.Graph1().XToPixel(10), session.Graph1().XToPixel(30));
    std::string log = test::ReadFile(session.LogFileName());
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;  // header and line
    EXPECT_EQ(log.rfind("file,date,time,endtime, mz19 , mz37 ", 0), 0u) << log;
}

TEST_F(SessionWindow, IsotopeModeKeepsItsSums) {
    TKel profile = test::ConstantProfile(4);
    profile.ion = "FAMS";
    session.ShowProfile(test::SaveProfile(dir, profile));
    EXPECT_GT(session.IsotopeSums().S74, 0);
    EXPECT_GT(session.IsotopeSums().S75, 0);
    auto lines = CommentsWithTag(session.Graph1(), 0);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0].Text.rfind("(74) ", 0), 0u);
}

TEST_F(SessionWindow, OptionsReloadAnotherKineticsFileAndKeepThePpbCurves) {
    session.ShowProfile(DemoProfile());
    session.BtnPpbClick();
    const int curves = session.Graph1().Curves.Count();
    ASSERT_GT(curves, 1);
    const std::string file = dir.File("other.txt");
    test::WriteFileForTest(file, synth::DemoKineticsText());
    session.TakeChanges();

    ASSERT_TRUE(session.ApplyOptions(file, 0));  // the same sensitivity
    EXPECT_EQ(KineticsFileName(), file);
    EXPECT_EQ(session.Graph1().Curves.Count(), curves);  // compounds selected again
    EXPECT_TRUE(session.TakeChanges() & chResults);

    // The same name is not read again; a refused choice changes nothing.
    test::WriteFileForTest(file, "");
    EXPECT_FALSE(session.ApplyOptions(dir.File("third.txt"), 5));
    EXPECT_EQ(KineticsFileName(), file);
    ASSERT_TRUE(session.ApplyOptions(file, 2));
    EXPECT_EQ(session.SensitMode(), 2);
    EXPECT_EQ(session.Graph1().Curves.Count(), curves);
    EXPECT_TRUE(boxes.shown.empty());
    SetKineticsFileName("");
}

class RecordingClipboard : public TGraphClipboard {
public:
    bool PutPicture(int width, int height, const std::function<void(TCanvas&)>&) override {
        size = {width, height};
        return accept;
    }
    bool accept = true;
    std::pair<int, int> size{0, 0};
};

TEST_F(SessionWindow, CopyPictureSaysWhenNothingWasCopied) {
    session.ShowProfile(DemoProfile());
    EXPECT_THROW(session.btCopyClick(), EKelError);
    RecordingClipboard clipboard;
    TKelViewSession copying{test::TestServices(&clipboard)};
    copying.ShowProfile(DemoProfile());
    copying.btCopyClick();
    EXPECT_EQ(clipboard.size, std::make_pair(copying.Graph1().Width() + 10, copying.Graph1().Height() + 10));
    clipboard.accept = false;
    EXPECT_THROW(copying.btCopyClick(), EKelError);
}

}  // namespace
}  // namespace kel
