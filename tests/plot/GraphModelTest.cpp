#include <gtest/gtest.h>

#include <cmath>

#include "plot/ScaleMath.h"
#include "plot/Xygraphc.h"

namespace kel {
namespace {

// The main window's graph: font 13, 769 x 329.
void MainGraphLayout(TXYGraph& g) {
    g.Font().SetHeight(13);
    g.SetWidth(769);
    g.SetHeight(329);
}

TEST(GraphModel, ConstructionDefaults) {
    TXYGraph g;
    EXPECT_EQ(g.xmin(), 0);
    EXPECT_EQ(g.xmax(), 100);
    EXPECT_EQ(g.Ymax(), 100);
    EXPECT_NEAR(g.LogYmax, 2, 1e-13);  // the cut ln 10 leaves 2 + 4e-14
    EXPECT_EQ(g.Xdiv(), 10);
    EXPECT_EQ(g.Ydiv(), 10);
    EXPECT_EQ(g.XMinorCount, 5);
    EXPECT_EQ(g.Options(), xyAutoXDiv | xyAutoYDiv);
    EXPECT_EQ(g.Width(), 150);
    EXPECT_EQ(g.Font().Name(), "Arial");
    EXPECT_EQ(g.MinLogSpan, 1.2);
    EXPECT_EQ(g.MaxLogSpan, 8.0);
}

TEST(GraphModel, LayoutFollowsTheFontHeight) {
    TXYGraph g;
    MainGraphLayout(g);
    EXPECT_EQ(g.LabelGap, 2);
    EXPECT_EQ(g.LeftMargin, 41);
    EXPECT_EQ(g.RightMargin, 15);
    EXPECT_EQ(g.TopMargin, 21);
    EXPECT_EQ(g.BottomMargin, 28);
    EXPECT_EQ(g.PlotRect, (TRect{41, 21, 754, 301}));
    // A negative height means the same size.
    g.Font().SetHeight(-13);
    EXPECT_EQ(g.PlotRect, (TRect{41, 21, 754, 301}));
}

TEST(GraphModel, SizesWithoutRoomForThePlotAreIgnored) {
    TXYGraph g;
    MainGraphLayout(g);
    g.SetWidth(56);  // = 41 + 15
    g.SetHeight(49);
    EXPECT_EQ(g.Width(), 769);
    EXPECT_EQ(g.Height(), 329);
    g.SetWidth(57);
    EXPECT_EQ(g.Width(), 57);
}

TEST(GraphModel, ChangeNotifications) {
    TXYGraph g;
    int changes = 0;
    g.OnChange = [&](const void*) { ++changes; };
    g.SetOptions(0);  // keep the tick spacing out of the count
    changes = 0;
    g.Setxmin(5);
    g.Setxmin(5);
    EXPECT_EQ(changes, 1);
    g.SetOptions(0);
    g.SetOptions(0);
    EXPECT_EQ(changes, 3);
    g.SetTitleLeft("c/s");
    g.SetTitleLeft("c/s");
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(g.TitleLeft(), "c/s");
    // Font and pen notify through the graph, with themselves as sender.
    const void* sender = nullptr;
    g.OnChange = [&](const void* s) { sender = s; ++changes; };
    g.Font().SetHeight(20);
    EXPECT_EQ(sender, &g.Font());
    EXPECT_EQ(g.LeftMargin, 64);
    TPen red;
    red.SetColor(clRed);
    g.SetPen(red);
    EXPECT_EQ(sender, &g.Pen());
    EXPECT_EQ(g.Pen().Color(), clRed);
    // A curve pen notifies only once handed out by CurvePen.
    int before = changes;
    g.Curve(0).Pen.SetColor(1);
    EXPECT_EQ(changes, before);
    g.CurvePen(0).SetColor(2);
    EXPECT_EQ(changes, before + 1);
}

TEST(GraphModel, RangeSettersRejectNonFiniteValues) {
    TXYGraph g;
    g.Setxmax(NAN);
    g.SetYmin(-INFINITY);
    EXPECT_EQ(g.xmax(), 100);
    EXPECT_EQ(g.Ymin(), 0);
}

TEST(GraphModel, LogScaleRepairsNonPositiveEnds) {
    TXYGraph g;
    g.SetYScale(scLog10);
    EXPECT_EQ(g.Ymin(), 1);
    EXPECT_EQ(g.YMinorCount, 10);
    EXPECT_DOUBLE_EQ(g.LogYmin, 0);
    g.SetYmax(-5);
    EXPECT_EQ(g.Ymax(), 100);
    g.Setxmax(0);
    g.Setxmin(-3);
    g.SetXScale(scLog10);
    EXPECT_EQ(g.xmax(), 100);
    EXPECT_EQ(g.xmin(), 1);
    EXPECT_EQ(g.XMinorCount, 10);
}

TEST(GraphModel, LogarithmsUseTheTruncatedConstant) {
    EXPECT_EQ(Log10(1000), std::log(1000.0) / 2.302585092994);
    EXPECT_EQ(Pow10(3), std::exp(2.302585092994 * 3));
    TXYGraph g;
    g.SetYmin(50);
    EXPECT_EQ(g.LogYmin, std::log(50.0) / 2.302585092994);
}

TEST(NiceStepTest, Examples) {
    auto check = [](double x, double step, int digit) {
        TNiceStep n = NiceStep(x);
        EXPECT_DOUBLE_EQ(n.step, step) << x;
        EXPECT_EQ(n.digit, digit) << x;
    };
    check(2.96, 2, 2);
    check(3.96, 5, 5);
    check(0.094, 0.05, 5);
    check(9.96, 10, 1);
    check(1.94, 1, 1);
    check(12.5, 10, 1);
    check(0.0025, 0.002, 2);
    check(12345, 10000, 1);
    check(1e-320, 1e-320, 1);
}

TEST(GraphModel, AutomaticTickSpacing) {
    TXYGraph g;
    MainGraphLayout(g);
    EXPECT_EQ(g.Xdiv(), 10);
    EXPECT_EQ(g.XMinorCount, 10);
    EXPECT_EQ(g.Ydiv(), 10);
    // 0..1 on 713 pixels: 0.125 -> 0.1, 71 pixels apart.
    g.Setxmax(1);
    EXPECT_DOUBLE_EQ(g.Xdiv(), 0.1);
    // 0..0.752: 0.094 -> 0.05 with 5 minor intervals.
    g.Setxmax(0.752);
    EXPECT_DOUBLE_EQ(g.Xdiv(), 0.05);
    EXPECT_EQ(g.XMinorCount, 5);
    // A narrow plot doubles the step until labels fit: 0..100 on 100 pixels.
    g.Setxmax(100);
    g.SetWidth(156);
    EXPECT_EQ(g.Xdiv(), 50);
    // Log Y from 1 to 1e8 on 280 pixels needs 27 pixels a step: 1 decade = 35.
    g.SetYScale(scLog10);
    g.SetYmin(1);
    g.SetYmax(1e8);
    EXPECT_EQ(g.Ydiv(), 1);
    EXPECT_EQ(g.YMinorCount, 10);
    g.SetHeight(150);  // 101 pixels: 12.6 per decade, so 3 decades a step
    EXPECT_EQ(g.Ydiv(), 3);
    EXPECT_EQ(g.YMinorCount, 1);
}

TEST(GraphModel, DegenerateRangeKeepsTheSpacingAndMapsFarAway) {
    TXYGraph g;
    MainGraphLayout(g);
    g.Setxmin(5);
    g.Setxmax(6);
    const double before = g.Xdiv();
    EXPECT_DOUBLE_EQ(before, 0.1);
    g.Setxmax(5);
    EXPECT_EQ(g.Xdiv(), before);
    for (double x : {-1e9, 5.0, 7.0}) EXPECT_EQ(g.XToPixel(x), 10000);
}

TEST(GraphModel, Transforms) {
    TXYGraph g;
    MainGraphLayout(g);
    EXPECT_EQ(g.XToPixel(0), 41);
    EXPECT_EQ(g.XToPixel(100), 754);
    EXPECT_EQ(g.XToPixel(50), 398);  // 397.5, halves to even
    g.Setxmax(713 * 2);  // 2 data units a pixel: x = 1 is 41.5 -> 42, x = 3 is 42.5 -> 42
    EXPECT_EQ(g.XToPixel(1), 42);
    EXPECT_EQ(g.XToPixel(3), 42);
    EXPECT_EQ(g.XToPixel(1e12), 10000);
    EXPECT_EQ(g.XToPixel(-1e12), -10000);
    EXPECT_EQ(g.YToPixel(0), 301);
    EXPECT_EQ(g.YToPixel(100), 21);
    EXPECT_EQ(g.YToPixel(NAN), 10000);
    EXPECT_EQ(g.ToPixel(0, 100), (TPoint{41, 21}));
    EXPECT_DOUBLE_EQ(g.PixelToX(41 + 713 / 2.0), 713);
    g.SetYScale(scLog10);
    EXPECT_EQ(g.YToPixel(10), 161);
    EXPECT_EQ(g.YToPixel(0), 10000);
    EXPECT_EQ(g.YToPixel(-3), 10000);
    g.Setxmin(1);
    g.Setxmax(1000);
    g.SetXScale(scLog10);
    EXPECT_EQ(g.XToPixel(10), 41 + 238);  // 237.67 -> 238
    EXPECT_EQ(g.XToPixel(-10), 41 + 238);  // the magnitude counts
    EXPECT_EQ(g.XToPixel(0), 10000);
    EXPECT_NEAR(g.PixelToX(41 + 713), 1000, 1e-9);
}

TEST(GraphModel, PixelToXFallsBackToXmin) {
    TXYGraph g;
    g.Setxmin(3);
    g.PlotRect = {50, 0, 50, 100};
    EXPECT_EQ(g.PixelToX(50), 3);
    EXPECT_EQ(g.PixelToX(80), 3);
}

TEST(GraphModel, CurvesAndTheirLengths) {
    TXYGraph g;
    g.SetCurveX(2, 5, 0, 8);
    ASSERT_EQ(g.Curves.Count(), 3);
    EXPECT_EQ(g.Curves[2]->X, (std::vector<double>{0, 2, 4, 6, 8}));
    const double y[] = {1, 2, 3};
    g.SetCurveY(2, y, 3);
    EXPECT_EQ(g.Curves[2]->Count, 3);
    EXPECT_EQ(g.Curves[2]->XLength, 5);
    g.SetCurveX(0, 1, 7, 9);
    EXPECT_EQ(g.Curves[0]->X, (std::vector<double>{7}));
    EXPECT_EQ(g.Curves[0]->Count, 0);
    const TCurve& fresh = g.Curve(1);
    EXPECT_EQ(fresh.Style, csLineMarkers);
    EXPECT_EQ(fresh.MarkerKind, mkDot);
    EXPECT_EQ(fresh.MarkerSize, 4);
    EXPECT_EQ(fresh.Pen.Color(), clBlue);
    EXPECT_EQ(fresh.Brush.Style(), bsClear);
    g.Curves.Replace(1, nullptr);
    g.SetCurveStyle(1, csSteps);
    EXPECT_EQ(g.Curves[1]->Style, csSteps);
    g.Curves.Clear();
    EXPECT_EQ(g.Curves.Count(), 0);
}

TEST(GraphModel, DeleteCommentsKeepsTheOthersInOrder) {
    TXYGraph g;
    int changes = 0;
    g.OnChange = [&](const void*) { ++changes; };
    g.AddComment(101, "a", 0, 0, 258, clBlue, 0, 0);
    g.AddComment(0, "b", 0, 0, 256, 0, 0, fsBold);
    g.AddComment(101, "c", 0, 0, 0, 0, 0, 0);
    g.AddComment(7, "d", 0, 0, 0, 0, 0, 0);
    g.DeleteComments(101);
    ASSERT_EQ(g.Comments.size(), 2u);
    EXPECT_EQ(g.Comments[0].Text, "b");
    EXPECT_EQ(g.Comments[0].FontStyle, fsBold);
    EXPECT_EQ(g.Comments[1].Text, "d");
    EXPECT_EQ(changes, 0);
}

}  // namespace
}  // namespace kel
