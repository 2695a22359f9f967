#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "RecordingCanvas.h"
#include "plot/Xygraphc.h"

namespace kel {
namespace {

using Strings = std::vector<std::string>;

// Font 13, 769 x 329: plot (41, 21, 754, 301); manual tick spacing.
class AxesTest : public ::testing::Test {
protected:
    AxesTest() {
        g.SetOptions(0);
        g.Font().SetHeight(13);
        g.SetWidth(769);
        g.SetHeight(329);
    }
    test::RecordingCanvas Draw() {
        test::RecordingCanvas c;
        g.Draw(c, {0, 0, g.Width(), g.Height()});
        return c;
    }
    // Texts written with the given alignment.
    static Strings TextsAligned(const test::RecordingCanvas& c, unsigned align) {
        Strings out;
        for (const auto& t : c.texts)
            if (t.align == align && !t.text.empty()) out.push_back(t.text);
        return out;
    }
    // Tick segments along the bottom edge with the given length.
    static int BottomTicks(const test::RecordingCanvas& c, int length) {
        return static_cast<int>(std::count_if(c.segments.begin(), c.segments.end(), [&](const auto& s) {
            return s.a.y == 301 && s.a.x == s.b.x && s.a.y - s.b.y == length;
        }));
    }
    static int LeftTicks(const test::RecordingCanvas& c, int length) {
        return static_cast<int>(std::count_if(c.segments.begin(), c.segments.end(), [&](const auto& s) {
            return s.a.x == 41 && s.a.y == s.b.y && s.b.x - s.a.x == length;
        }));
    }
    TXYGraph g;
};

TEST_F(AxesTest, LinearXAxisTicksAndLabels) {
    g.XMinorCount = 10;
    g.SetYdiv(50);
    auto c = Draw();
    Strings expected{"0", "10", "20", "30", "40", "50", "60", "70", "80", "90", "100"};
    EXPECT_EQ(TextsAligned(c, taCenter | taTop), expected);
    const auto* ten = c.FindText("10");
    ASSERT_TRUE(ten);
    EXPECT_EQ(ten->x, 112);  // 41 + 71.3
    EXPECT_EQ(ten->y, 303);  // LabelGap below the bottom edge
    EXPECT_EQ(BottomTicks(c, 8), 11);
    EXPECT_EQ(BottomTicks(c, 4), 90);
    // The same ticks hang from the top edge.
    EXPECT_EQ(c.SegmentsAtX(112), 2);
    // Frame edges as two-point polylines, bottom first.
    EXPECT_EQ(c.ops[3], "Polyline 41,301 754,301");
    EXPECT_EQ(c.ops[4], "Polyline 41,21 754,21");
}

TEST_F(AxesTest, LinearLabelTexts) {
    g.SetYdiv(50);
    g.Setxmax(0.05);
    g.SetXdiv(0.005);
    EXPECT_EQ(TextsAligned(Draw(), taCenter | taTop),
              (Strings{"0E0", "5E-3", "1E-2", "1.5E-2", "2E-2", "2.5E-2", "3E-2", "3.5E-2", "4E-2", "4.5E-2", "5E-2"}));
    g.Setxmax(1);
    g.SetXdiv(0.2);
    EXPECT_EQ(TextsAligned(Draw(), taCenter | taTop), (Strings{"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"}));
    g.Setxmax(20000);
    g.SetXdiv(5000);
    EXPECT_EQ(TextsAligned(Draw(), taCenter | taTop), (Strings{"0", "5000", "1E4", "1.5E4", "2E4"}));
}

TEST_F(AxesTest, LinearYLabelsSitRightAlignedOnTheirBaseline) {
    g.SetYdiv(50);
    auto c = Draw();
    EXPECT_EQ(TextsAligned(c, taRight | taBaseline), (Strings{"0", "50", "100"}));
    auto fifty = std::find_if(c.texts.begin(), c.texts.end(),
                              [](const auto& t) { return t.text == "50" && t.align == (taRight | taBaseline); });
    ASSERT_NE(fifty, c.texts.end());
    EXPECT_EQ(fifty->x, 39);
    EXPECT_EQ(fifty->y, 161 + 6);
    EXPECT_EQ(LeftTicks(c, 8), 3);
    EXPECT_EQ(LeftTicks(c, 4), 8);  // YMinorCount 5
}

TEST_F(AxesTest, LogarithmicYAxisRaisesTheExponents) {
    g.SetYScale(scLog10);
    g.SetYdiv(1);
    auto c = Draw();
    EXPECT_EQ(TextsAligned(c, taRight | taBaseline), (Strings{"10", "0", "10", "1", "10", "2"}));
    // 10^0 at the bottom edge: "10" left of the exponent, which stands a third higher.
    auto first = std::find_if(c.texts.begin(), c.texts.end(), [](const auto& t) { return t.align == (taRight | taBaseline); });
    EXPECT_EQ(first->x, 39 - 2 - 6);
    EXPECT_EQ(first->y, 301 + 6);
    EXPECT_EQ((first + 1)->x, 39);
    EXPECT_EQ((first + 1)->y, 301 + 6 - 4);
    EXPECT_EQ(LeftTicks(c, 8), 3);
    EXPECT_EQ(LeftTicks(c, 4), 16);  // 2..9 and 20..90
}

TEST_F(AxesTest, LogarithmicXAxisWithTwoDecadeSteps) {
    g.SetOptions(xyAutoXDiv);
    g.SetYdiv(50);
    g.SetXScale(scLog10);
    g.Setxmin(1);
    g.Setxmax(1e8);
    g.SetWidth(256);  // 200 pixels for 8 decades: two a step
    EXPECT_EQ(g.Xdiv(), 2);
    EXPECT_EQ(g.XMinorCount, 1);
    auto c = Draw();
    EXPECT_EQ(TextsAligned(c, taCenter | taTop), (Strings{"10", "0", "10", "2", "10", "4", "10", "6", "10", "8"}));
    EXPECT_EQ(BottomTicks(c, 8), 5);
    EXPECT_EQ(BottomTicks(c, 4), 0);
}

TEST_F(AxesTest, AnUnusableStepWritesOnlyTheEnds) {
    g.SetXdiv(0);
    g.SetYdiv(1e-12);  // 1e14 ticks would stall the drawing
    auto c = Draw();
    EXPECT_EQ(TextsAligned(c, taCenter | taTop), (Strings{"0E0", "100"}));
    EXPECT_EQ(c.FindText("0E0")->x, 41);
    EXPECT_EQ(c.FindText("100")->x, 754);
    EXPECT_EQ(BottomTicks(c, 8), 0);
    // Y: top end first, at T + f div 2, then the bottom end.
    Strings y = TextsAligned(c, taRight | taBaseline);
    ASSERT_EQ(y.size(), 2u);
    EXPECT_EQ(c.texts[2].text, "100.000000000000");
    EXPECT_EQ(c.texts[2].y, 27);
    EXPECT_EQ(c.texts[3].y, 307);
}

TEST_F(AxesTest, HugeLogYAxisShowsOnlyItsEdges) {
    g.SetYScale(scLog10);
    g.SetYmax(1e95);
    auto c = Draw();
    EXPECT_TRUE(TextsAligned(c, taRight | taBaseline).empty());
    auto left = std::find(c.ops.begin(), c.ops.end(), "Polyline 41,301 41,21");
    ASSERT_NE(left, c.ops.end());
    EXPECT_EQ(*(left + 1), "Polyline 754,301 754,21");
    EXPECT_EQ(*(left + 2), "Align 26");  // straight on to the titles
    EXPECT_EQ(*(left + 3), "Align 0");
}

TEST_F(AxesTest, Titles) {
    g.SetTitleLeft("c/s");
    g.SetTitleRight("s");
    g.SetTitleBottom("time [s]");
    g.SetTitleTop("Time profiles");
    auto c = Draw();
    const auto* left = c.FindText(" c/s");
    ASSERT_TRUE(left);
    EXPECT_EQ(left->x, 0);
    EXPECT_EQ(left->y, 0);
    EXPECT_EQ(left->align, taLeft | taTop);
    const auto* right = c.FindText("s ");
    ASSERT_TRUE(right);
    EXPECT_EQ(right->x, 769);
    EXPECT_EQ(right->y, 329);
    EXPECT_EQ(right->align, taRight | taBottom);
    EXPECT_EQ(c.FindText("time [s]")->x, 397);
    EXPECT_EQ(c.FindText("time [s]")->y, 329);
    EXPECT_EQ(c.FindText("Time profiles")->y, 0);
    EXPECT_EQ(c.FindText("Time profiles")->align, taCenter | taTop);
}

TEST_F(AxesTest, DrawMovesTheGraphToTheRectangleOrigin) {
    test::RecordingCanvas c;
    g.Draw(c, {10, 20, 5000, 5000});
    EXPECT_EQ(g.PlotRect, (TRect{51, 41, 764, 321}));
    EXPECT_EQ(c.FindText(" ")->x, 10);
    // The axis pen and font come first.
    EXPECT_EQ(c.ops[0], "Pen 0 1 solid");
    EXPECT_EQ(c.ops[1], "Font Arial 13");
}

}  // namespace
}  // namespace kel
