#include <gtest/gtest.h>

#include "common/DateTime.h"
#include "common/Errors.h"
#include "profile/Kel.h"

namespace kel {
namespace {

TEST(TKel, ConstructorDefaults) {
    double before = NowDateTime();
    TKel kel;
    EXPECT_EQ(kel.nim, 0);
    EXPECT_EQ(kel.FScan, 500);
    EXPECT_EQ(kel.OutlierPower, 3.0);
    EXPECT_GE(kel.ProfileDate, before - 1e-6);
    EXPECT_EQ(kel.Name.size(), 29u);
    EXPECT_EQ(kel.Counts.size(), 29u);
    EXPECT_EQ(kel.Counts[28].size(), 201u);
    EXPECT_EQ(kel.Times.size(), 201u);
    EXPECT_EQ(static_cast<double>(kel.p), 0.0);
}

TEST(TKel, DetailsHoldNoArrays) {
    TKelDetails details;
    EXPECT_TRUE(details.Counts.empty());
    EXPECT_TRUE(details.Name.empty());
    EXPECT_TRUE(details.IonMass.empty());
    EXPECT_TRUE(details.Times.empty());
}

TEST(SetArrays, KeepsAtLeast29RowsAnd201Slots) {
    TKel kel;
    kel.SetArrays(5, 10);
    EXPECT_EQ(kel.Dam.size(), 29u);
    EXPECT_EQ(kel.Counts[0].size(), 201u);
    kel.SetArrays(40, 500);
    EXPECT_EQ(kel.Name.size(), 41u);
    EXPECT_EQ(kel.IonMass.size(), 41u);
    EXPECT_EQ(kel.Counts.size(), 41u);
    EXPECT_EQ(kel.Counts[40].size(), 501u);
    EXPECT_EQ(kel.Times.size(), 501u);
}

TEST(SetArrays, LeavesEarlierContentsInPlace) {
    TKel kel;
    kel.Counts[3][7] = 99;
    kel.Name[5] = "45";
    kel.SetArrays(28, 200);
    EXPECT_EQ(kel.Counts[3][7], 99);
    EXPECT_EQ(kel.Name[5], "45");
    kel.SetArrays(30, 300);
    EXPECT_EQ(kel.Counts[3][7], 99);
    EXPECT_EQ(kel.Counts[30][300], 0);
}

TEST(UpdateIonMasses, ParsesTheOddRowsOfTheRowsInUse) {
    TKel kel;
    for (int r = 0; r < 29; ++r) kel.Name[static_cast<std::size_t>(r)] = std::to_string(100 + r);
    kel.nim = 29;
    kel.UpdateIonMasses();
    for (int k = 0; k < 14; ++k) EXPECT_EQ(kel.IonMass[static_cast<std::size_t>(k)], 101 + 2 * k) << k;
    EXPECT_EQ(kel.IonMass[14], 0.0);

    TKel none;
    none.Name[1] = "19";
    none.nim = 0;
    none.UpdateIonMasses();
    EXPECT_EQ(none.IonMass[0], 0.0);

    TKel bad;
    bad.nim = 2;
    bad.Name[1] = "1.2.3";
    EXPECT_THROW(bad.UpdateIonMasses(), EConvertError);
}

}  // namespace
}  // namespace kel
