#include <gtest/gtest.h>

#include <cmath>

#include "plot/GraphView.h"
#include "plot/ScaleMath.h"

namespace kel {
namespace {

// Font 13, 769 x 329: plot area (41, 21, 754, 301).
class GraphViewTest : public ::testing::Test {
protected:
    GraphViewTest() {
        g.Font().SetHeight(13);
        g.SetWidth(769);
        g.SetHeight(329);
    }
    // The value shown at a pixel row, from the plot's own geometry.
    double ValueAtRow(double py) const {
        const double share = (g.PlotRect.bottom - py) / (g.PlotRect.bottom - g.PlotRect.top);
        if (g.YScale() == scLin) return g.Ymin() + share * (g.Ymax() - g.Ymin());
        return Pow10(Log10(g.Ymin()) + share * (Log10(g.Ymax()) - Log10(g.Ymin())));
    }
    TXYGraph g;
};

TEST_F(GraphViewTest, ZoomKeepsTheValueUnderTheCursorOnEveryKindOfAxis) {
    ASSERT_EQ(g.PlotRect.left, 41);
    // Linear, then reversed, time axis: the time under column 200 stays there.
    for (auto [lo, hi] : {std::pair{0.0, 100.0}, std::pair{240.0, 10.0}}) {
        g.Setxmin(lo);
        g.Setxmax(hi);
        const double before = g.PixelToX(200);
        RestoreAxes(g, ZoomedX(g, 200, 0.8));
        EXPECT_NEAR(g.PixelToX(200), before, 1e-9 * std::fabs(hi - lo)) << lo;
        EXPECT_NEAR(g.xmax() - g.xmin(), 0.8 * (hi - lo), 1e-9 * std::fabs(hi - lo)) << lo;
        const double at600 = g.PixelToX(600);
        RestoreAxes(g, ZoomedX(g, 600, 1 / 0.8));
        EXPECT_NEAR(g.PixelToX(600), at600, 1e-9 * std::fabs(hi - lo)) << lo;
        EXPECT_NEAR(g.xmax() - g.xmin(), hi - lo, 1e-9 * std::fabs(hi - lo)) << lo;
    }
    // Logarithmic value axis: decades shrink, the value under the row stays.
    g.SetYScale(scLog10);
    g.SetYmin(1);
    g.SetYmax(1e6);
    const double before = ValueAtRow(100);
    RestoreAxes(g, ZoomedY(g, 100, 0.5));
    EXPECT_NEAR(ValueAtRow(100) / before, 1, 1e-9);
    EXPECT_NEAR(Log10(g.Ymax()) - Log10(g.Ymin()), 3, 1e-9);
    EXPECT_GT(g.Ymin(), 1);
    // Linear value axis.
    g.SetYScale(scLin);
    g.SetYmin(0);
    g.SetYmax(50);
    const double linearBefore = ValueAtRow(250);
    RestoreAxes(g, ZoomedY(g, 250, 2));
    EXPECT_NEAR(ValueAtRow(250), linearBefore, 1e-9);
    EXPECT_NEAR(g.Ymax() - g.Ymin(), 100, 1e-9);
}

TEST_F(GraphViewTest, ZoomAndPanRefuseRangesThatCannotBeShown) {
    g.Setxmin(1e6);
    g.Setxmax(1e6 + 1);
    // Zooming in until neighbouring pixels would show the same time stops
    // before the span is lost, never at an empty range.
    for (int i = 0; i < 200; ++i) RestoreAxes(g, ZoomedX(g, 300, 0.5));
    EXPECT_GT(g.xmax(), g.xmin());
    EXPECT_GT(g.xmax() - g.xmin(), 1e-12 * 1e6 / 2);
    // Zooming out stops within the ends the axes dialog accepts.
    for (int i = 0; i < 2000; ++i) RestoreAxes(g, ZoomedX(g, 300, 4));
    EXPECT_LE(std::fabs(g.xmin()), 1e99);
    EXPECT_LE(std::fabs(g.xmax()), 1e99);
    EXPECT_TRUE(std::isfinite(g.xmax() - g.xmin()));
    // A log axis keeps positive ends however far it is panned.
    g.SetYScale(scLog10);
    g.SetYmin(1);
    g.SetYmax(100);
    for (int i = 0; i < 1000; ++i) RestoreAxes(g, Panned(g, 0, -280));
    EXPECT_GE(g.Ymin(), 1e-99);
    EXPECT_GT(g.Ymax(), g.Ymin());
    // A zero or negative factor is no zoom.
    const TAxesState now = AxesOf(g);
    EXPECT_TRUE(SameAxes(ZoomedX(g, 300, 0), now));
    EXPECT_TRUE(SameAxes(ZoomedY(g, 100, -1), now));
}

TEST_F(GraphViewTest, PanMovesTheContentWithTheMouse) {
    g.Setxmin(0);
    g.Setxmax(100);
    const int width = g.PlotRect.right - g.PlotRect.left;
    // Content dragged right by half the plot shows earlier times.
    RestoreAxes(g, Panned(g, width / 2.0, 0));
    EXPECT_NEAR(g.xmin(), -50, 1e-9);
    EXPECT_NEAR(g.xmax(), 50, 1e-9);
    // Content dragged down by a whole plot height on a log axis shows the
    // decades above.
    g.SetYScale(scLog10);
    g.SetYmin(10);
    g.SetYmax(1000);
    RestoreAxes(g, Panned(g, 0, g.PlotRect.bottom - g.PlotRect.top));
    EXPECT_NEAR(Log10(g.Ymin()), 3, 1e-9);
    EXPECT_NEAR(Log10(g.Ymax()), 5, 1e-9);
    EXPECT_NEAR(g.xmin(), -50, 1e-9);  // the other axis stays
}

TEST_F(GraphViewTest, RestoredAxesAreExactlyTheRecordedOnesAcrossScaleChanges) {
    // Setting a range of 0 on a log axis would be repaired to a hundredth of
    // the top; the restored view must not carry that repair.
    const TAxesState linear{5, 50, 0, 250, false, false};
    const TAxesState log{0.5, 80, 0.02, 3e4, true, true};
    RestoreAxes(g, log);
    RestoreAxes(g, linear);
    EXPECT_TRUE(SameAxes(AxesOf(g), linear));
    RestoreAxes(g, log);
    EXPECT_TRUE(SameAxes(AxesOf(g), log));
}

TEST(ViewHistory, BackAndForwardWalkTheRecordedViewsAndANewViewDropsTheForwardOnes) {
    TViewHistory h;
    EXPECT_EQ(h.Back(), nullptr);
    EXPECT_EQ(h.Current(), nullptr);
    const auto view = [](double xmax) { return TAxesState{0, xmax, 1, 100, false, true}; };
    h.Record(view(100));
    h.Record(view(100));  // the same view is no new step
    h.Record(view(50));
    h.Record(view(25));
    EXPECT_EQ(h.Size(), 3u);
    ASSERT_NE(h.Back(), nullptr);
    EXPECT_EQ(h.Current()->xmax, 50);
    EXPECT_EQ(h.Back()->xmax, 100);
    EXPECT_EQ(h.Back(), nullptr);
    EXPECT_EQ(h.Current()->xmax, 100);
    EXPECT_EQ(h.Forward()->xmax, 50);
    h.Record(view(10));
    EXPECT_FALSE(h.CanGoForward());
    EXPECT_EQ(h.Back()->xmax, 50);
    EXPECT_EQ(h.Back()->xmax, 100);

    // A long session keeps the newest views only.
    for (int i = 0; i < 500; ++i) h.Record(view(1000 + i));
    EXPECT_EQ(h.Size(), TViewHistory::kMaxSteps);
    EXPECT_EQ(h.Current()->xmax, 1499);
    while (h.CanGoBack()) h.Back();
    EXPECT_EQ(h.Current()->xmax, 1500 - static_cast<double>(TViewHistory::kMaxSteps));
}

}  // namespace
}  // namespace kel
