#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KineticsFixtures.h"
#include "common/Errors.h"
#include "kinetics/Concentration.h"
#include "kinetics/FlowTube.h"
#include "kinetics/Kbasetxt.h"
#include "synth/KineticsGenerator.h"
#include "synth/ProfileGenerator.h"

namespace kel {
namespace {

// "correct" up: the rates are used as read.
TCorrectionState Uncorrected() {
    TCorrectionState state;
    state.Correct = false;
    return state;
}

std::string MessageOf(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const EKelError& e) {
        return e.what();
    }
}

// The error the one-point window of `point` raises on the per-point path, or
// "" when it computes.
std::string PerPointError(const TKel& kel, const TWindowPlan& plan, const TKrecord& compound, int point, double t) {
    try {
        TWindowArrays arrays;
        FillWindowArrays(kel, plan, point, point, arrays);
        ComputeDensity(compound.PrecursorCount, compound.ProductCount, arrays, t);
    } catch (const EKelError& e) {
        return e.what();
    }
    return "";
}

TEST(DensitySeries, EveryPointIsItsOnePointWindow) {
    TKel kel = synth::MakeProfile(synth::DefaultOptions(11));
    TKbase library;
    library.LoadText(synth::DemoKineticsText());
    TCorrectionState state = StartCorrectionRun(true, 0.02, kel);
    double t = ReactionTime(kel);
    TLineRates lines(kel, 1);  // shared by all compounds, as in a batch
    for (int c = 0; c < library.Count(); ++c) {
        const TKrecord& compound = library.Compound(c);
        TWindowPlan plan = PlanWindow(kel, state, compound);
        int asked = 0;
        TDensitySeries series = DensitySeries(lines, plan, [&] { return ++asked, t; });
        EXPECT_EQ(asked, 1);
        EXPECT_FALSE(series.Failure);
        ASSERT_EQ(series.Results.size(), static_cast<std::size_t>(kel.njm - 1));
        for (int i = 1; i < kel.njm; ++i) {
            TWindowArrays a;
            FillWindowArrays(kel, plan, i, i, a);
            TDensityResult expected = ComputeDensity(compound.PrecursorCount, compound.ProductCount, a, t);
            const TDensityResult& got = series.Results[static_cast<std::size_t>(i - 1)];
            EXPECT_EQ(got.Computed, expected.Computed) << compound.Name << " at " << i;
            EXPECT_EQ(got.Density, expected.Density) << compound.Name << " at " << i;
            EXPECT_EQ(got.WeightedProductRate, expected.WeightedProductRate) << compound.Name << " at " << i;
        }
    }
}

TEST(LineRates, ALineIsComputedOnceForAllItsReaders) {
    TKel kel = test::ChannelProfile({19, 33}, 40);
    test::FillChannel(kel, 0, 1000);
    TLineRates lines(kel, 3);
    EXPECT_EQ(lines.Points(), 37u);
    const TLineRates::TLine& line = lines.Line(0, TRateCorrection{}, 0);
    EXPECT_EQ(&lines.Line(0, TRateCorrection{}, 0), &line);
    EXPECT_EQ(line.Rates, std::vector<double>(37, 1000.0));
    EXPECT_EQ(line.FailedAt, 37u);
    EXPECT_FALSE(line.Failure);
    TRateCorrection halved;
    halved.divisor = 2;
    const TLineRates::TLine& other = lines.Line(0, halved, 0);
    EXPECT_NE(&other, &line);
    EXPECT_EQ(other.Rates[5], 500.0);
    EXPECT_NE(&lines.Line(0, TRateCorrection{}, 1e-7), &line);
    EXPECT_NE(&lines.Line(1, TRateCorrection{}, 0), &line);
}

TEST(LineRates, ALineStopsAtItsFirstFailingPoint) {
    TKel kel = test::ChannelProfile({19, 33}, 40);
    kel.Cntm[1] = 0;
    for (int slot = 20; slot < 40; ++slot) kel.Counts[1][static_cast<std::size_t>(slot)] = 5;
    TLineRates lines(kel, 0);
    const TLineRates::TLine& line = lines.Line(0, TRateCorrection{}, 0);
    EXPECT_EQ(line.FailedAt, 0u);  // 0 / 0 at point 0
    EXPECT_EQ(MessageOf(line.Failure), "Invalid floating point operation");
    TLineRates late(kel, 20);
    EXPECT_EQ(MessageOf(late.Line(0, TRateCorrection{}, 0).Failure), "Floating point division by zero");
}

// A k[0] of 0 computes nothing while the precursor reads 0 and raises the
// division error from the first point where it does not.
TEST(DensitySeries, EndsAtTheFirstFailingPointWithItsError) {
    TKel kel = test::ChannelProfile({19, 37, 33}, 40);
    test::FillChannel(kel, 0, 1000);
    test::FillChannel(kel, 1, 100);
    test::FillChannel(kel, 2, 10);
    for (int slot = 0; slot < 12; ++slot) kel.Counts[1][static_cast<std::size_t>(slot)] = 0;
    TKbase library;
    library.LoadText("zero k\n2\n19 0 1\n37 2e-9 1\n1\n33 1\n");
    const TKrecord& compound = library.Compound(0);
    TWindowPlan plan = PlanWindow(kel, Uncorrected(), compound);
    TLineRates lines(kel, 2);
    TDensitySeries series = DensitySeries(lines, plan, [] { return 0.003; });
    ASSERT_EQ(series.Results.size(), 10u);  // points 2 .. 11
    for (const TDensityResult& r : series.Results) EXPECT_FALSE(r.Computed);
    ASSERT_TRUE(series.Failure);
    EXPECT_EQ(PerPointError(kel, plan, compound, 11, 0.003), "");
    EXPECT_EQ(MessageOf(series.Failure), PerPointError(kel, plan, compound, 12, 0.003));
    EXPECT_EQ(MessageOf(series.Failure), "Invalid floating point operation");
}

// A window that cannot be filled fails before the reaction time is asked;
// on the per-point path the fill raises first as well.
TEST(DensitySeries, AFirstWindowThatFailsAsksNoReactionTime) {
    TKel kel = test::ChannelProfile({19, 33}, 40);
    test::FillChannel(kel, 1, 10);  // m/z 19 reads 0 ...
    kel.Cntm[1] = 0;                // ... over a dwell of 0: 0 / 0
    TKbase library;
    library.LoadText("methanol\n1\n19 2.7e-9 1\n1\n33 1\n");
    TWindowPlan plan = PlanWindow(kel, Uncorrected(), library.Compound(0));
    TLineRates lines(kel, 1);
    TDensitySeries series = DensitySeries(lines, plan, []() -> double { throw EZeroDivide(); });
    EXPECT_TRUE(series.Results.empty());
    EXPECT_EQ(MessageOf(series.Failure), "Invalid floating point operation");
}

TEST(DensitySeries, AReactionTimeErrorIsTheFirstPointsError) {
    TKel kel = test::ChannelProfile({19, 33}, 40);
    test::FillChannel(kel, 0, 1000);
    test::FillChannel(kel, 1, 10);
    TKbase library;
    library.LoadText("methanol\n1\n19 2.7e-9 1\n1\n33 1\n");
    TWindowPlan plan = PlanWindow(kel, Uncorrected(), library.Compound(0));
    TLineRates lines(kel, 1);
    TDensitySeries series = DensitySeries(lines, plan, []() -> double { throw EZeroDivide(); });
    EXPECT_TRUE(series.Results.empty());
    EXPECT_EQ(MessageOf(series.Failure), "Floating point division by zero");
}

TEST(DensitySeries, NoPointsFromFirstOnGiveAnEmptySeries) {
    TKel kel = test::ChannelProfile({19, 33}, 5);
    TKbase library;
    library.LoadText("methanol\n1\n19 2.7e-9 1\n1\n33 1\n");
    TWindowPlan plan = PlanWindow(kel, Uncorrected(), library.Compound(0));
    int asked = 0;
    TLineRates lines(kel, 5);
    TDensitySeries series = DensitySeries(lines, plan, [&] { return ++asked, 0.003; });
    EXPECT_TRUE(series.Results.empty());
    EXPECT_FALSE(series.Failure);
    EXPECT_EQ(asked, 0);
}

}  // namespace
}  // namespace kel
