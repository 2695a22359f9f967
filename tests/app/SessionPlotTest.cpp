#include <gtest/gtest.h>

#include <cmath>

#include "support/SessionTestSupport.h"
#include "kinetics/CountAccess.h"
#include "plot/CurveColors.h"

namespace kel {
namespace {

using test::CommentsWithTag;

class SessionPlot : public ::testing::Test {
protected:
    void Open(const TKel& profile) { session.ShowProfile(test::SaveProfile(dir, profile)); }
    test::ScratchDir dir;
    test::RecordedMessages boxes;
    TKelViewSession session{test::TestServices()};
};

TEST_F(SessionPlot, CountRateModeHasOneCurvePerChannelAndTheirTotal) {
    Open(test::ConstantProfile(3));
    session.btnApplyDeMrClick();  // "correct" up: plain dead-time corrected rates
    ASSERT_FALSE(session.CorrectDown());
    session.BuildPlot();  // a rebuild without the window calculation shows the legend
    const TXYGraph& g = session.Graph1();
    ASSERT_EQ(g.Curves.Count(), 4);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(g.Curves[k]->Pen.Color(), CurveColor(k)) << k;
    EXPECT_EQ(g.Curves[3]->Pen.Color(), PaletteColor(208, 192, 0));
    auto legend = CommentsWithTag(g, 0);
    ASSERT_EQ(legend.size(), 4u);
    const char* texts[] = {"19", "37", "55", "(total)"};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(legend[static_cast<std::size_t>(k)].Text, texts[k]);
        EXPECT_EQ(legend[static_cast<std::size_t>(k)].PosX, 80);
        EXPECT_EQ(legend[static_cast<std::size_t>(k)].PosY, 50 + 20 * k);
        EXPECT_EQ(legend[static_cast<std::size_t>(k)].Align, 256);
        EXPECT_EQ(legend[static_cast<std::size_t>(k)].BkColor, session.BoxColor());
    }
    // Rates: counts * FScan / dwell = 100 (k + 1) * 500 / 100; the total adds them.
    EXPECT_DOUBLE_EQ(g.Curves[0]->Y[5], 500);
    ASSERT_EQ(g.Curves[0]->Count, 201);
    EXPECT_DOUBLE_EQ(g.Curves[1]->Y[5], 1000);
    for (int i : {0, 100, 200})
        EXPECT_DOUBLE_EQ(g.Curves[3]->Y[static_cast<std::size_t>(i)],
                         g.Curves[0]->Y[static_cast<std::size_t>(i)] + g.Curves[1]->Y[static_cast<std::size_t>(i)] +
                             g.Curves[2]->Y[static_cast<std::size_t>(i)]);
    EXPECT_EQ(g.TitleBottom(), "time [s]");
    EXPECT_EQ(g.TitleLeft(), "c/s");
}

TEST_F(SessionPlot, TitleAndInfoLine) {
    TKel profile = test::ConstantProfile(2);
    profile.f1 = 2;
    Open(profile);
    const TXYGraph& g = session.Graph1();
    EXPECT_EQ(g.TitleTop(),
              "09/12/2025 10:30:00, H3O+, test, , p=0.700, fc=150.0, f1=2.000, A=13.1, Tg=300, lr=70.0, "
              "f6=500.0, fscan=500.0");
    auto info = CommentsWithTag(g, 101);
    ASSERT_EQ(info.size(), 1u);
    EXPECT_EQ(info[0].Text.rfind("Id=48.0:11.0pA  fr= 2.00 t=", 0), 0u) << info[0].Text;
    EXPECT_NE(info[0].Text.find(" st= 0.40s Df(73)="), std::string::npos) << info[0].Text;
    EXPECT_EQ(info[0].Align, 258);
    EXPECT_EQ(info[0].FontColor, clBlue);
    EXPECT_EQ(info[0].PosX, g.PlotRect.right - 10);

    session.DrawingGraph(1).SetWidth(g.Width() - 169);  // the D/H side panel appears
    session.MainGraphResized();
    EXPECT_EQ(CommentsWithTag(g, 101)[0].PosX, g.PlotRect.right - 10);
    EXPECT_EQ(CommentsWithTag(g, 101)[0].PosY, g.PlotRect.top + 8);
}

TEST_F(SessionPlot, ImpossiblePressureIsRepairedForTheNextRebuild) {
    TKel profile = test::ConstantProfile(2);
    profile.p = 0;
    Open(profile);
    EXPECT_EQ(static_cast<double>(session.Profile().p), 0.5);
    session.UpdateComments(session.Texts());
    EXPECT_NE(session.Graph1().TitleTop().find("p=0.500"), std::string::npos);
}

TEST_F(SessionPlot, TimeAxisAndWindowsWithAndWithoutTimeZeroAtStart) {
    TKel profile = test::ConstantProfile(2, 300);  // 600 ticks per cycle: 1.2 s
    Open(profile);
    ASSERT_DOUBLE_EQ(session.PointTime(), 1.2);
    const TCurve& curve = *session.Graph1().Curves[0];
    EXPECT_DOUBLE_EQ(curve.X[0], 0);
    EXPECT_DOUBLE_EQ(curve.X[200], 240);
    session.cbT0StartClick();
    EXPECT_DOUBLE_EQ(session.Graph1().Curves[0]->X[0], 58.8);
    EXPECT_NEAR(session.Graph1().Curves[0]->X[200], 298.8, 1e-9);
    session.SelectTimes(70, 90);
    EXPECT_EQ(session.SelectionToWindow(session.PointTime()), (std::pair<int, int>{9, 26}));
    session.cbT0StartClick();
    session.SelectTimes(30, 10);
    EXPECT_EQ(session.SelectionToWindow(2), (std::pair<int, int>{5, 15}));
    session.SelectTimes(-5, 3);
    EXPECT_EQ(session.SelectionToWindow(2), (std::pair<int, int>{0, 2}));  // 1.5 rounds to even
    EXPECT_EQ(session.SelectionToWindow(0), (std::pair<int, int>{0, 0}));
}

// A drag past the graph or a typed end far beyond the profile ends at its
// last point: the window's work stays the profile's, and no point past the
// end reads the oldest one again. The first check fails slowly, not never,
// on a window that grows with the typed end.
TEST_F(SessionPlot, ASelectionPastTheLastPointEndsThere) {
    TKel profile = test::ConstantProfile(2, 300);
    Open(profile);
    const double t = session.PointTime();
    const int last = profile.njm - 1;
    session.SelectTimes(0, 1e8);
    ASSERT_EQ(session.SelectionToWindow(t), (std::pair<int, int>{0, last}));
    session.SelectTimes(1e308, -1e308);
    EXPECT_EQ(session.SelectionToWindow(t), (std::pair<int, int>{0, last}));
    session.SelectTimes(1e20, 5e19);
    EXPECT_EQ(session.SelectionToWindow(t), (std::pair<int, int>{last, last}));
    session.SelectTimes(2 * t, (last + 0.4) * t);  // within the last point's half: as before
    EXPECT_EQ(session.SelectionToWindow(t), (std::pair<int, int>{2, last}));
    EXPECT_EQ(session.Selection()[1], (last + 0.4) * t);  // the selection itself stays as dragged
    session.cbT0StartClick();
    session.SelectTimes(-1e300, 1e300);
    EXPECT_EQ(session.SelectionToWindow(t), (std::pair<int, int>{0, last}));
}

TEST_F(SessionPlot, TimeZeroAtStartShowsAndSelectsExactlyTheStoredPoints) {
    TKel profile = test::ConstantProfile(2);
    profile.jm = 20;  // the first points lie at negative times on the shifted axis
    Open(profile);
    session.cbT0StartClick();
    const double t = session.PointTime();
    session.SelectAllClick();
    EXPECT_DOUBLE_EQ(session.Graph1().xmin(), (20 - 201) * t);
    EXPECT_DOUBLE_EQ(session.Graph1().xmax(), 19 * t);
    EXPECT_EQ(session.SelectionToWindow(t), (std::pair<int, int>{0, 200}));
    session.ExpandClick();
    session.ShowAllClick();
    EXPECT_DOUBLE_EQ(session.Graph1().xmin(), (20 - 201) * t);
    EXPECT_DOUBLE_EQ(session.Graph1().xmax(), 19 * t);
}

TEST_F(SessionPlot, RebuildKeepsZoomButNotBeyondTheProfile) {
    Open(test::ConstantProfile(2, 300));
    TAxesState axes = AxesOf(session.Graph1());
    axes.xmin = -20;
    axes.xmax = 500;
    session.ApplyMainAxes(axes);
    session.RefreshPlot();
    EXPECT_EQ(session.Graph1().xmin(), 0);
    EXPECT_EQ(session.Graph1().xmax(), 240);
    axes.xmin = 10;
    axes.xmax = 100;
    session.ApplyMainAxes(axes);
    session.RefreshPlot();
    EXPECT_EQ(session.Graph1().xmin(), 10);
    EXPECT_EQ(session.Graph1().xmax(), 100);
}

TEST_F(SessionPlot, IsotopeModeAveragesTheTwoChannelGroups) {
    TKel profile = test::ConstantProfile(4);  // nim 8: groups of two channels
    profile.ion = "FAMS H3O+";
    Open(profile);
    ASSERT_TRUE(session.IsotopeDown());
    EXPECT_TRUE(session.SidePanelVisible());
    session.BuildPlot();
    const TXYGraph& g = session.Graph1();
    ASSERT_EQ(g.Curves.Count(), 4);
    EXPECT_DOUBLE_EQ(g.Curves[0]->Y[0], (500.0 + 1000.0) / 2);
    EXPECT_DOUBLE_EQ(g.Curves[1]->Y[0], (1500.0 + 2000.0) / 2);
    EXPECT_EQ(g.Curves[2]->Count, 0);
    EXPECT_EQ(g.Curves[3]->Pen.Width(), 3);
    EXPECT_EQ(g.Curves[3]->Pen.Color(), CurveColor(6));
    double q = 750.0 / 1750.0;
    EXPECT_NEAR(g.Curves[3]->Y[7], (q * 0.00198 - 0.000379) * 4000000.0 / 9.0 / 0.935, 1e-9);
    auto legend = CommentsWithTag(g, 0);
    ASSERT_EQ(legend.size(), 2u);
    EXPECT_EQ(legend[0].Text, "19");
    EXPECT_EQ(legend[1].Text, "55");  // row 5: the first channel of the second group
    const TXYGraph& side = session.Graph2();
    ASSERT_EQ(side.Curves.Count(), 2);
    EXPECT_EQ(side.Curves[1]->Count, 2);
    EXPECT_DOUBLE_EQ(side.Curves[1]->X[0], -0.2);
    EXPECT_DOUBLE_EQ(side.Curves[1]->X[1], 0.1);
    EXPECT_DOUBLE_EQ(side.Curves[1]->Y[0], 1500);
    EXPECT_DOUBLE_EQ(side.Curves[1]->Y[1], 2000);
    EXPECT_EQ(side.xmin(), -0.3);
    EXPECT_EQ(side.xmax(), 0.2);

    TKel next = test::ConstantProfile(4);
    next.ion = "fams";  // small letters do not count
    session.ShowProfile(test::SaveProfile(dir, next, "next.kel"));
    EXPECT_FALSE(session.IsotopeDown());
}

TEST_F(SessionPlot, NormaliseToIdUsesTheIonCurrentRow) {
    TKel profile = test::ConstantProfile(4);
    profile.ion = "FAMS";
    profile.Name[20] = "Id pA";
    for (auto& c : profile.Counts[20]) c = 500;
    Open(profile);
    session.btnNormIdClick();
    session.BuildPlot();
    EXPECT_DOUBLE_EQ(session.Graph1().Curves[0]->Y[0], 750.0 * 1000 / 500);
    EXPECT_EQ(session.Graph1().Curves[0]->Pen.Color(), CurveColor(10));
    EXPECT_EQ(CommentsWithTag(session.Graph1(), 0)[0].FontColor, CurveColor(0));
}

TEST_F(SessionPlot, LogLinearAndSelectAll) {
    Open(test::ConstantProfile(2));
    ASSERT_EQ(session.Graph1().YScale(), scLog10);
    session.LogplotCtrlEnter1Click();
    EXPECT_EQ(session.Graph1().YScale(), scLin);
    EXPECT_EQ(session.Graph2().YScale(), scLin);
    EXPECT_FALSE(session.LogPlotTicked());
    EXPECT_EQ(session.Graph1().Ymin(), 0);
    session.ShowAllMainAxes(false, true);  // the axes dialog, Log10 ticked: tick and button follow
    EXPECT_EQ(session.Graph1().YScale(), scLog10);
    EXPECT_TRUE(session.LogPlotTicked());
    EXPECT_TRUE(session.LogButtonDown());
    session.SelectAllClick();
    EXPECT_EQ(session.Selection()[0], 0);
    EXPECT_DOUBLE_EQ(session.Selection()[1], session.TotalTime());
}

TEST_F(SessionPlot, DragSelectsTheWindowInPixels) {
    Open(test::ConstantProfile(2));
    const TXYGraph& g = session.Graph1();
    int left = g.XToPixel(10), right = g.XToPixel(20);
    session.XYGraphBox1Tool(right, left);
    EXPECT_NEAR(session.Selection()[0], 20, 0.5);
    EXPECT_NEAR(session.Selection()[1], 10, 0.5);
    EXPECT_FALSE(session.ExpandDown());
}

}  // namespace
}  // namespace kel
