#include <gtest/gtest.h>

#include "kinetics/CountAccess.h"
#include "plot/CurveColors.h"
#include "support/SessionTestSupport.h"

namespace kel {
namespace {

using test::GrowingProfile;

class SessionView : public ::testing::Test {
protected:
    void Open(const TKel& profile) { ASSERT_FALSE(session.ShowProfile(test::SaveProfile(dir, profile)).Failed()); }
    TAxesState Axes() const { return AxesOf(session.Graph1()); }
    test::ScratchDir dir;
    test::RecordedMessages boxes;
    TKelViewSession session{test::TestServices()};
};

void ExpectSame(const TAxesState& actual, const TAxesState& expected, const char* step) {
    EXPECT_TRUE(SameAxes(actual, expected))
        << step << ": " << actual.xmin << ".." << actual.xmax << " x " << actual.Ymin << ".." << actual.Ymax
        << " expected " << expected.xmin << ".." << expected.xmax << " x " << expected.Ymin << ".." << expected.Ymax;
}

TEST_F(SessionView, BackAndForwardReturnToTheExactRangesOfEveryKindOfStep) {
    Open(GrowingProfile());
    EXPECT_FALSE(session.CanGoBack());  // a new profile starts its own history
    const TAxesState shown = Axes();
    session.ZoomTime(300, 0.5);
    const TAxesState zoomed = Axes();
    session.PanView(120, 0);
    const TAxesState panned = Axes();
    session.DragView(10, 5);
    session.DragView(20, 5);
    session.EndViewDrag();  // one step for the whole drag
    const TAxesState dragged = Axes();
    session.ZoomValues(100, 0.5);
    const TAxesState valuesZoomed = Axes();
    session.SelectTimes(30, 60);
    session.ExpandClick();
    const TAxesState expanded = Axes();
    session.LogplotCtrlEnter1Click();
    ASSERT_FALSE(session.LogPlotTicked());
    const TAxesState linear = Axes();
    session.ApplyMainAxes({5, 80, 0, 20000, false, false});
    const TAxesState dialog = Axes();

    const TAxesState order[] = {shown, zoomed, panned, dragged, valuesZoomed, expanded, linear, dialog};
    const char* names[] = {"shown", "zoomed", "panned", "dragged", "values", "expanded", "linear", "dialog"};
    for (int i = 6; i >= 0; --i) {
        ASSERT_TRUE(session.CanGoBack()) << names[i];
        session.ViewBack();
        ExpectSame(Axes(), order[i], names[i]);
    }
    EXPECT_FALSE(session.CanGoBack());
    session.ViewBack();  // nothing before the first view
    ExpectSame(Axes(), shown, "still shown");
    // The log tick followed the view back to the logarithmic axis.
    EXPECT_TRUE(session.LogPlotTicked());
    EXPECT_TRUE(session.LogButtonDown());
    for (int i = 1; i <= 7; ++i) {
        session.ViewForward();
        ExpectSame(Axes(), order[i], names[i]);
    }
    EXPECT_FALSE(session.CanGoForward());
    EXPECT_FALSE(session.LogPlotTicked());
    // "Show all" is a step of its own and stays what it was: the whole
    // profile on the value axis the user chose.
    session.ShowAllClick();
    EXPECT_EQ(Axes().xmin, shown.xmin);
    EXPECT_EQ(Axes().xmax, shown.xmax);
    EXPECT_FALSE(Axes().YLog);
    session.ViewBack();
    ExpectSame(Axes(), dialog, "before show all");
}

TEST_F(SessionView, ZoomAndPanMoveOnlyTheAxes) {
    Open(GrowingProfile());
    session.SelectTimes(20, 40);
    const std::vector<TComment> comments = session.Graph1().Comments;
    const std::vector<double> values = session.Graph1().Curves[0]->Y;
    const auto selection = session.Selection();
    session.TakeChanges();
    session.ZoomTime(400, 0.8);
    session.ZoomValues(150, 0.8);
    session.PanView(-30, 12);
    session.ViewBack();
    session.ViewForward();
    const TSessionChanges changes = session.TakeChanges();
    EXPECT_TRUE(changes & chPlot);
    EXPECT_FALSE(changes & (chResults | chSelection | chFields | chProfile));
    ASSERT_EQ(session.Graph1().Comments.size(), comments.size());
    for (std::size_t i = 0; i < comments.size(); ++i) EXPECT_EQ(session.Graph1().Comments[i].Text, comments[i].Text);
    EXPECT_EQ(session.Graph1().Curves[0]->Y, values);
    EXPECT_EQ(session.Selection(), selection);
}

TEST_F(SessionView, TheSideGraphFollowsTheMainValueAxis) {
    TKel kel = GrowingProfile();
    kel.ion = "FAMS";  // opens in D/H mode with the side graph
    Open(kel);
    ASSERT_TRUE(session.SidePanelVisible());
    const double sideXmin = session.Graph2().xmin(), sideXmax = session.Graph2().xmax();
    session.ZoomValues(120, 0.5);
    session.PanView(0, 40);
    EXPECT_EQ(session.Graph2().Ymin(), session.Graph1().Ymin());
    EXPECT_EQ(session.Graph2().Ymax(), session.Graph1().Ymax());
    EXPECT_EQ(session.Graph2().YScale(), session.Graph1().YScale());
    // Its m/z axis is its own.
    session.ZoomTime(300, 0.5);
    EXPECT_EQ(session.Graph2().xmin(), sideXmin);
    EXPECT_EQ(session.Graph2().xmax(), sideXmax);
}

TEST_F(SessionView, BackFromAViewNoCommandRecordedComesForwardToItAgain) {
    Open(GrowingProfile());
    session.ZoomTime(300, 2);  // out, past both ends of the profile
    const TAxesState zoomed = Axes();
    // Leaving "ppb" rescales the value axis to the count rates, without a
    // step.
    session.BtnPpbClick();
    session.BtnPpbClick();
    const TAxesState rescaled = Axes();
    ASSERT_FALSE(SameAxes(rescaled, zoomed));
    ASSERT_TRUE(session.CanGoBack());
    session.ViewBack();
    ExpectSame(Axes(), zoomed, "back");
    session.ViewForward();
    ExpectSame(Axes(), rescaled, "forward");
}

TEST_F(SessionView, ReadoutListsEveryCurveAtTheNearestPoint) {
    Open(GrowingProfile());
    session.btnApplyDeMrClick();  // "correct" up: plain rates
    ASSERT_DOUBLE_EQ(session.PointTime(), 0.6);
    const TXYGraph& g = session.Graph1();
    // Just left of point 37 (22.2 s): the nearest point is 37; the row of
    // channel 55's value (5700 c/s).
    const double px = g.XToPixel(22.2) - 0.4 * (g.XToPixel(22.8) - g.XToPixel(22.2));
    const TReadout r = session.ReadoutAt(px, g.YToPixel(5700));
    ASSERT_TRUE(r.Shown);
    EXPECT_EQ(r.Point, 37);
    EXPECT_EQ(r.TimeText, "22.20 s");
    EXPECT_EQ(r.ClockText, "10:30:51");  // 10:30:00 + (49 + 37) x 0.6 s
    ASSERT_EQ(r.Values.size(), 4u);
    const char* labels[] = {"19", "37", "55", "(total)"};
    const char* values[] = {"1900", "3800", "5700", "1.14E04"};
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(r.Values[k].Label, labels[k]);
        EXPECT_EQ(r.Values[k].Value, values[k]) << k;
        EXPECT_EQ(r.Values[k].Unit, "c/s");
    }
    EXPECT_EQ(r.Values[0].Color, CurveColor(0));
    EXPECT_EQ(r.Values[3].Color, CurveColor(13));
    EXPECT_EQ(r.Nearest, 2);
    EXPECT_EQ(r.StatusText, "t=22.20 s (10:30:51)  55: 5700 c/s");

