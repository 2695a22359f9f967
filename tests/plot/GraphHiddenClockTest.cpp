// Curves the user hid and the clock-time labels of the time axis.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "RecordingCanvas.h"
#include "plot/TickLabels.h"
#include "plot/Xygraphc.h"

namespace kel {
namespace {

using Strings = std::vector<std::string>;

class HiddenClockTest : public ::testing::Test {
protected:
    HiddenClockTest() {
        g.SetOptions(xyAutoXDiv | xyAutoYDiv);
        g.Font().SetHeight(13);
        g.SetWidth(769);
        g.SetHeight(329);
    }
    void AddLine(int index, double y0, double y1, TColor color) {
        g.SetCurveX(index, 2, 0, 100);
        const double y[2] = {y0, y1};
        g.SetCurveY(index, y, 2);
        g.SetCurveStyle(index, csLine);
        g.CurvePen(index).SetColor(color);
    }
    test::RecordingCanvas Draw() {
        test::RecordingCanvas c;
        g.Draw(c, {0, 0, g.Width(), g.Height()});
        return c;
    }
    // The labels under the time axis, left to right.
    static Strings TimeLabels(const test::RecordingCanvas& c, int plotBottom) {
        std::vector<test::RecordedText> below;
        for (const auto& t : c.texts)
            if (t.align == (taCenter | taTop) && t.y > plotBottom && !t.text.empty()) below.push_back(t);
        std::sort(below.begin(), below.end(), [](const auto& a, const auto& b) { return a.x < b.x; });
        Strings out;
        for (const auto& t : below) out.push_back(t.text);
        return out;
    }
    TXYGraph g;
};

TEST_F(HiddenClockTest, AHiddenCurveIsNeitherDrawnNorFittedButKeepsItsPoints) {
    const TColor red = RGBColor(255, 0, 0), blue = RGBColor(0, 0, 255);
    AddLine(0, 10, 20, red);
    AddLine(1, 1000, 2000, blue);
    const auto drawnIn = [](const test::RecordingCanvas& c, TColor color) {
        return std::count_if(c.segments.begin(), c.segments.end(),
                             [color](const auto& s) { return s.pen.Color() == color; });
    };
    g.AutoScaleX();
    g.AutoScaleY();
    const test::RecordingCanvas both = Draw();
    EXPECT_GT(drawnIn(both, blue), 0);

    g.Curves[1]->Hidden = true;
    const test::RecordingCanvas one = Draw();
    EXPECT_EQ(drawnIn(one, blue), 0);
    EXPECT_EQ(drawnIn(one, red), drawnIn(both, red));
    g.AutoScaleY();
    EXPECT_LT(g.Ymax(), 100);  // fitted to 10..20 only
    EXPECT_GE(g.Ymax(), 20);
    EXPECT_EQ(g.Curves[1]->Count, 2);

    // Every curve hidden: "Show all" finds nothing and keeps the ranges.
    g.Curves[0]->Hidden = true;
    const double ymin = g.Ymin(), ymax = g.Ymax();
    g.AutoScaleY();
    g.AutoScaleX();
    EXPECT_EQ(g.Ymin(), ymin);
    EXPECT_EQ(g.Ymax(), ymax);
}

TEST_F(HiddenClockTest, ClockTicksFallOnRoundTimesOfDayAndWrapAtMidnight) {
    AddLine(0, 1, 2, clBlack);
    g.Setxmin(0);
    g.Setxmax(120);
    const Strings seconds = TimeLabels(Draw(), g.PlotRect.bottom);
    ASSERT_FALSE(seconds.empty());
    EXPECT_EQ(seconds.front(), "0");

    // x = 0 is 10:29:53: the labels are times of day on whole steps of the
    // clock, not the plain numbers shifted.
    g.XClockOrigin = 10 * 3600 + 29 * 60 + 53;
    const Strings clock = TimeLabels(Draw(), g.PlotRect.bottom);
    ASSERT_GE(clock.size(), 2u);
    EXPECT_EQ(clock.front(), "10:30:00");
    for (const std::string& label : clock) EXPECT_EQ(label.size(), 8u) << label;
    EXPECT_NE(std::find(clock.begin(), clock.end(), "10:31:00"), clock.end());

    // A span of hours is labelled in minutes; ticks past midnight start the day anew.
    g.XClockOrigin = 23 * 3600;
    g.Setxmax(3 * 3600);
    const Strings night = TimeLabels(Draw(), g.PlotRect.bottom);
    ASSERT_FALSE(night.empty());
    EXPECT_EQ(night.front(), "23:00");
    EXPECT_NE(std::find(night.begin(), night.end(), "00:00"), night.end());
    EXPECT_NE(std::find(night.begin(), night.end(), "01:00"), night.end());
}

TEST(ClockLabels, StepsAndTextsForEveryRange) {
    EXPECT_EQ(ClockTickStep(0), 1);
    EXPECT_EQ(ClockTickStep(-3), 1);
    EXPECT_EQ(ClockTickStep(std::nan("")), 1);
    EXPECT_EQ(ClockTickStep(4), 5);
    EXPECT_EQ(ClockTickStep(20), 30);
    EXPECT_EQ(ClockTickStep(50), 60);
    EXPECT_EQ(ClockTickStep(2000), 3600);
    EXPECT_EQ(ClockTickStep(1e9), 86400);
    EXPECT_EQ(FormatClockLabel(3661, 1), "01:01:01");
    EXPECT_EQ(FormatClockLabel(3661, 60), "01:01");
    EXPECT_EQ(FormatClockLabel(86400 + 59, 5), "00:00:59");
    EXPECT_EQ(FormatClockLabel(-60, 60), "23:59");
    EXPECT_EQ(FormatClockLabel(std::nan(""), 60), "");
}

}  // namespace
}  // namespace kel
