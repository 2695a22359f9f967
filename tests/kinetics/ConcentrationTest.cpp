#include "kinetics/Concentration.h"

#include <gtest/gtest.h>

#include <cmath>

#include "common/Errors.h"
#include "kinetics/FlowTube.h"
#include "KineticsFixtures.h"
#include "support/TestSupport.h"
#include "synth/KineticsGenerator.h"
#include "synth/ProfileGenerator.h"

namespace kel {
namespace {

using test::ChannelProfile;

TKrecord Compound(std::vector<std::array<double, 3>> precursors, std::vector<std::array<double, 2>> products) {
    TKrecord c;
    c.PrecursorCount = static_cast<int>(precursors.size());
    c.ProductCount = static_cast<int>(products.size());
    for (std::size_t i = 0; i < precursors.size(); ++i) {
        c.PrecursorMass[i] = precursors[i][0];
        c.RateCoefficient[i] = precursors[i][1];
        c.PrecursorWeight[i] = precursors[i][2];
    }
    for (std::size_t j = 0; j < products.size(); ++j) {
        c.ProductMass[j] = products[j][0];
        c.ProductWeight[j] = products[j][1];
    }
    return c;
}

TCorrectionState NoCorrections() {
    TCorrectionState state;
    state.Correct = false;
    return state;
}

// Channel 0 (m/z 19) is in the first half of the cycle (nim 29: H = 7),
// channel 10 (m/z 59) in the second; both count 100, 1000, 10000 at points
// 10, 11, 12.
class WindowWeights : public ::testing::Test {
protected:
    WindowWeights() : kel(ChannelProfile({19, 21, 23, 25, 27, 29, 31, 33, 35, 37, 59})) {
        for (int row : {1, 21}) {
            kel.Counts[static_cast<std::size_t>(row)][10] = 100;
            kel.Counts[static_cast<std::size_t>(row)][11] = 1000;
            kel.Counts[static_cast<std::size_t>(row)][12] = 10000;
        }
    }
    TKel kel;
    TKrecord compound = Compound({{19, 2e-9, 1}}, {{59, 1}});
    TWindowArrays arrays;
};

TEST_F(WindowWeights, HalfWeightAtTheStartOrEndByChannelHalf) {
    FillWindowArrays(kel, NoCorrections(), compound, 10, 12, arrays);
    EXPECT_DOUBLE_EQ(arrays.PrecursorRates[0], (0.5 * 100 + 1000 + 10000) / 2.5);
    EXPECT_DOUBLE_EQ(arrays.ProductRates[0], (100 + 1000 + 0.5 * 10000) / 2.5);
    EXPECT_DOUBLE_EQ(arrays.ProductCounts[0], 100 + 1000 + 0.5 * 10000);
    EXPECT_EQ(arrays.RateCoefficients[0], 2e-9);
    EXPECT_EQ(arrays.PrecursorWeights[0], 1);
    EXPECT_EQ(arrays.ProductWeights[0], 1);
}

TEST_F(WindowWeights, SinglePointWindowGivesThePointsRate) {
    FillWindowArrays(kel, NoCorrections(), compound, 11, 11, arrays);
    EXPECT_EQ(arrays.PrecursorRates[0], 1000);
    EXPECT_EQ(arrays.ProductRates[0], 1000);
    EXPECT_EQ(arrays.ProductCounts[0], 500);  // counts keep the half weight
}

TEST_F(WindowWeights, DeadTimeAppliesToEveryPointBeforeAveraging) {
    TCorrectionState state = NoCorrections();
    state.DeadTime = 1e-5;
    FillWindowArrays(kel, state, compound, 10, 11, arrays);
    double expected = (0.5 * DeadTimeCorrect(100, 1e-5) + DeadTimeCorrect(1000, 1e-5)) / 1.5;
    EXPECT_DOUBLE_EQ(arrays.PrecursorRates[0], expected);
}

TEST_F(WindowWeights, MissingChannelsGiveZeroAndStaleEntriesAreCleared) {
    arrays.PrecursorRates.fill(7);
    arrays.ProductRates.fill(7);
    TKrecord absent = Compound({{19, 2e-9, 1}}, {{61, 1}});
    FillWindowArrays(kel, NoCorrections(), absent, 10, 12, arrays);
    EXPECT_EQ(arrays.ProductRates[0], 0);
    EXPECT_EQ(arrays.ProductCounts[0], 0);
    EXPECT_EQ(arrays.PrecursorRates[1], 0);
    EXPECT_EQ(arrays.ProductRates[5], 0);
}

TWindowArrays DensityExample() {
    TWindowArrays a;
    a.PrecursorRates[0] = 1e6;
    a.RateCoefficients[0] = 2e-9;
    a.PrecursorWeights[0] = 1;
    a.ProductRates[0] = 1000;
    a.ProductWeights[0] = 1;
    return a;
}

TEST(Density, IntegratedRateEquation) {
    TDensityResult r = ComputeDensity(1, 1, DensityExample(), 1e-3);
    EXPECT_TRUE(r.Computed);
    EXPECT_DOUBLE_EQ(r.WeightedProductRate, 1000);
    EXPECT_NEAR(r.Density, 4.9975e8, 1e4);
    EXPECT_NEAR(r.Density, 499750166.5417666, 1e-3);  // ln(1 + 1e-3) / 2e-12
}

TEST(Density, LaterPrecursorsUseTheMeanCoefficient) {
    TWindowArrays a = DensityExample();
    a.PrecursorRates[1] = 5e5;
    a.RateCoefficients[1] = 4e-9;
    a.PrecursorWeights[1] = 0.5;
    // D = 2e-9 * 1e6 + 3e-9 * 5e5 * 0.5
    EXPECT_DOUBLE_EQ(ComputeDensity(2, 1, a, 1e-3).Density, std::log1p(2e-9 * 1000 / 2.75e-3) / 2e-12);
}

TEST(Density, NothingToComputeWithoutPrecursorOrLines) {
    TWindowArrays a = DensityExample();
    EXPECT_FALSE(ComputeDensity(0, 1, a, 1e-3).Computed);
    EXPECT_FALSE(ComputeDensity(1, 0, a, 1e-3).Computed);
    a.PrecursorRates[0] = 0;
    TDensityResult r = ComputeDensity(1, 1, a, 1e-3);
    EXPECT_FALSE(r.Computed);
    EXPECT_EQ(r.Density, 0);
    EXPECT_EQ(r.WeightedProductRate, 0);
}

TEST(Density, OnlyWeightsOfMinus100OrLessAreCoded) {
    TWindowArrays a = DensityExample();
    a.PrecursorRates[1] = 2e5;
    a.RateCoefficients[1] = 2e-9;
    a.PrecursorWeights[1] = 1;
    a.ProductWeights[0] = -99;  // an ordinary (negative) weight
    TDensityResult ordinary = ComputeDensity(2, 1, a, 1e-3);
    EXPECT_DOUBLE_EQ(ordinary.WeightedProductRate, -99000);
    EXPECT_EQ(ordinary.Density, 0);  // a negative density is no density
    a.ProductWeights[0] = -99.5;
    EXPECT_DOUBLE_EQ(ComputeDensity(2, 1, a, 1e-3).WeightedProductRate, -99500);
    a.ProductWeights[0] = -100.5;  // coded: -0.5 times P[last] / P[0]
    EXPECT_DOUBLE_EQ(ComputeDensity(2, 1, a, 1e-3).WeightedProductRate, -0.5 * 0.2 * 1000);
    a.ProductWeights[0] = -100;
    EXPECT_DOUBLE_EQ(ComputeDensity(2, 1, a, 1e-3).WeightedProductRate, 0);
}

TEST(Density, NoLogarithmMeansNoDensity) {
    TWindowArrays a = DensityExample();
    a.ProductWeights[0] = -2e3;  // k0 N / D = -2: ln(-1) is undefined
    TDensityResult r = ComputeDensity(1, 1, a, 1e-3);
    EXPECT_TRUE(r.Computed);
    EXPECT_EQ(r.Density, 0);
    a.PrecursorWeights[0] = 0;  // D = 0
    EXPECT_EQ(ComputeDensity(1, 1, a, 0).Density, 0);
}

TEST(Density, ZeroCoefficientOrTimeRaises) {
    TWindowArrays a = DensityExample();
    EXPECT_THROW(ComputeDensity(1, 1, a, 0), EZeroDivide);
    a.PrecursorRates[1] = 5e5;
    a.RateCoefficients[1] = 4e-9;
    a.PrecursorWeights[1] = 1;
    a.RateCoefficients[0] = 0;  // D stays positive through the second line
    EXPECT_THROW(ComputeDensity(2, 1, a, 1e-3), EInvalidOp);
}

TEST(Density, ToPpbAndMoles) {
    EXPECT_DOUBLE_EQ(DensityToPpb(3.28e16 * 1e-9, 1, 1), 1);
    EXPECT_DOUBLE_EQ(DensityToPpb(3.28e16, 10, 2), 5e9);
    EXPECT_THROW(DensityToPpb(1e9, 1, 0), EZeroDivide);
    EXPECT_THROW(DensityToPpb(0, 0, 0), EInvalidOp);
    EXPECT_EQ(AmountMol(5, 5, 100, 2, 1), 0);
    EXPECT_DOUBLE_EQ(AmountMol(0, 10, 760, 24.4, 1), 1e-8);  // (end - start), not the points
}

TEST(Density, CountingStatistics) {
    TWindowArrays a;
    a.ProductCounts = {100, 300, 50};
    a.ProductWeights = {1, 0.5, -1};
    EXPECT_DOUBLE_EQ(RelativePoissonError(a, 3), 0.05);  // S = 400
    EXPECT_DOUBLE_EQ(ProductCountSum(a, 3), 450);
    EXPECT_DOUBLE_EQ(ProductCountSum(a, 2), 400);
    EXPECT_EQ(RelativePoissonError(a, 0), 1);
}

TEST(ThreeBodyAssociation, MassThirtySevenCoefficientScalesWithPressureAndTemperature) {
    TKel kel = ChannelProfile({19, 37});
    kel.Tg = 300;
    kel.p = 0.7;
    TKrecord water = Compound({{19, 2e-9, 1}, {30, 3e-9, 1}}, {{37, 1}});
    TWindowArrays a;
    FillWindowArrays(kel, NoCorrections(), water, 0, 0, a);
    EXPECT_NEAR(a.RateCoefficients[0], 2e-9, 1e-20);
    EXPECT_EQ(a.RateCoefficients[1], 3e-9);
    kel.p = 1.4;
    FillWindowArrays(kel, NoCorrections(), water, 0, 0, a);
    EXPECT_NEAR(a.RateCoefficients[0], 4e-9, 1e-20);
    kel.Tg = 150;
    FillWindowArrays(kel, NoCorrections(), water, 0, 0, a);
    EXPECT_NEAR(a.RateCoefficients[0], 32e-9, 1e-19);

    TKrecord other = Compound({{19, 2e-9, 1}}, {{59, 1}, {37, 1}});
    FillWindowArrays(kel, NoCorrections(), other, 0, 0, a);
    EXPECT_EQ(a.RateCoefficients[0], 2e-9);

    kel.Tg = 0;
    EXPECT_THROW(FillWindowArrays(kel, NoCorrections(), water, 0, 0, a), EZeroDivide);
    kel.Tg = -10;  // a non-positive base counts as 0
    FillWindowArrays(kel, NoCorrections(), water, 0, 0, a);
    EXPECT_EQ(a.RateCoefficients[0], 0);
}

class SyntheticProfile : public ::testing::Test {
protected:
    SyntheticProfile() : kel(synth::MakeProfile(synth::DefaultOptions(7))) {
        library.LoadText(synth::DemoKineticsText());
        state = StartCorrectionRun(true, 0.02, kel);
    }
    TKel kel;
    TKbase library;
    TCorrectionState state;
};

TEST_F(SyntheticProfile, SeriesIsThePointByPointCalculation) {
    double t = ReactionTime(kel);
    for (int c = 0; c < library.Count(); ++c) {
        const TKrecord& compound = library.Compound(c);
        std::vector<double> series;
        ConcentrationSeries(kel, state, compound, series);
        ASSERT_EQ(series.size(), static_cast<std::size_t>(kel.njm));
        for (int i = 0; i < kel.njm; i += 17) {
            TWindowArrays a;
            FillWindowArrays(kel, state, compound, i, i, a);
            double density = ComputeDensity(compound.PrecursorCount, compound.ProductCount, a, t).Density;
            EXPECT_EQ(series[static_cast<std::size_t>(i)], DensityToPpb(density, FlowFactor(kel), kel.f1))
                << compound.Name << " at " << i;
        }
    }
}

// The demo compounds share precursor and product lines; reading a line once
// for all of them changes no value.
TEST_F(SyntheticProfile, SharedLinesChangeNoValue) {
    TLineRates shared(kel, 0);
    TWindowLines window(kel, 20, 80);
    for (int c = 0; c < library.Count(); ++c) {
        const TKrecord& compound = library.Compound(c);
        std::vector<double> own, fromShared;
        ConcentrationSeries(kel, state, compound, own);
        ConcentrationSeries(shared, state, compound, fromShared);
        EXPECT_EQ(own, fromShared) << compound.Name;

        TWindowArrays expected, actual;
        FillWindowArrays(kel, state, compound, 20, 80, expected);
        window.Fill(PlanWindow(kel, state, compound), actual);
        EXPECT_EQ(actual.PrecursorRates, expected.PrecursorRates) << compound.Name;
        EXPECT_EQ(actual.ProductRates, expected.ProductRates) << compound.Name;
        EXPECT_EQ(actual.ProductCounts, expected.ProductCounts) << compound.Name;
    }
}

TEST_F(SyntheticProfile, LinesOfAWindowSpanItsPoints) {
    EXPECT_EQ(TLineRates(kel, 0).Points(), static_cast<std::size_t>(kel.njm));
    EXPECT_EQ(TLineRates(kel, 30, 39).Points(), 10u);
    EXPECT_EQ(TLineRates(kel, 5, 4).Points(), 0u);
    EXPECT_EQ(TLineRates(kel, 0, -1).Points(), 0u);
}

TEST_F(SyntheticProfile, AFailingWindowLineFailsForEveryCompoundReadingIt) {
    kel.Cntm[1] = 0;  // m/z 19, every compound's precursor
    TWindowLines window(kel, 20, 80);
    TWindowArrays arrays;
    EXPECT_THROW(window.Fill(PlanWindow(kel, state, library.Compound(0)), arrays), EMathError);
    EXPECT_THROW(window.Fill(PlanWindow(kel, state, library.Compound(1)), arrays), EMathError);
}

TEST_F(SyntheticProfile, AcetoneComesOutInTheBreathRange) {
    std::vector<double> series;
    ConcentrationSeries(kel, state, library.Compound(2), series);
    ASSERT_EQ(library.Compound(2).Name, "acetone");
    double mean = 0;
    for (double x : series) mean += x / static_cast<double>(series.size());
    EXPECT_GT(mean, 1);
    EXPECT_LT(mean, 1e5);
}

TEST_F(SyntheticProfile, PpbSelectionNeedsEveryProductWithThePrecursor) {
    library.LoadText("no+ only\n1\n30 1e-9 1\n1\n59 1\nunmeasured\n1\n19 1e-9 1\n2\n59 1\n93 1\n");
    SelectCompoundsForPpb(library, kel);
    std::vector<std::string> selected;
    for (int i = 0; i < library.Count(); ++i)
        if (library.Compound(i).SelectCount > 0) selected.push_back(library.Compound(i).Name);
    // Not measured: m/z 43 (acetic acid, propanol), 18, 93, 35; pentane has
    // only an O2+ line, "no+ only" only NO+, "unmeasured" lacks m/z 93.
    EXPECT_EQ(selected, (std::vector<std::string>{"methanol", "acetaldehyde", "acetone", "isoprene", "ethanol",
                                                  "formaldehyde", "acetonitrile", "dimethyl sulfide", "benzene",
                                                  "butanone"}));
    kel.ion = "O2+";
    SelectCompoundsForPpb(library, kel);
    EXPECT_EQ(library.Compound(0).SelectCount, 0);  // methanol has no O2+ line
    EXPECT_GT(library.Compound(3).SelectCount, 0);  // isoprene has
}

TEST_F(SyntheticProfile, EmptyProfileGivesAnEmptySeriesAndRaisesNothing) {
    kel.njm = 0;
    kel.p = 0;
    std::vector<double> series{1, 2, 3};
    ConcentrationSeries(kel, state, library.Compound(0), series);
    EXPECT_TRUE(series.empty());
}

}  // namespace
}  // namespace kel
