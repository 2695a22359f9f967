#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <ctime>

#include "common/DateTime.h"
#include "support/TestSupport.h"

namespace kel {
namespace {

TEST(DateTime, EncodesDaysSinceTheEndOf1899) {
    EXPECT_DOUBLE_EQ(EncodeDateTime({1899, 12, 30, 0, 0, 0, 0}), 0.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime({1982, 2, 18, 0, 0, 0, 0}), 30000.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime({2036, 11, 21, 0, 0, 0, 0}), 50000.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime({2006, 10, 10, 12, 0, 0, 0}), 39000.5);
    EXPECT_DOUBLE_EQ(EncodeDateTime({1899, 12, 29, 6, 0, 0, 0}), -1.25);
}

TEST(DateTime, DecodesAfterRoundingToTheMillisecond) {
    DateTimeParts p = DecodeDateTime(39000.5);
    EXPECT_EQ(p.year, 2006);
    EXPECT_EQ(p.month, 10);
    EXPECT_EQ(p.day, 10);
    EXPECT_EQ(p.hour, 12);
    // One microsecond short of midnight rounds to the next day.
    p = DecodeDateTime(39001.0 - 1e-6 / 86400);
    EXPECT_EQ(p.day, 11);
    EXPECT_EQ(p.hour, 0);
    EXPECT_EQ(p.second, 0);
    // 11.4 s shows as 11 whole seconds.
    p = DecodeDateTime(EncodeDateTime({2020, 1, 2, 3, 4, 11, 400}));
    EXPECT_EQ(p.second, 11);
    EXPECT_EQ(p.millisecond, 400);
    p = DecodeDateTime(-1.25);
    EXPECT_EQ(p.day, 29);
    EXPECT_EQ(p.hour, 6);
}

TEST(DateTime, DosTimeStampsHaveTwoSecondSteps) {
    auto packed = PackDosDateTime({2024, 3, 5, 14, 7, 33, 0});
    ASSERT_TRUE(packed);
    auto back = UnpackDosDateTime(*packed);
    ASSERT_TRUE(back);
    EXPECT_DOUBLE_EQ(*back, EncodeDateTime({2024, 3, 5, 14, 7, 32, 0}));
    EXPECT_FALSE(PackDosDateTime({1979, 12, 31, 23, 59, 59, 0}));
    EXPECT_FALSE(PackDosDateTime({2108, 1, 1, 0, 0, 0, 0}));
    EXPECT_FALSE(UnpackDosDateTime(0));  // month 0 is no date
}

TEST(DateTime, FileDateIsLocalTimeRoundedDownToEvenSeconds) {
    test::ScratchDir dir;
    std::string path = dir.File("a.kel");
    test::WriteFileForTest(path, "x");
    // 2021-06-01 10:20:31 UTC; the tests run with TZ=UTC.
    test::SetFileTime(path, 1622542831);
    auto date = FileDateTime(path);
    ASSERT_TRUE(date);
    EXPECT_DOUBLE_EQ(*date, EncodeDateTime({2021, 6, 1, 10, 20, 30, 0}));
    EXPECT_FALSE(FileDateTime(dir.File("missing")));
    test::SetFileTime(path, 100);  // 1970 has no MS-DOS form
    EXPECT_FALSE(FileDateTime(path));
}

TEST(DateTime, NowIsCloseToTheSystemClock) {
    double now = NowDateTime();
    double expected = EncodeDateTime({1970, 1, 1, 0, 0, 0, 0}) + static_cast<double>(std::time(nullptr)) / 86400.0;
    EXPECT_NEAR(now, expected, 5.0 / 86400.0);
}

TEST(IsoDateTime, CalendarPartsWithMillisecondsOnlyWhenThereAreAny) {
    EXPECT_EQ(IsoDateTime(46000.4375), "2025-12-09T10:30:00");
    EXPECT_EQ(IsoDateTime(0), "1899-12-30T00:00:00");
    // Rounded to the millisecond first, as the other date texts are.
    EXPECT_EQ(IsoDateTime(EncodeDateTime({2024, 2, 29, 23, 59, 59, 250})), "2024-02-29T23:59:59.250");
    EXPECT_EQ(IsoDateTime(45000 + 0.9999999999), "2023-03-16T00:00:00");
    // Before the epoch the fraction still counts forward from midnight.
    EXPECT_EQ(IsoDateTime(-1.25), "1899-12-29T06:00:00");
}

TEST(IsoDateTime, NoTextForValuesNoCalendarHolds) {
    EXPECT_EQ(IsoDateTime(std::numeric_limits<double>::quiet_NaN()), "");
    EXPECT_EQ(IsoDateTime(std::numeric_limits<double>::infinity()), "");
    EXPECT_EQ(IsoDateTime(1e300), "");
    EXPECT_EQ(IsoDateTime(-1e300), "");
    EXPECT_EQ(IsoDateTime(2958465.5), "9999-12-31T12:00:00");
}

}  // namespace
}  // namespace kel
