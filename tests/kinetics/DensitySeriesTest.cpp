#include <gtest/gtest.h>

#include <string>

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
    for (int c = 0; c < library.Count(); ++c) {
        const TKrecord& compound = library.Compound(c);
        TWindowPlan plan = PlanWindow(kel, state, compound);
        int asked = 0;
        TDensitySeries series = DensitySeries(kel, plan, 1, [&] { return ++asked, t; });
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
    TDensitySeries series = DensitySeries(kel, plan, 2, [] { return 0.003; });
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
    TDensitySeries series = DensitySeries(kel, plan, 1, []() -> double { throw EZeroDivide(); });
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
    TDensitySeries series = DensitySeries(kel, plan, 1, []() -> double { throw EZeroDivide(); });
    EXPECT_TRUE(series.Results.empty());
    EXPECT_EQ(MessageOf(series.Failure), "Floating point division by zero");
}

TEST(DensitySeries, NoPointsFromFirstOnGiveAnEmptySeries) {
    TKel kel = test::ChannelProfile({19, 33}, 5);
    TKbase library;
    library.LoadText("methanol\n1\n19 2.7e-9 1\n1\n33 1\n");
    TWindowPlan plan = PlanWindow(kel, Uncorrected(), library.Compound(0));
    int asked = 0;
    TDensitySeries series = DensitySeries(kel, plan, 5, [&] { return ++asked, 0.003; });
    EXPECT_TRUE(series.Results.empty());
    EXPECT_FALSE(series.Failure);
    EXPECT_EQ(asked, 0);
}

}  // namespace
}  // namespace kel
