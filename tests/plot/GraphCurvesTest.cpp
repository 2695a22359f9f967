#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "RecordingCanvas.h"
#include "plot/Clipping.h"
#include "plot/Xygraphc.h"

namespace kel {
namespace {

using Strings = std::vector<std::string>;

// Plot (41, 21, 754, 301); only the curve calls are recorded.
class CurvesTest : public ::testing::Test {
protected:
    CurvesTest() {
        g.SetOptions(0);
        g.Font().SetHeight(13);
        g.SetWidth(769);
        g.SetHeight(329);
    }
    void SetCurve(int index, std::vector<double> x, std::vector<double> y, std::uint8_t style) {
        g.Curve(index).X = x;
        g.Curve(index).XLength = static_cast<int>(x.size());
        g.SetCurveY(index, y.data(), static_cast<int>(y.size()));
        g.SetCurveStyle(index, style);
    }
    test::RecordingCanvas Draw() {
        test::RecordingCanvas c;
        g.DrawCurves(c);
        return c;
    }
    // The drawing calls after the pen, brush and mode set-up.
    static Strings Drawing(const test::RecordingCanvas& c) {
        Strings out;
        for (const auto& op : c.ops)
            if (op.rfind("Pen", 0) && op.rfind("Brush", 0) && op != "Transparent") out.push_back(op);
        return out;
    }
    TXYGraph g;
};

TEST(MulDivTest, RoundsHalvesAwayFromZero) {
    EXPECT_EQ(MulDiv(5, 1, 2), 3);
    EXPECT_EQ(MulDiv(-5, 1, 2), -3);
    EXPECT_EQ(MulDiv(5, -1, 2), -3);
    EXPECT_EQ(MulDiv(7, 1, 3), 2);
    EXPECT_EQ(MulDiv(-7, 1, -3), 2);
    EXPECT_EQ(MulDiv(2000000000, 3, 4), 1500000000);  // the product needs 64 bits
    EXPECT_EQ(MulDiv(1, 1, 0), 0);
}

TEST(ClipToPlotTest, MovesThePointOntoTheEdges) {
    const TRect r{0, 0, 100, 100};
    EXPECT_EQ(ClipToPlot(r, {50, 50}, {50, 150}), (TPoint{50, 100}));
    EXPECT_EQ(ClipToPlot(r, {50, 50}, {150, 150}), (TPoint{100, 100}));
    EXPECT_EQ(ClipToPlot(r, {50, 50}, {-50, 60}), (TPoint{0, 55}));
    // Bottom first, then the side the remainder still leaves.
    EXPECT_EQ(ClipToPlot(r, {90, 90}, {290, 110}), (TPoint{100, 91}));
    EXPECT_EQ(ClipToPlot(r, {50, 50}, {60, -50}), (TPoint{55, 0}));
}

TEST(DrawClippedPolylineTest, LeavesOutSegmentsWithBothEndsOutside) {
    test::RecordingCanvas c;
    const TRect r{0, 0, 100, 100};
    const TPoint p[] = {{-50, 50}, {150, 50}, {50, 50}, {60, 60}, {50, 150}, {-10, -10}};
    DrawClippedPolyline(c, r, p, 6);
    EXPECT_EQ(c.ops, (Strings{"MoveTo -50,50", "MoveTo 100,50", "LineTo 50,50", "LineTo 60,60", "LineTo 56,100"}));
}

TEST_F(CurvesTest, ZeroOnALogAxisPullsTheLineToTheBottomEdge) {
    g.SetYScale(scLog10);  // 1 .. 100
    g.Setxmin(-1);
    g.Setxmax(3);
    SetCurve(0, {0, 1, 2}, {10, 0, 10}, csLineMarkers);
    auto c = Draw();
    // (219,161) (398,401) (576,161); no marker for the point at 0.
    EXPECT_EQ(Drawing(c), (Strings{"MoveTo 219,161", "LineTo 323,301", "MoveTo 472,301", "LineTo 576,161",
                                   "MoveTo 218,161", "LineTo 219,161", "MoveTo 575,161", "LineTo 576,161"}));
    EXPECT_EQ(c.ops[1], "Pen 16711680 1 solid");
}

TEST_F(CurvesTest, NeighboursOutsideOnOppositeSidesShowNoSegment) {
    g.Setxmin(0);
    g.Setxmax(2);
    SetCurve(0, {-1, 3}, {50, 50}, csLine);
    auto c = Draw();
    EXPECT_TRUE(c.segments.empty());
}

TEST_F(CurvesTest, LinesReachAtMostAHundredPixelsBelowThePlot) {
    SetCurve(0, {0, 50}, {-1e6, 50}, csLine);
    auto c = Draw();
    // (41, 401) is outside: the segment enters at the bottom edge.
    EXPECT_EQ(Drawing(c), (Strings{"MoveTo 41,401", "MoveTo 190,301", "LineTo 398,161"}));
}

TEST_F(CurvesTest, StepsRiseHalfwayBetweenNeighbours) {
    g.Setxmax(4);
    SetCurve(0, {1, 2, 3}, {10, 20, 10}, csSteps);
    auto c = Draw();
    // x: 1 -> 219, 1.5 -> 308, 2.5 -> 487, 3 -> 576; y: 10 -> 273, 20 -> 245
    EXPECT_EQ(Drawing(c), (Strings{"MoveTo 219,273", "LineTo 308,273", "LineTo 308,245", "LineTo 487,245",
                                   "LineTo 487,273", "LineTo 576,273"}));
}

TEST_F(CurvesTest, MarkersOnlyInsideThePlot) {
    g.Curve(0).MarkerKind = mkSquare;
    g.Curve(0).MarkerSize = 3;
    // (41,21) top left is inside; x = 100 is the excluded right edge, y = 0 the bottom.
    SetCurve(0, {0, 100, 50, 50}, {100, 50, 0, 50}, csMarkers);
    auto c = Draw();
    EXPECT_EQ(Drawing(c), (Strings{"Rectangle 38,18 44,24", "Rectangle 395,158 401,164"}));
    EXPECT_EQ(c.shapes[0].brush.Style(), bsClear);
}

TEST_F(CurvesTest, MarkerShapes) {
    auto shapeOf = [&](std::uint8_t kind) {
        g.Curve(0).MarkerKind = kind;
        g.Curve(0).MarkerSize = 2;
        SetCurve(0, {50}, {50}, csMarkers);  // (398, 161)
        return Drawing(Draw());
    };
    EXPECT_EQ(shapeOf(mkNone), Strings{});
    EXPECT_EQ(shapeOf(11), Strings{});
    EXPECT_EQ(shapeOf(mkCircle), Strings{"Ellipse 396,159 400,163"});
    EXPECT_EQ(shapeOf(mkPlus),
              Strings{"Polyline 398,161 398,163 398,161 400,161 398,161 398,159 398,161 396,161 398,161"});
    EXPECT_EQ(shapeOf(mkCross), (Strings{"MoveTo 396,159", "LineTo 401,164", "MoveTo 396,163", "LineTo 401,159"}));
    EXPECT_EQ(shapeOf(mkStar), (Strings{"MoveTo 396,159", "LineTo 401,164", "MoveTo 396,163", "LineTo 401,158",
                                        "MoveTo 398,159", "LineTo 398,164", "MoveTo 396,161", "LineTo 401,161"}));
    EXPECT_EQ(shapeOf(mkTriangleUp), Strings{"Polyline 396,163 401,163 398,158 396,163"});
    EXPECT_EQ(shapeOf(mkTriangleDown), Strings{"Polyline 396,159 401,159 398,164 396,159"});
    EXPECT_EQ(shapeOf(mkHollowBar), Strings{"Rectangle 396,161 400,301"});
}

TEST_F(CurvesTest, BarsStandOnTheBottomEdgeAndStopAtTheTop) {
    g.Curve(0).MarkerSize = 6;
    g.Curve(0).Brush.SetStyle(bsSolid);
    SetCurve(0, {50, 60}, {50, 500}, csBars);
    auto c = Draw();
    EXPECT_EQ(Drawing(c), (Strings{"Rectangle 395,161 401,301", "Rectangle 466,21 472,301"}));
    EXPECT_EQ(c.shapes[0].brush.Style(), bsSolid);
}

TEST_F(CurvesTest, BoxesTakeTheirWidthAndColourFromThePair) {
    g.Curve(0).Pen.SetStyle(psClear);
    SetCurve(0, {10, 30, 90, 150, 5}, {80, 0x00FF00, 50, 255, 60}, csBoxes);
    auto c = Draw();
    // The second box runs past the right edge and is cut there; the odd
    // last point has no partner.
    EXPECT_EQ(Drawing(c), (Strings{"Rectangle 112,77 256,301", "Rectangle 683,161 755,301"}));
    EXPECT_EQ(c.shapes[0].brush.Color(), 0x00FF00u);
    EXPECT_EQ(c.shapes[1].brush.Color(), 255u);
    EXPECT_EQ(c.shapes[0].pen.Style(), psClear);
}

TEST_F(CurvesTest, EmptyEntriesAndCurvesAreSkipped) {
    g.Curve(1);
    g.Curves.Replace(0, nullptr);
    SetCurve(2, {}, {}, csSteps);
    EXPECT_TRUE(Drawing(Draw()).empty());
}

}  // namespace
}  // namespace kel
