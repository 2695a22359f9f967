#include "kinetics/WindowResults.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "common/Errors.h"
#include "common/NumberText.h"
#include "kinetics/Concentration.h"
#include "kinetics/Corrections.h"
#include "kinetics/CountAccess.h"
#include "kinetics/FlowTube.h"
#include "kinetics/WindowMeans.h"
#include "KineticsFixtures.h"
#include "plot/CurveColors.h"
#include "synth/KineticsGenerator.h"
#include "synth/ProfileGenerator.h"

namespace kel {
namespace {

using test::ChannelProfile;
using test::FillChannel;

constexpr TColor kRed = RGBColor(255, 0, 0);

TCorrectionState NoCorrections() {
    TCorrectionState state;
    state.Correct = false;
    return state;
}

void SetCounts(TKel& kel, int row, int point, std::int32_t count) {
    kel.Counts[static_cast<std::size_t>(row)][static_cast<std::size_t>(point)] = count;
}

// ---------------------------------------------------------------- window means

TEST(RelativeStandardError, NoScatterOrTooFewValuesGiveZero) {
    EXPECT_EQ(RelativeStandardError(3e9, 3e18, 3), 0);  // 1e9 three times: u^2/n = q
    EXPECT_EQ(RelativeStandardError(5, 25, 1), 0);
    EXPECT_EQ(RelativeStandardError(0, 0, 0), 0);
}

TEST(RelativeStandardError, OfTheMean) {
    EXPECT_DOUBLE_EQ(RelativeStandardError(4e9, 1e19, 2), 50);  // 1e9 and 3e9
    // 100, 200, 300: sqrt(20000 / 6) / 200 = 28.87 %
    EXPECT_NEAR(RelativeStandardError(600, 140000, 3), 28.8675, 1e-4);
}

TEST(RelativeStandardError, ScatterAboutAZeroMeanRaises) {
    EXPECT_THROW(RelativeStandardError(0, 2, 2), EZeroDivide);  // -1 and 1
}

// Three channels (nim 6, half 1): channel 0 weighs half at the window's
// start, channels 1 and 2 at its end.
class ThreeChannels : public ::testing::Test {
protected:
    ThreeChannels() : kel(ChannelProfile({19, 37, 45})) {
        kel.nim = 6;
        FillChannel(kel, 0, 1000);
        FillChannel(kel, 1, 100);
        SetCounts(kel, 5, 10, 100);
        SetCounts(kel, 5, 11, 200);
        SetCounts(kel, 5, 12, 300);
        kel.Name[18] = "p Torr";
        kel.Name[20] = "Id (pA)";
        kel.Name[22] = "flow";
        kel.Name[24] = "T";
        kel.Name[26] = "(x)";
        for (int point = 0; point < 201; ++point) {
            SetCounts(kel, 18, point, 720);
            SetCounts(kel, 22, point, point);
        }
        inputs.profile = &kel;
        inputs.corrections = NoCorrections();
        inputs.start = 10;
        inputs.end = 12;
        inputs.graphWidth = 601;
    }
    TKel kel;
    TWindowInputs inputs;
};

TEST_F(ThreeChannels, WeightsAndPlainSums) {
    TChannelWindow early = ChannelWindow(kel, 0, 2, 10, 12);
    EXPECT_DOUBLE_EQ(early.MeanRate, (100 + 200 + 0.5 * 300) / 2.5);
    EXPECT_DOUBLE_EQ(early.CountSum, 450);
    EXPECT_DOUBLE_EQ(early.PlainSum, 600);
    EXPECT_DOUBLE_EQ(early.PlainSquares, 140000);
    EXPECT_EQ(early.Points, 3);
    SetCounts(kel, 1, 10, 0);
    EXPECT_DOUBLE_EQ(ChannelWindow(kel, 0, 0, 10, 12).MeanRate, 2000 / 2.5);  // half weight on the 0
    EXPECT_DOUBLE_EQ(ChannelWindow(kel, 0, 0, 11, 11).MeanRate, 1000);       // one point is its rate
}

// Auxiliary readings: a plain mean of the stored values; a row past the
// record's counts reads 0 rather than memory beyond them.
TEST_F(ThreeChannels, RowMeansArePlainAndStopAtTheRecord) {
    for (int slot = 0; slot < kel.njm; ++slot) kel.Counts[18][static_cast<std::size_t>(slot)] = slot % 2 ? 3 : 6;
    double expected = 0;
    for (int point = 10; point <= 13; ++point)
        expected += kel.Counts[18][static_cast<std::size_t>(SlotOfPoint(kel, point))];
    EXPECT_DOUBLE_EQ(RowWindowMean(kel, 18, 10, 13), expected / 4);
    EXPECT_THROW(RowWindowMean(kel, 18, 10, 9), EMathError);
    kel.Counts.resize(19);
    EXPECT_EQ(RowWindowMean(kel, 20, 10, 13), 0);
}

TEST_F(ThreeChannels, MeanIsDeadTimeThenModelCorrected) {
    kel.De200 = 1.2;
    kel.Mr200 = 5;
    kel.Df73 = 1;
    TCorrectionState state;
    state.DeadTime = 1e-4;  // d = 0.1 at 1000 c/s
    double expected = MassDiscrimination(true, 1000 / 0.9, 45, 1.2, 5, 1);
    FillChannel(kel, 2, 1000);
    EXPECT_DOUBLE_EQ(ChannelWindowMean(kel, state, 2, 3, 9), expected);
    EXPECT_DOUBLE_EQ(ChannelWindowMean(kel, NoCorrections(), 2, 3, 9), 1000);
}

// ---------------------------------------------------------------- count-rate mode

TEST_F(ThreeChannels, CountRateLines) {
    TWindowRun run = RunWindowCalculation(inputs);
    ASSERT_TRUE(run.ok()) << run.error;
    ASSERT_EQ(run.lines.size(), 5u + 3u);  // channels, total, window, three auxiliary rows
    // 19: N = 2500, E = 50 * 100 / 2500.001; 45: N = 450, scatter 28.9 %.
    EXPECT_EQ(run.lines[0].text, "19  1000±0%, ~2% (3.000s)");
    EXPECT_EQ(run.lines[1].text, "37   100±0%, ~6% (3.000s)");
    EXPECT_EQ(run.lines[2].text, "45   180±29%, ~5% (3.000s)");
    EXPECT_EQ(run.lines[3].text, "(total)  1280");
    EXPECT_EQ(run.lines[4].text, "(njm, jm, jm1, jm2)201  0 10 12");
    for (int i = 0; i < 5; ++i) {
        const TResultLine& line = run.lines[static_cast<std::size_t>(i)];
        EXPECT_EQ(line.x, 80);
        EXPECT_EQ(line.y, 50 + 20 * i);
        EXPECT_EQ(line.color, CurveColor(i < 3 ? i : 13));
        EXPECT_EQ(line.box, TLineBox::GraphBox);
        EXPECT_EQ(line.style, 0);
    }
    EXPECT_TRUE(run.intermediate.empty());
    EXPECT_TRUE(run.compounds.empty());
}

// A rate or total that fills its six characters, or more, keeps a blank
// after the name; a narrower one keeps its padding as it was.
TEST_F(ThreeChannels, WideRatesAndTotalsStayApartFromTheirNames) {
    FillChannel(kel, 0, 860269);  // one second of dwell a point: the counts are the rates
    FillChannel(kel, 1, 99999);
    TWindowRun run = RunWindowCalculation(inputs);
    ASSERT_TRUE(run.ok()) << run.error;
    EXPECT_EQ(run.lines[0].text.rfind("19 860269±0%, ~", 0), 0u) << run.lines[0].text;
    EXPECT_EQ(run.lines[1].text.rfind("37 99999±0%, ~", 0), 0u) << run.lines[1].text;
    EXPECT_EQ(run.lines[3].text, "(total) 960448");

    FillChannel(kel, 0, 2000000);
    run = RunWindowCalculation(inputs);
    ASSERT_TRUE(run.ok()) << run.error;
    EXPECT_EQ(run.lines[0].text.rfind("19 2000000±0%, ~", 0), 0u) << run.lines[0].text;
    EXPECT_EQ(run.lines[3].text, "(total) 2100179");
    EXPECT_EQ(run.lines[4].text, "(njm, jm, jm1, jm2)201  0 10 12");
}

TEST_F(ThreeChannels, DwellFigureIsTheChannelsTimeInTheWindow) {
    kel.Cntm[3] = 250;  // channel 1 counts half as long: twice the rate
    inputs.end = 13;
    TWindowRun run = RunWindowCalculation(inputs);
    ASSERT_TRUE(run.ok()) << run.error;
    EXPECT_EQ(run.lines[1].text, "37   200±0%, ~5% (2.000s)");  // 4 points of 0.5 s; N = 3.5 * 100
    EXPECT_EQ(run.lines[4].text, "(njm, jm, jm1, jm2)201  0 10 13");
}

TEST_F(ThreeChannels, EmptyWindowGivesNoRatesAndNoAverages) {
    inputs.start = 12;
    inputs.end = 11;
    TWindowRun run = RunWindowCalculation(inputs);
    ASSERT_TRUE(run.ok()) << run.error;
    ASSERT_EQ(run.lines.size(), 5u);
    EXPECT_EQ(run.lines[0].text, "19 n.a. ±0%, ~0% (0.000s)");
    EXPECT_EQ(run.lines[3].text, "(total)     0");
}

TEST_F(ThreeChannels, AuxiliaryRowsWithoutParenthesis) {
    TWindowRun run = RunWindowCalculation(inputs);
    ASSERT_TRUE(run.ok()) << run.error;
    ASSERT_EQ(run.lines.size(), 8u);
    const TResultLine& pressure = run.lines[5];
    EXPECT_EQ(pressure.text, "p Torr 720");
    EXPECT_EQ(pressure.x, 300);
    EXPECT_EQ(pressure.y, 50);
    EXPECT_EQ(pressure.color, CurveColor(18));
    EXPECT_EQ(run.lines[6].text, "flow 11");  // mean of 10, 11, 12
    EXPECT_EQ(run.lines[6].y, 90);
    EXPECT_EQ(run.lines[6].color, CurveColor(22));
    EXPECT_EQ(run.lines[7].text, "T 0");
    EXPECT_EQ(run.lines[7].y, 110);
}

TEST_F(ThreeChannels, AuxiliaryMeansFollowTheRing) {
    kel.jm = 195;  // point 10 lives in slot 4
    kel.Name[18] = "p(x)";
    TWindowRun run = RunWindowCalculation(inputs);
    ASSERT_TRUE(run.ok()) << run.error;
    EXPECT_EQ(run.lines[5].text, "flow 5");  // slots 4, 5, 6
}

TEST_F(ThreeChannels, ZeroDwellKeepsTheLinesBeforeIt) {
    kel.Cntm[5] = 0;
    TWindowRun run = RunWindowCalculation(inputs);
    EXPECT_FALSE(run.ok());
    EXPECT_EQ(run.error, "Floating point division by zero");
    ASSERT_EQ(run.lines.size(), 3u);  // channels 0 and 1, then the error; no total, no auxiliary rows
    EXPECT_EQ(run.lines[1].text, "37   100±0%, ~6% (3.000s)");
    const TResultLine& error = run.lines[2];
    EXPECT_EQ(error.text, "Exception was Floating point division by zero");
    EXPECT_EQ(error.x, 50);
    EXPECT_EQ(error.y, 250);
    EXPECT_EQ(error.color, kRed);
    EXPECT_EQ(error.box, TLineBox::None);
}

// ---------------------------------------------------------------- ppb mode

// Precursor m/z 19 at 10000 c/s, products m/z 33 at 10 and m/z 45 at 20 c/s,
// no flow data (fc = 0): reaction time f7 = 1/1024 s, flow factor f8 = 1,
// sample flow 1/8, all exact in the profile's 6-byte reals.
class TwoCompounds : public ::testing::Test {
protected:
    TwoCompounds() : kel(ChannelProfile({19, 33, 45})) {
        FillChannel(kel, 0, 10000);
        FillChannel(kel, 1, 10);
        FillChannel(kel, 2, 20);
        kel.Tg = 300;
        kel.f1 = 0.125;
        kel.f7 = 0.0009765625;
        kel.f8 = 1;
        library.LoadText(
            "alpha (C1)\n1\n19 2e-9 1\n1\n33 1\n"
            "unused (X)\n1\n19 2e-9 1\n1\n33 1\n"
            "beta (C2H6O)\n1\n19 2e-9 1\n1\n45 1\n"
            "missing (C3)\n1\n19 2e-9 1\n1\n59 1\n");
        library.ClearSelection();
        for (int index : {0, 2, 3}) library.Compound(index).SelectCount = 1;
        inputs.profile = &kel;
        inputs.library = &library;
        inputs.mode = TPlotMode::Ppb;
        inputs.corrections = NoCorrections();
        inputs.start = 0;
        inputs.end = 9;
        inputs.sensitMode = 2;
        inputs.fileNameField = "demo.kel";
        inputs.graphWidth = 600;
    }
    TKel kel;
    TKbase library;
    TWindowInputs inputs;
    // ln(1 + k N / (k P)) / (t k) with N / P = 1e-3 (alpha) and 2e-3 (beta).
    double alphaDensity = std::log1p(1e-3) / (0.0009765625 * 2e-9);
    double betaDensity = std::log1p(2e-3) / (0.0009765625 * 2e-9);
};

TEST_F(TwoCompounds, CompoundResults) {
    TWindowRun run = RunWindowCalculation(inputs);
    ASSERT_TRUE(run.ok()) << run.error;
    ASSERT_EQ(run.compounds.size(), 3u);
    const TCompoundResult& alpha = run.compounds[0];
    EXPECT_EQ(alpha.Name, "alpha");
    EXPECT_NEAR(alpha.MeanDensity, alphaDensity, alphaDensity * 1e-12);
    EXPECT_NEAR(alpha.RelStdDev, 0, 1e-5);
    EXPECT_NEAR(alpha.Ppb, alphaDensity * 8 / 3.28e16 * 1e9, 1e-9);
    EXPECT_DOUBLE_EQ(alpha.ProductCountSum, 95);  // 9.5 weighted points of 10 counts
    EXPECT_DOUBLE_EQ(alpha.CountingError, 1 / std::sqrt(95.0));
    EXPECT_DOUBLE_EQ(alpha.WeightedProductRate, 10);
    EXPECT_DOUBLE_EQ(alpha.Mol, alpha.Ppb * 1e-9 * 29 * 9 * 0.125 / 760 / 24.4);  // cycle 29 s, end - start = 9
    EXPECT_EQ(run.compounds[1].Name, "beta");
    EXPECT_EQ(run.compounds[2].Name, "missing");
    EXPECT_EQ(run.compounds[2].MeanDensity, 0);
    EXPECT_EQ(run.compounds[2].Ppb, 0);
}

TEST_F(TwoCompounds, InfoLines) {
    TWindowRun run = RunWindowCalculation(inputs);
    ASSERT_TRUE(run.ok()) << run.error;
    ASSERT_EQ(run.lines.size(), 3u + 5u);  // three compounds, five unnamed auxiliary rows
    // 124.8 ppb, counting error 12.8 ppb, LOD 124.8 / 95, 2.2e-10 mol.
    EXPECT_EQ(run.lines[0].text, " alpha =  125 ppb±0 ppb, ~±13 ppb (LOD=1.31 ppb) 2.2e-10 mol");
    EXPECT_EQ(run.lines[1].text, " beta =  250 ppb±0 ppb, ~±18 ppb (LOD=1.31 ppb) 4.4e-10 mol");
    EXPECT_EQ(run.lines[2].text, " missing n.a.");
    for (int k = 0; k < 3; ++k) {
        const TResultLine& line = run.lines[static_cast<std::size_t>(k)];
        EXPECT_EQ(line.x, 50);
        EXPECT_EQ(line.y, 50 + 20 * k);
        EXPECT_EQ(line.color, CurveColor(k));
        EXPECT_EQ(line.box, TLineBox::GraphBox);
    }
    EXPECT_EQ(run.lines[3].text, " 0");
    EXPECT_EQ(run.lines[3].x, 300);
}

TEST_F(TwoCompounds, SensitivityIndicators) {
    auto alphaLine = [this](int mode) {
        inputs.sensitMode = mode;
        TWindowRun run = RunWindowCalculation(inputs);
        EXPECT_TRUE(run.ok()) << run.error;
        return run.lines.at(0).text;
    };
    const std::string head = " alpha =  125 ppb±0 ppb, ~±13 ppb";
    const std::string tail = " 2.2e-10 mol";
    EXPECT_EQ(alphaLine(0), head + " (0.08 cps/ppb)" + tail);
    EXPECT_EQ(alphaLine(1), head + " (12.48 ppb/cps)" + tail);
    EXPECT_EQ(alphaLine(2), head + " (LOD=1.31 ppb)" + tail);
    EXPECT_EQ(alphaLine(3), head + " (LOD1=13.14 ppb)" + tail);  // ten points: ten times LOD
    EXPECT_EQ(alphaLine(4), head + tail);
}

TEST_F(TwoCompounds, RelativeStandardErrorOfThePoints) {
    for (int point = 0; point < 5; ++point) SetCounts(kel, 3, point, 30);  // three times the signal
    inputs.end = 9;
    TWindowRun run = RunWindowCalculation(inputs);
    ASSERT_TRUE(run.ok()) << run.error;
    double low = alphaDensity;
    double high = std::log1p(3e-3) / (0.0009765625 * 2e-9);
    double mean = (low + high) / 2;
    double expected = std::sqrt((5 * low * low + 5 * high * high - 10 * mean * mean) / 90) * 100 / mean;
    EXPECT_NEAR(run.compounds[0].MeanDensity, mean, mean * 1e-12);
    EXPECT_NEAR(run.compounds[0].RelStdDev, expected, expected * 1e-9);
}

TEST_F(TwoCompounds, IntermediateResults) {
    inputs.start = 3;
    inputs.end = 4;
    SetCounts(kel, 1, 4, 12345);
    TWindowRun run = RunWindowCalculation(inputs);
    ASSERT_TRUE(run.ok()) << run.error;
    const auto& text = run.intermediate;
    ASSERT_EQ(text.size(), 3u + 5 + 5 + 3);  // header; name, points, ppb and blank; no ppb when n.a.
    EXPECT_EQ(text[0], "Intermediate results from demo.kel");
    EXPECT_EQ(text[1],
              "Tg=\t300.000\tfc=\t0.000000\tf1=\t0.125000\tp=\t0.000000\tdeadtime\t0.00e00\ttr\t9.77e-04\t"
              "extra.Aft\t0.000000");
    EXPECT_EQ(text[2], "  ");
    EXPECT_EQ(text[3], "alpha\t(C1)");
    EXPECT_EQ(text[4], "4\traw prec\t10000\tcorrect prec\t10000.0\traw prod\t10\tcorrect prod\t10.0\tdensity\t" +
                           FormatPattern("0.0", alphaDensity) + "\t");
    EXPECT_EQ(text[5].substr(0, 37), "5\traw prec\t12345\tcorrect prec\t12345.0");
    EXPECT_EQ(text[6].substr(0, 10), "ppb_alpha\t");
    EXPECT_EQ(text[7], "  ");
    EXPECT_EQ(text[8], "beta\t(C2H6O)");
    EXPECT_EQ(text[13], "missing\t(C3)");
    EXPECT_EQ(text[14], "4\traw prec\t10000\tcorrect prec\t10000.0\traw prod\t0\tcorrect prod\t0.0\tdensity\t0.0\t");
    EXPECT_EQ(text.back(), "5\traw prec\t12345\tcorrect prec\t12345.0\traw prod\t0\tcorrect prod\t0.0\tdensity\t0.0\t");
}

TEST_F(TwoCompounds, IntermediateShowsTheRunsDeadTime) {
    inputs.corrections.DeadTime = 2.5e-7;
    TWindowRun run = RunWindowCalculation(inputs);
    ASSERT_TRUE(run.ok()) << run.error;
    EXPECT_NE(run.intermediate[1].find("\tdeadtime\t2.50e-07\t"), std::string::npos);
}

TEST_F(TwoCompounds, EmptyWindowShowsNotAvailable) {
    inputs.start = 5;
    inputs.end = 4;
    TWindowRun run = RunWindowCalculation(inputs);
    ASSERT_TRUE(run.ok()) << run.error;
    EXPECT_EQ(run.lines[0].text, " alpha n.a.");
    EXPECT_EQ(run.lines[1].text, " beta n.a.");
    EXPECT_EQ(run.lines.size(), 3u);  // and no auxiliary means
}

TEST_F(TwoCompounds, NoCountsForTheLimitOfDetectionIsAnError) {
    // Positive densities at the points but no summed product counts: the
    // limit of detection has nothing to divide by.
    FillChannel(kel, 1, 0);
    SetCounts(kel, 3, 0, 20);   // weighs half: 10
    SetCounts(kel, 3, 1, -10);  // a negative rate gives no density
    TWindowRun run = RunWindowCalculation(inputs);
    EXPECT_FALSE(run.ok());
    EXPECT_EQ(run.lines.back().text, "Exception was " + run.error);
    EXPECT_EQ(run.lines.size(), 1u);
}

TEST_F(TwoCompounds, ZeroDwellOfThePrecursorWhileTheFirstCompoundIsComputed) {
    kel.Cntm[1] = 0;
    TWindowRun run = RunWindowCalculation(inputs);
    EXPECT_FALSE(run.ok());
    ASSERT_EQ(run.lines.size(), 1u);
    EXPECT_EQ(run.lines[0].text, "Exception was Floating point division by zero");
    EXPECT_EQ(run.lines[0].color, kRed);
    ASSERT_EQ(run.intermediate.size(), 4u);  // header lines, then the compound it stopped at
    EXPECT_EQ(run.intermediate[3], "alpha\t(C1)");
    EXPECT_TRUE(run.compounds.empty());
}

TEST_F(TwoCompounds, ZeroSampleFlowIsAnErrorAfterTheEarlierCompounds) {
    kel.f1 = 0;
    library.Clear();
    library.LoadText("first missing (C4)\n1\n19 2e-9 1\n1\n59 1\nalpha (C1)\n1\n19 2e-9 1\n1\n33 1\n");
    TWindowRun run = RunWindowCalculation(inputs);
    EXPECT_FALSE(run.ok());
    ASSERT_EQ(run.lines.size(), 2u);
    EXPECT_EQ(run.lines[0].text, " first missing n.a.");
    EXPECT_EQ(run.lines[1].text, "Exception was Floating point division by zero");
}

TEST_F(TwoCompounds, OverflowAtOnePointEndsTheCompoundAfterThePointsBeforeIt) {
    // Only the precursor's count at point 5 overflows this dead time.
    kel.Counts[1][5] = 2000000000;
    inputs.corrections.DeadTime = 1e296;
    TWindowRun run = RunWindowCalculation(inputs);
    EXPECT_FALSE(run.ok());
    ASSERT_EQ(run.lines.size(), 1u);
    EXPECT_EQ(run.lines[0].text, "Exception was " + run.error);
    ASSERT_EQ(run.intermediate.size(), 9u);  // header lines, the compound, its points 1..5
    EXPECT_EQ(run.intermediate[3], "alpha\t(C1)");
    EXPECT_EQ(run.intermediate[8].substr(0, 2), "5\t");
}

// A realistic profile and the demo library: every selected compound gets a
// line, and the window result of a one-point window is that point's value.
TEST(SyntheticWindow, OnePointWindowMatchesTheSeries) {
    TKel kel = synth::MakeProfile(synth::DefaultOptions(7));
    TKbase library;
    library.LoadText(synth::DemoKineticsText());
    SelectCompoundsForPpb(library, kel);
    TWindowInputs inputs;
    inputs.profile = &kel;
    inputs.library = &library;
    inputs.mode = TPlotMode::Ppb;
    inputs.corrections = StartCorrectionRun(true, 0.02, kel);
    inputs.start = inputs.end = 40;
    TWindowRun run = RunWindowCalculation(inputs);
    ASSERT_TRUE(run.ok()) << run.error;
    int index = 0;
    for (int c = 0; c < library.Count(); ++c) {
        const TKrecord& compound = library.Compound(c);
        if (compound.SelectCount == 0) continue;
        std::vector<double> series;
        ConcentrationSeries(kel, inputs.corrections, compound, series);
        const TCompoundResult& result = run.compounds.at(static_cast<std::size_t>(index++));
        EXPECT_EQ(result.Name, compound.Name);
        EXPECT_NEAR(result.Ppb, series[40], std::fabs(series[40]) * 1e-12) << compound.Name;
        EXPECT_EQ(result.Mol, 0);  // end - start = 0
    }
    EXPECT_GT(index, 3);
}

}  // namespace
}  // namespace kel
