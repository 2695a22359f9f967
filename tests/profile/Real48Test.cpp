#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "common/Errors.h"
#include "profile/Real48.h"

namespace kel {
namespace {

Real48::Bytes BytesOf(double x) { return Real48(x).ToBytes(); }

TEST(Real48, StoresTheKnownByteForms) {
    EXPECT_EQ(BytesOf(0.5), (Real48::Bytes{0x80, 0, 0, 0, 0, 0}));
    EXPECT_EQ(BytesOf(2), (Real48::Bytes{0x82, 0, 0, 0, 0, 0}));
    EXPECT_EQ(BytesOf(70), (Real48::Bytes{0x87, 0, 0, 0, 0, 0x0C}));
    EXPECT_EQ(BytesOf(150), (Real48::Bytes{0x88, 0, 0, 0, 0, 0x16}));
    EXPECT_EQ(BytesOf(300), (Real48::Bytes{0x89, 0, 0, 0, 0, 0x16}));
    EXPECT_EQ(BytesOf(-2), (Real48::Bytes{0x82, 0, 0, 0, 0, 0x80}));
    EXPECT_EQ(BytesOf(0), (Real48::Bytes{}));
    EXPECT_DOUBLE_EQ(Real48::FromBytes({0x84, 0xF2, 0x22, 0x51, 0x2F, 0x51}), 13.074051987176063);
}

TEST(Real48, ZeroExponentMeansZeroWhateverTheOtherBytes) {
    EXPECT_EQ(Real48::FromBytes({0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}).ToDouble(), 0.0);
}

TEST(Real48, RoundTripsEveryValueItCanHold) {
    for (double v : {1.0, -1.0, 0.1, 1e-30, 3.14159, 1e38, 12345.678, Real48::kMax, Real48::kMinPositive}) {
        double stored = Real48(v);
        EXPECT_EQ(static_cast<double>(Real48(stored)), stored) << v;
        EXPECT_NEAR(stored, v, std::fabs(v) * 0x1p-40) << v;
    }
    EXPECT_EQ(static_cast<double>(Real48(Real48::kMax)), Real48::kMax);
    EXPECT_EQ(static_cast<double>(Real48(Real48::kMinPositive)), Real48::kMinPositive);
}

TEST(Real48, RoundsToFortyBitsWithTiesAwayFromZero) {
    EXPECT_EQ(static_cast<double>(Real48(1 + 0x1p-40)), 1 + 0x1p-39);   // tie, away from zero
    EXPECT_EQ(static_cast<double>(Real48(-1 - 0x1p-40)), -1 - 0x1p-39);
    EXPECT_EQ(static_cast<double>(Real48(1 + 0x1p-41)), 1.0);           // below the tie
    EXPECT_EQ(static_cast<double>(Real48(2 - 0x1p-41)), 2.0);           // carry raises the exponent
    EXPECT_EQ(BytesOf(2 - 0x1p-41), (Real48::Bytes{0x82, 0, 0, 0, 0, 0}));
}

TEST(Real48, OverflowIsAnErrorAndTinyValuesBecomeZero) {
    EXPECT_THROW(Real48(1.7015e38), EOverflow);
    EXPECT_THROW(Real48(-1e39), EOverflow);
    EXPECT_THROW(Real48(std::numeric_limits<double>::infinity()), EOverflow);
    EXPECT_THROW(Real48(std::numeric_limits<double>::quiet_NaN()), EInvalidOp);
    EXPECT_EQ(static_cast<double>(Real48(2.9e-39)), 0.0);
    EXPECT_EQ(static_cast<double>(Real48(-1e-300)), 0.0);
    EXPECT_EQ(static_cast<double>(Real48(std::numeric_limits<double>::denorm_min())), 0.0);
    // Just below the smallest value rounds up to it.
    EXPECT_EQ(static_cast<double>(Real48(Real48::kMinPositive * (1 - 0x1p-45))), Real48::kMinPositive);
}

TEST(Real48, AssignmentRounds) {
    Real48 r;
    r = 0.1;
    EXPECT_NE(static_cast<double>(r), 0.1);
    EXPECT_NEAR(static_cast<double>(r), 0.1, 1e-12);
}

}  // namespace
}  // namespace kel
