#include "kinetics/Corrections.h"

#include <gtest/gtest.h>

#include <cmath>

#include "common/Errors.h"
#include "kinetics/FlowTube.h"

namespace kel {
namespace {

TEST(DeadTime, HyperbolicBelowHalfLinearAbove) {
    EXPECT_DOUBLE_EQ(DeadTimeCorrect(100000, 2e-6), 125000);  // d = 0.2
    EXPECT_DOUBLE_EQ(DeadTimeCorrect(300000, 2e-6), 660000);  // d = 0.6
    EXPECT_DOUBLE_EQ(DeadTimeCorrect(250000, 2e-6), 500000);  // d = 0.5: both branches give 2x
    EXPECT_EQ(DeadTimeCorrect(1234.5, 0), 1234.5);
    EXPECT_THROW(DeadTimeCorrect(1e308, 1), EOverflow);
}

TEST(CorrectionRun, FollowsTheCorrectButton) {
    TKel kel;
    TCorrectionState on = StartCorrectionRun(true, 0.035, kel);
    EXPECT_TRUE(on.Correct);
    EXPECT_DOUBLE_EQ(on.DeadTime, 0.035e-6);
    EXPECT_GT(kel.OutlierFilter, 0);
    EXPECT_EQ(on.OutlierFilter, kel.OutlierFilter);

    TCorrectionState off = StartCorrectionRun(false, 0.035, kel);
    EXPECT_FALSE(off.Correct);
    EXPECT_EQ(off.DeadTime, 0);
    EXPECT_EQ(off.OutlierFilter, 0);
    EXPECT_EQ(kel.OutlierFilter, 0);
}

// The empirical model: De200 = 1.2, Mr200 = 5, Df73 = 1.
TEST(EmpiricalModel, AnchorMasses) {
    auto factor = [](double m) { return MassDiscrimination(true, 1, m, 1.2, 5, 1); };
    EXPECT_DOUBLE_EQ(factor(200), 5 / 1.2);
    EXPECT_DOUBLE_EQ(factor(19), 1);
    EXPECT_DOUBLE_EQ(factor(73), 1);
    EXPECT_DOUBLE_EQ(factor(30), 1 + 4.0 / 32761 * 121);  // precursors: quadratic only
    EXPECT_DOUBLE_EQ(factor(37), 0.8741830065359476);
    EXPECT_DOUBLE_EQ(factor(55), 0.9699201964395334);
    EXPECT_DOUBLE_EQ(factor(72.6), 0.9907067012142456);  // rounds to the hydrate 73
    EXPECT_EQ(MassDiscrimination(false, 7.5, 200, 1.2, 5, 1), 7.5);
    EXPECT_DOUBLE_EQ(MassDiscriminationQuadratic(true, 2, 200, 5), 10);
    EXPECT_EQ(MassDiscriminationQuadratic(false, 2, 200, 5), 2);
}

TEST(DiffusionModel, CoefficientsOfTheLightIons) {
    EXPECT_EQ(IonDiffusionCoefficient(19), 421);
    EXPECT_EQ(IonDiffusionCoefficient(30.4), 416);
    EXPECT_EQ(IonDiffusionCoefficient(32), 409);
    EXPECT_EQ(IonDiffusionCoefficient(37), 307);
    EXPECT_EQ(IonDiffusionCoefficient(48), 326);
    EXPECT_EQ(IonDiffusionCoefficient(55), 239);
    EXPECT_EQ(IonDiffusionCoefficient(72.6), 202);
    EXPECT_DOUBLE_EQ(IonDiffusionCoefficient(383), 0);
    EXPECT_DOUBLE_EQ(IonDiffusionCoefficient(59), 140 * std::log(383.0 / 59));
    EXPECT_THROW(IonDiffusionCoefficient(0), EZeroDivide);
    EXPECT_THROW(IonDiffusionCoefficient(-5), EInvalidOp);
}

// A profile for the diffusion model: p = 0.7 Torr, reaction time 1 ms,
// area 18.7 cm2, so that a = 1e-3.
TKel DiffusionProfile() {
    TKel kel;
    kel.De200 = 0;
    kel.Mr200 = 5;
    kel.Df73 = 1;
    kel.p = 0.7;
    kel.fc = 0;
    kel.f7 = 0.001;
    kel.Aft = 18.7;
    return kel;
}

TEST(DiffusionModel, CorrectedValueOfTheStandardIons) {
    TKel kel = DiffusionProfile();
    TCorrectionState on;
    EXPECT_DOUBLE_EQ(CorrectedValue(kel, on, 1000, 19), 1000);  // f = 1 and no discrimination
    EXPECT_NEAR(CorrectedValue(kel, on, 1, 37), 1.0529266350726816, 1e-9);  // with the hydrate factor 1.1
    EXPECT_NEAR(CorrectedValue(kel, on, 1, 55), 1.1156018749844963, 1e-9);
    EXPECT_NEAR(CorrectedValue(kel, on, 1, 59), 1.064628268399406, 1e-9);
    EXPECT_NEAR(CorrectedValue(kel, on, 1, 100), 1.5179238040569731, 1e-9);
}

TEST(DiffusionModel, CorrectedValueIsTheComposedBuildingBlocks) {
    TKel kel = DiffusionProfile();
    TCorrectionState on;
    for (double m : {19.0, 30.0, 37.0, 42.0, 55.0, 72.6, 137.1}) {
        double x = 12345.678;
        double y = MassDiscriminationQuadratic(true, x, m, kel.Mr200);
        double expected = DiffusionCorrect(true, y, m, IonDiffusionCoefficient(m) / kel.p,
                                           IonDiffusionCoefficient(19) / kel.p, ReactionTime(kel) * 18.7 / kel.Aft);
        EXPECT_EQ(CorrectedValue(kel, on, x, m), expected) << m;
    }
    kel.De200 = 1.2;
    for (double m : {19.0, 37.0, 55.0, 73.0, 100.0, 200.0})
        EXPECT_EQ(CorrectedValue(kel, on, 77.7, m), MassDiscrimination(true, 77.7, m, 1.2, 5, 1)) << m;
}

TEST(DiffusionModel, NoTimeInTheTubeMeansNoDiffusionLoss) {
    TKel kel = DiffusionProfile();
    kel.f7 = 0;
    TCorrectionState on;
    EXPECT_DOUBLE_EQ(CorrectedValue(kel, on, 100, 59), 100 * (1 + 4.0 / 32761 * 40 * 40));
    EXPECT_DOUBLE_EQ(DiffusionCorrect(true, 100, 37, 300, 400, 0), 110);
}

TEST(Corrections, OffReturnsTheInputWithoutEvaluatingTheModels) {
    TKel kel = DiffusionProfile();
    kel.p = 0;
    kel.Aft = 0;
    TCorrectionState off;
    off.Correct = false;
    for (double m : {0.0, 19.0, 37.0, 100.0}) EXPECT_EQ(CorrectedValue(kel, off, 42.5, m), 42.5);
    kel.De200 = 1.2;
    EXPECT_EQ(CorrectedValue(kel, off, 42.5, 200), 42.5);
}

TEST(Corrections, ZeroDivisorsOfTheModelsRaise) {
    TCorrectionState on;
    TKel kel = DiffusionProfile();
    kel.p = 0;
    EXPECT_THROW(CorrectedValue(kel, on, 1, 19), EZeroDivide);
    kel = DiffusionProfile();
    kel.Aft = 0;
    EXPECT_THROW(CorrectedValue(kel, on, 1, 59), EZeroDivide);
    kel = DiffusionProfile();
    EXPECT_THROW(CorrectedValue(kel, on, 1, 0), EZeroDivide);  // a channel of mass 0
    try {
        CorrectedValue(kel, on, 1, 0);
    } catch (const EMathError& e) {
        EXPECT_STREQ(e.what(), "Floating point division by zero");
    }
    // The empirical divisor 1 + (De200 - 1) / 181 * (m - 19) is 0 here.
    kel.De200 = 75.0 / 256;
    EXPECT_THROW(CorrectedValue(kel, on, 1, 275), EZeroDivide);
}

}  // namespace
}  // namespace kel
