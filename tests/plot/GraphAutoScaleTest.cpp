#include <gtest/gtest.h>

#include <vector>

#include "plot/Xygraphc.h"

namespace kel {
namespace {

void SetCurve(TXYGraph& g, int index, const std::vector<double>& x, const std::vector<double>& y) {
    g.Curve(index).X = x;
    g.Curve(index).XLength = static_cast<int>(x.size());
    g.SetCurveY(index, y.data(), static_cast<int>(y.size()));
}

TEST(AutoScaleY, LinearAxisPadsByFivePercent) {
    TXYGraph g;
    SetCurve(g, 0, {0, 1, 2}, {10, 10, 10});
    g.AutoScaleY();
    EXPECT_DOUBLE_EQ(g.Ymin(), 9.5);
    EXPECT_DOUBLE_EQ(g.Ymax(), 10.5);
    SetCurve(g, 0, {0, 1}, {0, 0});
    g.AutoScaleY();
    EXPECT_DOUBLE_EQ(g.Ymin(), -0.05);
    EXPECT_DOUBLE_EQ(g.Ymax(), 0.05);
    SetCurve(g, 0, {0, 1}, {-4, -4});
    g.AutoScaleY();  // runs downward: 0.95c .. 1.05c
    EXPECT_DOUBLE_EQ(g.Ymin(), -3.8);
    EXPECT_DOUBLE_EQ(g.Ymax(), -4.2);
}

TEST(AutoScaleY, LinearAxisReadsOnlyPointsInTheXRange) {
    TXYGraph g;
    SetCurve(g, 0, {-5, 0, 50, 100, 101}, {1000, 2, 4, 6, -1000});
    g.AutoScaleY();
    EXPECT_DOUBLE_EQ(g.Ymin(), 1.8);
    EXPECT_DOUBLE_EQ(g.Ymax(), 6.2);
    // No point in view leaves the range as it was instead of +-1.1e37.
    g.Setxmin(200);
    g.Setxmax(300);
    g.AutoScaleY();
    EXPECT_DOUBLE_EQ(g.Ymin(), 1.8);
    EXPECT_DOUBLE_EQ(g.Ymax(), 6.2);
}

TEST(AutoScaleY, BoxCurvesReadOnlyTheirTopLeftPoints) {
    TXYGraph g;
    SetCurve(g, 0, {0, 10, 20, 30}, {5, 0xFFFFFF, 7, 0xFF});
    g.SetCurveStyle(0, csBoxes);
    g.AutoScaleY();
    EXPECT_DOUBLE_EQ(g.Ymin(), 4.9);
    EXPECT_DOUBLE_EQ(g.Ymax(), 7.1);
}

TEST(AutoScaleY, LogarithmicAxis) {
    TXYGraph g;
    g.SetYScale(scLog10);
    SetCurve(g, 0, {0, 1}, {1, 1000});
    g.AutoScaleY();
    EXPECT_NEAR(g.Ymin(), 0.769231, 1e-6);
    EXPECT_DOUBLE_EQ(g.Ymax(), 1300);
    SetCurve(g, 0, {0, 1}, {50, 60});
    g.AutoScaleY();
    EXPECT_NEAR(g.Ymin(), 10, 1e-9);
    EXPECT_NEAR(g.Ymax(), 158.489, 1e-3);
    g.MinLogSpan = 0.5;
    g.AutoScaleY();
    EXPECT_NEAR(g.Ymin(), 10, 1e-9);
    EXPECT_NEAR(g.Ymax(), 78, 1e-9);
    g.MinLogSpan = 1.2;
    // Points outside the X range count too; -1e9 counts by its magnitude.
    SetCurve(g, 0, {-500, 1}, {0.001, -1e9});
    g.AutoScaleY();
    EXPECT_NEAR(g.Ymin(), 13, 1e-6);
    EXPECT_NEAR(g.Ymax(), 1.3e9, 1);
}

TEST(AutoScaleY, LogarithmicAllZeroAndEmpty) {
    TXYGraph g;
    g.SetYScale(scLog10);
    g.Curve(0);  // no points: nothing changes
    g.AutoScaleY();
    EXPECT_EQ(g.Ymin(), 1);
    EXPECT_EQ(g.Ymax(), 100);
    SetCurve(g, 1, {0, 1}, {0, 0});
    g.AutoScaleY();
    EXPECT_EQ(g.Ymin(), 0.09);
    EXPECT_EQ(g.Ymax(), 1.1);
}

TEST(AutoScaleY, LogarithmicBoxesWithNegativeTops) {
    TXYGraph g;
    g.SetYScale(scLog10);
    SetCurve(g, 0, {0, 1, 2, 3}, {-20, 0, -50, 0});
    g.SetCurveStyle(0, csBoxes);
    g.AutoScaleY();  // lo = hi = 20, padded to a 1.2-decade span
    EXPECT_NEAR(g.Ymin(), 10, 1e-9);
    EXPECT_NEAR(g.Ymax(), 158.489, 1e-3);
}

TEST(AutoScaleX, LinearAndSingleValue) {
    TXYGraph g;
    SetCurve(g, 0, {0, 25, 100}, {1, 2, 3});
    g.AutoScaleX();
    EXPECT_DOUBLE_EQ(g.xmin(), -0.1);
    EXPECT_DOUBLE_EQ(g.xmax(), 100.1);
    SetCurve(g, 0, {0}, {1});
    g.AutoScaleX();
    EXPECT_DOUBLE_EQ(g.xmin(), -1.1022);
    EXPECT_DOUBLE_EQ(g.xmax(), 1.1022);
}

TEST(AutoScaleX, CountLimitsThePointsScanned) {
    TXYGraph g;
    SetCurve(g, 0, {1, 2, 3, 400, 500}, {1, 2, 3});
    EXPECT_EQ(g.Curves[0]->Count, 3);
    g.AutoScaleX();
    EXPECT_DOUBLE_EQ(g.xmax(), 3.002);
}

TEST(AutoScaleX, LogarithmicIgnoresNonPositiveMinima) {
    TXYGraph g;
    g.SetXScale(scLog10);
    SetCurve(g, 0, {-5, 0, 2, 50}, {1, 1, 1, 1});
    g.AutoScaleX();
    EXPECT_EQ(g.xmin(), 2);
    EXPECT_EQ(g.xmax(), 50);
}

}  // namespace
}  // namespace kel
