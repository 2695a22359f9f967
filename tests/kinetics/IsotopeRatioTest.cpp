#include "kinetics/IsotopeRatio.h"

#include <gtest/gtest.h>

#include <cmath>

#include "common/Errors.h"
#include "kinetics/Corrections.h"
#include "KineticsFixtures.h"
#include "plot/CurveColors.h"

namespace kel {
namespace {

using test::ChannelProfile;
using test::FillChannel;

TCorrectionState NoCorrections() {
    TCorrectionState state;
    state.Correct = false;
    return state;
}

// Four channels (nim 8): 74 at 1000 and 1200 c/s, 75 at 500 and 700 c/s.
class FourChannels : public ::testing::Test {
protected:
    FourChannels() : kel(ChannelProfile({74, 74.2, 75, 75.2})) {
        kel.nim = 8;
        FillChannel(kel, 0, 1000);
        FillChannel(kel, 1, 1200);
        FillChannel(kel, 2, 500);
        FillChannel(kel, 3, 700);
        kel.Name[18] = "p Torr";
        for (auto& value : kel.Counts[18]) value = 72;
        inputs.profile = &kel;
        inputs.mode = TPlotMode::Isotope;
        inputs.corrections = NoCorrections();
        inputs.start = 0;
        inputs.end = 4;
        inputs.graphWidth = 500;
    }
    TIsotopeSums Sums() const { return ComputeIsotopeSums(kel, inputs.corrections, 0, 4, inputs.isotope); }
    TKel kel;
    TWindowInputs inputs;
};

TEST_F(FourChannels, GroupSums) {
    TIsotopeSums sums = Sums();
    EXPECT_DOUBLE_EQ(sums.S74, 1100);
    EXPECT_DOUBLE_EQ(sums.S75, 600);
    EXPECT_DOUBLE_EQ(sums.N74, 4.5 * 2200);  // five points, one at half weight
    EXPECT_DOUBLE_EQ(sums.N75, 4.5 * 1200);
    EXPECT_DOUBLE_EQ(sums.RelErr, 1 / std::sqrt(9900.0) + 1 / std::sqrt(5400.0));
    EXPECT_EQ(sums.PeakList, (std::vector<double>{500, 700}));
    EXPECT_NEAR(ComputeIsotopeRatio(sums, inputs.isotope).Q, 1.8333, 1e-4);
}

TEST_F(FourChannels, BackgroundsAndDeadTimeButNoOtherCorrection) {
    inputs.isotope.b74 = 100;
    inputs.isotope.b75 = -50;
    kel.De200 = 1.5;  // would change every rate if the model applied
    kel.Mr200 = 5;
    TCorrectionState state;
    state.DeadTime = 1e-4;
    TIsotopeSums sums = ComputeIsotopeSums(kel, state, 0, 4, inputs.isotope);
    EXPECT_DOUBLE_EQ(sums.S74, (1000 / 0.9 + 1200 / 0.88) / 2 - 100);
    EXPECT_DOUBLE_EQ(sums.S75, (500 / 0.95 + 700 / 0.93) / 2 + 50);
    EXPECT_DOUBLE_EQ(sums.N74, 9900);  // counts are not dead-time corrected
}

TEST_F(FourChannels, InfoLines) {
    TWindowRun run = RunWindowCalculation(inputs);
    ASSERT_TRUE(run.ok()) << run.error;
    ASSERT_EQ(run.lines.size(), 7u + 5u);  // the isotope lines, then the auxiliary rows
    EXPECT_EQ(run.lines[0].text, "(74)   1100");
    EXPECT_EQ(run.lines[1].text, "(75)    600");
    EXPECT_EQ(run.lines[2].text, "Q= 1.8333±2.4%");
    EXPECT_EQ(run.lines[3].text, "R1vap= 1445±38 ppm");
    EXPECT_EQ(run.lines[4].text, "R1liq= 1545±41 ppm");
    EXPECT_EQ(run.lines[5].text, "shape= 0.000");   // two channels: 1/4 - (500 + 700) / 4 / 1200
    EXPECT_EQ(run.lines[6].text, "slope= -0.083");  // (500 - 700) / 2 / 1200
    const TColor colors[] = {CurveColor(0), CurveColor(1), RGBColor(0, 0, 255), RGBColor(0, 0, 0),
                             CurveColor(6), RGBColor(0, 128, 0), RGBColor(0, 128, 0)};
    for (int k = 0; k < 7; ++k) {
        const TResultLine& line = run.lines[static_cast<std::size_t>(k)];
        EXPECT_EQ(line.x, 80);
        EXPECT_EQ(line.y, 50 + 20 * k);
        EXPECT_EQ(line.color, colors[k]) << k;
        EXPECT_EQ(line.box, k == 4 ? TLineBox::White : TLineBox::GraphBox) << k;
        EXPECT_EQ(line.style, k == 4 ? fsBold : 0) << k;
    }
    EXPECT_EQ(run.lines[7].text, "p Torr 72");
    EXPECT_EQ(run.lines[7].x, 250);
    EXPECT_DOUBLE_EQ(run.isotope.S74, 1100);
    EXPECT_TRUE(run.intermediate.empty());
}

TEST_F(FourChannels, NoCountsInOneGroupMeansAFullError) {
    FillChannel(kel, 0, 0);
    FillChannel(kel, 1, 0);
    TWindowRun run = RunWindowCalculation(inputs);
    ASSERT_TRUE(run.ok()) << run.error;
    EXPECT_EQ(run.isotope.RelErr, 1);
    EXPECT_EQ(run.lines[2].text, "Q= 0.0000±100.0%");
}

TEST_F(FourChannels, NoSignalAt75LeavesOnlyThePeakLines) {
    inputs.isotope.b75 = 600;
    TWindowRun run = RunWindowCalculation(inputs);
    ASSERT_TRUE(run.ok()) << run.error;
    ASSERT_EQ(run.lines.size(), 2u + 5u);
    EXPECT_EQ(run.lines[1].text, "(75)      0");
    EXPECT_EQ(run.lines[2].text, "p Torr 72");
}

TEST_F(FourChannels, ZeroPartitionEndsTheRunAfterThePeakLines) {
    inputs.isotope.liq = 0;
    TWindowRun run = RunWindowCalculation(inputs);
    EXPECT_FALSE(run.ok());
    ASSERT_EQ(run.lines.size(), 3u);
    EXPECT_EQ(run.lines[1].text, "(75)    600");
    EXPECT_EQ(run.lines[2].text, "Exception was Floating point division by zero");
    EXPECT_EQ(run.lines[2].color, RGBColor(255, 0, 0));
    EXPECT_DOUBLE_EQ(run.isotope.S75, 600);  // the sums stand for the result log
}

TEST_F(FourChannels, ZeroDwellEndsTheRun) {
    kel.Cntm[5] = 0;
    TWindowRun run = RunWindowCalculation(inputs);
    EXPECT_FALSE(run.ok());
    ASSERT_EQ(run.lines.size(), 1u);
    EXPECT_EQ(run.lines[0].text, "Exception was Floating point division by zero");
}

TEST(IsotopeSums, OddChannelCountAddsTheExtraChannelTo75Only) {
    TKel kel = ChannelProfile({74, 74.5, 75, 75.5, 76});
    kel.nim = 10;  // five channels, two per group and one extra
    for (int k = 0; k < 5; ++k) FillChannel(kel, k, 100 * (k + 1));
    TIsotopeSums sums = ComputeIsotopeSums(kel, NoCorrections(), 3, 3, {});
    EXPECT_DOUBLE_EQ(sums.S74, (100 + 200) / 2.0);
    EXPECT_DOUBLE_EQ(sums.S75, (300 + 400 + 500) / 2.0);
    EXPECT_EQ(sums.PeakList, (std::vector<double>{300, 400}));
    EXPECT_DOUBLE_EQ(sums.N75, 0.5 * 1200);
}

TEST(IsotopeSums, OneChannelHasNoGroups) {
    TKel kel = ChannelProfile({74});
    kel.nim = 3;
    FillChannel(kel, 0, 100);
    EXPECT_THROW(ComputeIsotopeSums(kel, NoCorrections(), 0, 3, {}), EMathError);
}

TEST(IsotopeRatio, VapourAndLiquid) {
    TIsotopeSums sums;
    sums.S74 = 2;
    sums.S75 = 1;
    sums.RelErr = 0.01;
    TIsotopeParams params;
    params.R2 = 0.002;
    params.R3 = 0.001;
    params.liq = 0.5;
    TIsotopeRatio ratio = ComputeIsotopeRatio(sums, params);
    EXPECT_EQ(ratio.Q, 2);
    EXPECT_EQ(ratio.R1Vapour, 0);  // Q R3 = R2
    EXPECT_DOUBLE_EQ(ratio.R1VapourError, 0.002 * 0.01 * 1e6 * 4 / 9);
    EXPECT_DOUBLE_EQ(ratio.R1LiquidError, ratio.R1VapourError * 2);
    sums.S75 = 0;
    EXPECT_THROW(ComputeIsotopeRatio(sums, params), EZeroDivide);
}

TEST(PeakShape, SymmetricPeak) {
    TPeakShape shape = PeakShapeOf({1, 2, 1});
    EXPECT_DOUBLE_EQ(shape.Slope, 0);
    EXPECT_NEAR(shape.Shape, 0.1667, 1e-4);  // 8/12 - 2/4
}

TEST(PeakShape, FlatPeakHasNoShapeAndALeaningOneASlope) {
    EXPECT_NEAR(PeakShapeOf({5, 5, 5, 5}).Shape, 0, 1e-12);
    EXPECT_DOUBLE_EQ(PeakShapeOf({3, 1}).Slope, (0.5 * 3 - 0.5 * 1) / 4);
    TPeakShape empty = PeakShapeOf({0, 0, 0});
    EXPECT_EQ(empty.Slope, 0);
    EXPECT_EQ(empty.Shape, 0);
    EXPECT_EQ(PeakShapeOf({}).Shape, 0);
}

}  // namespace
}  // namespace kel
