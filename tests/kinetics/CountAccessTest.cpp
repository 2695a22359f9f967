#include "kinetics/CountAccess.h"

#include <gtest/gtest.h>

#include "common/Errors.h"
#include "kinetics/FlowTube.h"
#include "kinetics/RateText.h"
#include "KineticsFixtures.h"

namespace kel {
namespace {

using test::ChannelProfile;

TEST(CountAccess, SlotsFollowTheRing) {
    TKel kel = ChannelProfile({19});
    kel.jm = 450;
    EXPECT_EQ(SlotOfPoint(kel, 0), 450 % 201);
    EXPECT_EQ(SlotOfPoint(kel, 200), (200 + 450) % 201);
    kel.njm = 0;
    EXPECT_EQ(SlotOfPoint(kel, 3), -1);
}

TEST(CountAccess, OutOfRangeChannelsAndSlotsReadZero) {
    TKel kel = ChannelProfile({19, 37});
    kel.Counts[3][5] = 77;
    kel.nim = 27;
    kel.Counts[27][5] = 99;  // beyond nim
    EXPECT_EQ(RawCountAt(kel, 1, 5), 77);
    EXPECT_EQ(CountAt(kel, 1, 5), 77.0);
    EXPECT_EQ(RawCountAt(kel, -1, 5), 0);
    EXPECT_EQ(RawCountAt(kel, 13, 5), 0);
    EXPECT_EQ(CountAt(kel, 13, 5), 0);
    EXPECT_EQ(RawCountAt(kel, 1, -1), 0);
    EXPECT_EQ(RawCountAt(kel, 1, 201), 0);
    EXPECT_EQ(RateAt(kel, -1, 5), 0);
    EXPECT_EQ(RateAt(kel, 13, 5), 0);
    EXPECT_EQ(RateAt(kel, 1000, 5), 0);
}

TEST(CountAccess, RateIsCountsPerSecondOfDwell) {
    TKel kel = ChannelProfile({19});
    kel.Counts[1][7] = 300;
    kel.Cntm[1] = 250;  // half a second at 500 ticks/s
    EXPECT_DOUBLE_EQ(RateAt(kel, 0, 7), 600);
    kel.Cntm[1] = 0;
    EXPECT_THROW(RateAt(kel, 0, 7), EZeroDivide);
    kel.Counts[1][7] = 0;
    EXPECT_THROW(RateAt(kel, 0, 7), EInvalidOp);
}

class OutlierFilter : public ::testing::Test {
protected:
    OutlierFilter() : kel(ChannelProfile({19})) {
        kel.jm = 1000;
        kel.OutlierFilter = 524288;
    }
    double Filtered(double power, int a, int x, int b, int slot = 50) {
        kel.OutlierPower = power;
        kel.Counts[1][static_cast<std::size_t>(slot - 1)] = a;
        kel.Counts[1][static_cast<std::size_t>(slot)] = x;
        kel.Counts[1][static_cast<std::size_t>(slot + 1)] = b;
        return CountAt(kel, 0, slot);
    }
    TKel kel;
};

TEST_F(OutlierFilter, HighCountsLoseSpikesAndWithPositivePowerDips) {
    EXPECT_EQ(Filtered(3, 100, 200, 100), 100);
    EXPECT_EQ(Filtered(3, 100, 130, 100), 130);  // exactly m + 3e stays
    EXPECT_EQ(Filtered(3, 100, 131, 100), 100);
    EXPECT_EQ(Filtered(3, 100, 60, 100), 100);
    EXPECT_EQ(Filtered(-3, 100, 60, 100), 60);
    EXPECT_EQ(Filtered(-3, 100, 200, 100), 100);
    // The neighbours' spread widens the band: m = 100, e = 10 + 20.
    EXPECT_EQ(Filtered(3, 80, 185, 120), 185);
    EXPECT_EQ(Filtered(3, 80, 191, 120), 100);
}

TEST_F(OutlierFilter, LowCountsReplaceZerosAndSmooth) {
    EXPECT_EQ(Filtered(3, 4, 0, 6), 0);
    EXPECT_EQ(Filtered(3, 4, 9, 6), 9);
    EXPECT_EQ(Filtered(1.8, 4, 0, 6), 5);
    EXPECT_EQ(Filtered(1.8, 4, 9, 6), 9);
    EXPECT_EQ(Filtered(1, 4, 9, 6), 7);
    EXPECT_EQ(Filtered(1, 4, 0, 6), 5);
    EXPECT_EQ(Filtered(-1, 4, 9, 6), 7);
    EXPECT_EQ(Filtered(1, 20, 40, 30), 32.5);  // m = 25 is still low
}

TEST_F(OutlierFilter, RingEndsAndTheLatestSlotsStayRaw) {
    kel.OutlierPower = 1;
    kel.Counts[1][1] = 4;
    kel.Counts[1][0] = 9;
    kel.Counts[1][200] = 9;
    kel.Counts[1][199] = 4;
    EXPECT_EQ(CountAt(kel, 0, 0), 9);
    EXPECT_EQ(CountAt(kel, 0, 200), 9);
    kel.jm = 52;
    EXPECT_EQ(Filtered(1, 4, 9, 6, 50), 9);  // s = jm - 2
    EXPECT_EQ(Filtered(1, 4, 9, 6, 49), 7);
    kel.OutlierFilter = 0;
    EXPECT_EQ(Filtered(1, 4, 9, 6, 49), 9);
    EXPECT_EQ(RawCountAt(kel, 0, 49), 9);
}

TEST(ChannelLookup, HighestMatchingChannelWins) {
    TKel kel = ChannelProfile({19, 37, 59.2, 58.9, 69});
    EXPECT_EQ(IonIndexOfMass(kel, 59), 3);
    EXPECT_EQ(IonIndexOfMass(kel, 59.6), 2);
    EXPECT_EQ(IonIndexOfMass(kel, 19.5), -1);  // the distance must be below 0.5
    EXPECT_EQ(IonIndexOfMass(kel, 100), -1);
    kel.nim = 7;  // channels 0..2 only
    EXPECT_EQ(IonIndexOfMass(kel, 59), 2);
    EXPECT_EQ(IonIndexOfMass(kel, 69), -1);
}

TEST(ChannelLookup, AuxRowsAreFoundByNameFromTheTop) {
    TKel kel = ChannelProfile({19});
    kel.Name[18] = "p Torr";
    kel.Name[22] = "T(gas)";
    kel.Name[26] = "p2 Torr";
    kel.Name[16] = "Id pA";
    EXPECT_EQ(AuxRowOfName(kel, "Torr"), 26);
    EXPECT_EQ(AuxRowOfName(kel, "p Torr"), 18);
    EXPECT_EQ(AuxRowOfName(kel, "T("), 22);
    EXPECT_EQ(AuxRowOfName(kel, "torr"), -1);
    EXPECT_EQ(AuxRowOfName(kel, "Id"), -1);  // row 16 is not an auxiliary row
}

TEST(FlowTube, ComputedFromFlowsOrTakenFromTheRecord) {
    TKel kel;
    kel.fc = 150;
    kel.f1 = 12.5;
    kel.p = 0.72;
    kel.Tg = 300;
    kel.Aft = 13;
    kel.lr = 70;
    double flow = (kel.fc + kel.f1) / kel.p * kel.Tg / 293.15;
    EXPECT_DOUBLE_EQ(FlowFactor(kel), flow);
    EXPECT_NEAR(FlowFactor(kel), 230.968, 0.001);
    EXPECT_DOUBLE_EQ(ReactionTime(kel), 70 / (flow * 1000 / 13) / 1.5);
    kel.Aft = 0;
    EXPECT_THROW(ReactionTime(kel), EZeroDivide);
    kel.Aft = 13;
    kel.f1 = -150;  // no net flow: the gas never reaches the end of the tube
    EXPECT_THROW(ReactionTime(kel), EZeroDivide);
    kel.f1 = 12.5;
    kel.p = 0;
    EXPECT_THROW(FlowFactor(kel), EZeroDivide);

    kel.fc = 0;
    kel.f7 = 0.125;
    kel.f8 = 2.5;
    EXPECT_EQ(ReactionTime(kel), 0.125);
    EXPECT_EQ(FlowFactor(kel), 2.5);
}

TEST(FlowTube, PrecursorCodeComparesTheWholeTextIgnoringCase) {
    TKel kel;
    auto code = [&](const char* ion) {
        kel.ion = ion;
        return PrecursorCode(kel);
    };
    EXPECT_EQ(code("H3O+"), 19);
    EXPECT_EQ(code("h3o+"), 19);
    EXPECT_EQ(code("no+"), 30);
    EXPECT_EQ(code("O2+"), 32);
    EXPECT_EQ(code("H3O+ "), 0);
    EXPECT_EQ(code("H3O"), 0);
    EXPECT_EQ(code(""), 0);
}

TEST(FlowTube, CycleTimeSumsTheDwellsInUse) {
    TKel kel = ChannelProfile({19});
    kel.nim = 3;
    kel.Cntm[0] = 100;
    kel.Cntm[1] = 250;
    kel.Cntm[2] = 150;
    kel.Cntm[3] = 9999;  // not in use
    EXPECT_DOUBLE_EQ(CycleTime(kel), 1.0);
    kel.FScan = 0;
    EXPECT_THROW(CycleTime(kel), EZeroDivide);
}

TEST(RateText, RatesAndConcentrations) {
    EXPECT_EQ(FormatRate(0), " n.a. ");
    EXPECT_EQ(FormatRate(-5), " n.a. ");
    EXPECT_EQ(FormatRate(1.25), "  1.25");
    EXPECT_EQ(FormatRate(1.995), "  2.00");
    EXPECT_EQ(FormatRate(15), "  15.0");
    EXPECT_EQ(FormatRate(20), "    20");
    EXPECT_EQ(FormatRate(1234567.5), "1234568");
    EXPECT_EQ(FormatConcentration(5, 12346), "12.35 ppm");
    EXPECT_EQ(FormatConcentration(5, 2e7), " 2.00 %");
    EXPECT_EQ(FormatConcentration(5, 12.5), "   13 ppb");
    EXPECT_EQ(FormatConcentration(1, -3), "0 ppb");
    EXPECT_EQ(FormatConcentration(1, 9999.4), "9999 ppb");
    EXPECT_EQ(FormatConcentration(1, 999999), "1000.00 ppm");
}

}  // namespace
}  // namespace kel
