#include <gtest/gtest.h>

#include <cmath>

#include "RecordingCanvas.h"
#include "common/Errors.h"
#include "plot/TickLabels.h"

namespace kel {
namespace {

TEST(FormatTickLabel, SmallStepsNearZeroAreScientific) {
    EXPECT_EQ(FormatTickLabel(0, 0.005), "0E0");
    EXPECT_EQ(FormatTickLabel(-0.0, 0.005), "0E0");
    EXPECT_EQ(FormatTickLabel(0.005, 0.005), "5E-3");
    EXPECT_EQ(FormatTickLabel(0.0025, 0.0005), "2.5E-3");
    EXPECT_EQ(FormatTickLabel(-0.015, 0.005), "-1.5E-2");
    EXPECT_EQ(FormatTickLabel(0.0123456, 0.001), "1.2346E-2");
    // From 0.1 on the fixed form with three decimals takes over.
    EXPECT_EQ(FormatTickLabel(0.105, 0.005), "0.105");
}

TEST(FormatTickLabel, DecimalsFollowTheStep) {
    EXPECT_EQ(FormatTickLabel(20, 10), "20");
    EXPECT_EQ(FormatTickLabel(-20, 10), "-20");
    EXPECT_EQ(FormatTickLabel(0.6, 0.2), "0.6");
    EXPECT_EQ(FormatTickLabel(1, 0.2), "1.0");
    EXPECT_EQ(FormatTickLabel(0, 0.2), "0.0");
    EXPECT_EQ(FormatTickLabel(0.15, 0.05), "0.15");
    EXPECT_EQ(FormatTickLabel(0.125, 0.05), "0.13");  // an exact tie rounds away from zero
    EXPECT_EQ(FormatTickLabel(2.5, 1), "3");
}

TEST(FormatTickLabel, WideIntegerPartsBecomeShortScientific) {
    EXPECT_EQ(FormatTickLabel(5000, 5000), "5000");
    EXPECT_EQ(FormatTickLabel(10000, 5000), "1E4");
    EXPECT_EQ(FormatTickLabel(12000, 10), "1.2E4");
    EXPECT_EQ(FormatTickLabel(15000, 5000), "1.5E4");
    EXPECT_EQ(FormatTickLabel(-20000, 5000), "-2E4");
    EXPECT_EQ(FormatTickLabel(123456, 0.5), "1.2346E5");
    EXPECT_EQ(FormatTickLabel(12345, 0.5), "12345.0");
}

TEST(FormatTickLabel, NoNumberIsNoLabel) {
    EXPECT_THROW(FormatTickLabel(NAN, 1), EInvalidOp);
    EXPECT_THROW(FormatTickLabel(INFINITY, 1), EOverflow);
    EXPECT_THROW(FormatPowerLabel(NAN), EInvalidOp);
    // A step that is no step writes whole numbers.
    EXPECT_EQ(FormatTickLabel(100, 0), "100");
    EXPECT_EQ(FormatTickLabel(100, NAN), "100");
}

TEST(FormatPowerLabel, PowersOfTen) {
    EXPECT_EQ(FormatPowerLabel(100), "1E2");
    EXPECT_EQ(FormatPowerLabel(1), "1E0");
    EXPECT_EQ(FormatPowerLabel(0.001), "1E-3");
    EXPECT_EQ(FormatPowerLabel(99.99999999999997), "1E2");
    EXPECT_EQ(FormatPowerLabel(2.5e5), "2.5E5");
    EXPECT_EQ(FormatPowerLabel(3.14e-12), "3.1E-12");
}

TEST(DrawPowerLabel, OneBecomesTenWithRaisedExponent) {
    test::RecordingCanvas c;
    DrawPowerLabel(c, 100, "1E-3", 50, -13);
    ASSERT_EQ(c.texts.size(), 2u);
    EXPECT_EQ(c.texts[0].text, "10");
    EXPECT_EQ(c.texts[0].x, 100 - 2 - 13);  // (13 * 2) div 2
    EXPECT_EQ(c.texts[0].y, 50);
    EXPECT_EQ(c.texts[1].text, "-3");
    EXPECT_EQ(c.texts[1].x, 100);
    EXPECT_EQ(c.texts[1].y, 46);
}

TEST(DrawPowerLabel, OtherTextsStayAsTheyAre) {
    test::RecordingCanvas c;
    DrawPowerLabel(c, 10, "2.5E5", 20, 13);
    DrawPowerLabel(c, 10, "15E2", 20, 13);
    DrawPowerLabel(c, 10, "100", 20, 13);
    EXPECT_EQ(c.TextStrings(), (std::vector<std::string>{"2.5E5", "15E2", "100"}));
    EXPECT_EQ(c.texts[2].x, 10);
}

}  // namespace
}  // namespace kel