    // With "Time 0 at start" the axis counts from the first cycle; the clock
    // time of the point is the same.
    session.cbT0StartClick();
    session.ShowAllClick();
    const TReadout shifted = session.ReadoutAt(g.XToPixel(51.6), g.YToPixel(1900));
    ASSERT_TRUE(shifted.Shown);
    EXPECT_EQ(shifted.Point, 37);
    EXPECT_EQ(shifted.TimeText, "51.60 s");
    EXPECT_EQ(shifted.ClockText, "10:30:51");
    EXPECT_EQ(shifted.Nearest, 0);
}

TEST_F(SessionView, ReadoutIsHiddenOffThePlotWithoutPointsAndWhenTurnedOff) {
    const TXYGraph& g = session.Graph1();
    const double inside = (g.PlotRect.left + g.PlotRect.right) / 2.0, row = (g.PlotRect.top + g.PlotRect.bottom) / 2.0;
    EXPECT_FALSE(session.ReadoutAt(inside, row).Shown);  // no profile yet
    Open(GrowingProfile());
    EXPECT_TRUE(session.ReadoutAt(inside, row).Shown);
    EXPECT_FALSE(session.ReadoutAt(g.PlotRect.left - 1, row).Shown);
    EXPECT_FALSE(session.ReadoutAt(inside, g.PlotRect.bottom + 1).Shown);
    // A view past the profile's end still reads its last point.
    session.PanView(-(g.PlotRect.right - g.PlotRect.left) * 3.0, 0);
    const TReadout past = session.ReadoutAt(inside, row);
    ASSERT_TRUE(past.Shown);
    EXPECT_EQ(past.Point, 200);

    session.TakeChanges();
    session.ReadoutClick();
    EXPECT_TRUE(session.TakeChanges() & chModes);
    EXPECT_FALSE(session.ReadoutOn());
    EXPECT_FALSE(session.ReadoutAt(inside, row).Shown);
    // The choice is kept in the settings store.
    MemorySettings store;
    session.SaveSettings(store);
    TKelViewSession next{test::TestServices()};
    ASSERT_TRUE(next.ReadoutOn());
    next.LoadSettings(store);
    EXPECT_FALSE(next.ReadoutOn());
}

}  // namespace
}  // namespace kel
