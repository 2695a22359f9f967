#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include "common/Errors.h"
#include "common/NumberText.h"

namespace kel {
namespace {

TEST(FormatFixed, WritesExactlyTheAskedDecimalsWithAPoint) {
    EXPECT_EQ(FormatFixed(0.5, 1, 3), "0.500");
    EXPECT_EQ(FormatFixed(150, 1, 5), "150.00000");
    EXPECT_EQ(FormatFixed(-2.5, 1, 2), "-2.50");
    EXPECT_EQ(FormatFixed(7, 1, 0), "7");
    EXPECT_EQ(FormatFixed(1234567.891, 1, 1), "1234567.9");
}

TEST(FormatFixed, PadsOnTheLeftToWidthAndCutsAtTwentyCharacters) {
    EXPECT_EQ(FormatFixed(3, 6, 1), "   3.0");
    EXPECT_EQ(FormatFixed(-3, 6, 1), "  -3.0");
    EXPECT_EQ(FormatFixed(12345.678, 3, 2), "12345.68");
    std::string longText = FormatFixed(123456789.0, 1, 15);
    EXPECT_EQ(longText.size(), 20u);
    EXPECT_EQ(longText, "123456789.0000000000");
}

TEST(FormatFixed, RoundsExactTiesAwayFromZero) {
    EXPECT_EQ(FormatFixed(12.5, 1, 0), "13");
    EXPECT_EQ(FormatFixed(0.125, 1, 2), "0.13");
    EXPECT_EQ(FormatFixed(-0.125, 1, 2), "-0.13");
    EXPECT_EQ(FormatFixed(2.5, 1, 0), "3");
    EXPECT_EQ(FormatFixed(0.5, 1, 0), "1");
    // 0.15 is stored just below 0.15, so its exact value rounds down.
    EXPECT_EQ(FormatFixed(0.15, 1, 1), "0.1");
    // 1.005 is stored below 1.005: no tie.
    EXPECT_EQ(FormatFixed(1.005, 1, 2), "1.00");
    EXPECT_EQ(FormatFixed(9.995, 1, 2), "9.99");
    EXPECT_EQ(FormatFixed(99.5, 1, 0), "100");
    EXPECT_EQ(FormatFixed(0.96875, 1, 4), "0.9688");
}

std::string GlibcFixed(double x, int decimals) {
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, x);
    return buf;
}

// True when x (>= 1e-12, so its whole expansion has fewer than 120
// decimals) lies exactly halfway at the given decimals.
bool IsTie(double x, int decimals) {
    std::string wide = GlibcFixed(x, decimals + 120);
    std::string tail = wide.substr(wide.size() - 120);
    return tail == "5" + std::string(119, '0');
}

// Away from exact ties the C library rounds the exact binary value to
// nearest, as we must; across magnitudes and decimal counts the texts agree.
TEST(FormatFixed, AgreesWithTheExactExpansionAwayFromTies) {
    std::mt19937_64 random(20261209);
    std::uniform_real_distribution<double> exponent(-12, 17);
    for (int i = 0; i < 200000; ++i) {
        double x = std::pow(10.0, exponent(random));
        int decimals = static_cast<int>(random() % 18);
        if (IsTie(x, decimals)) continue;
        std::string expected = GlibcFixed(x, decimals);
        ASSERT_EQ(FormatFixed(x, 0, decimals), expected.size() > 20 ? expected.substr(0, 20) : expected)
            << x << " with " << decimals;
    }
    // Values just beside a half, where a rounded product would mislead.
    for (double x : {0.05, 0.15, 0.25000000000000006, 1.0049999999999999, 2.675, std::nextafter(1e15 + 0.5, 0.0),
                     std::nextafter(1e15 + 0.5, 2e15), std::nextafter(0.125, 0.0), std::nextafter(0.125, 1.0)})
        for (int decimals = 0; decimals < 4; ++decimals) {
            if (IsTie(x, decimals)) continue;
            EXPECT_EQ(FormatFixed(x, 0, decimals), GlibcFixed(x, decimals)) << x << " with " << decimals;
        }
}

// x = M * 2^-(d + 1) with M odd is an exact tie at d decimals: it goes up to
// (M * 5^d + 1) / 2 units.
TEST(FormatFixed, EveryExactTieGoesAwayFromZero) {
    std::mt19937_64 random(7);
    for (int decimals = 0; decimals <= 6; ++decimals) {
        std::uint64_t five = 1;
        for (int k = 0; k < decimals; ++k) five *= 5;
        for (int i = 0; i < 2000; ++i) {
            std::uint64_t m = (random() % (1ULL << 36)) | 1;
            double x = std::ldexp(static_cast<double>(m), -(decimals + 1));
            std::string units = std::to_string((m * five + 1) / 2);
            if (decimals > 0) {
                if (units.size() <= static_cast<std::size_t>(decimals))
                    units.insert(0, static_cast<std::size_t>(decimals) + 1 - units.size(), '0');
                units.insert(units.size() - static_cast<std::size_t>(decimals), ".");
            }
            ASSERT_EQ(FormatFixed(x, 0, decimals), units) << x << " with " << decimals;
            ASSERT_EQ(FormatFixed(-x, 0, decimals), "-" + units) << x << " with " << decimals;
        }
    }
}

TEST(FormatFixed, SignOfZero) {
    EXPECT_EQ(FormatFixed(-0.001, 1, 2), "-0.00");
    EXPECT_EQ(FormatFixed(-0.0, 1, 2), "0.00");
    EXPECT_EQ(FormatFixed(0.0, 1, 0), "0");
}

TEST(FormatFixed, RefusesNonFiniteValues) {
    EXPECT_THROW(FormatFixed(std::numeric_limits<double>::quiet_NaN(), 1, 2), EInvalidOp);
    EXPECT_THROW(FormatFixed(std::numeric_limits<double>::infinity(), 1, 2), EOverflow);
}

TEST(FormatScientific23, MatchesTheWorksheetForm) {
    EXPECT_EQ(FormatScientific23(0.5), " 5.00000000000000E-0001");
    EXPECT_EQ(FormatScientific23(150), " 1.50000000000000E+0002");
    EXPECT_EQ(FormatScientific23(0), " 0.00000000000000E+0000");
    EXPECT_EQ(FormatScientific23(-0.0), " 0.00000000000000E+0000");
    EXPECT_EQ(FormatScientific23(-39000.5), "-3.90005000000000E+0004");
    EXPECT_EQ(FormatScientific23(1.7014118346031449e38), " 1.70141183460314E+0038");
    EXPECT_EQ(FormatScientific23(2.938735877055719e-39), " 2.93873587705572E-0039");
    EXPECT_EQ(FormatScientific23(13.074051987176063), " 1.30740519871761E+0001");
    for (double v : {0.5, -1e-300, 123.456, 9.99999999999999999e99})
        EXPECT_EQ(FormatScientific23(v).size(), 23u) << v;
}

TEST(FormatScientific23, CarryIntoTheNextDecadeRenormalises) {
    EXPECT_EQ(FormatScientific23(9.999999999999999), " 1.00000000000000E+0001");
    EXPECT_EQ(FormatScientific23(0.99999999999999999), " 1.00000000000000E+0000");
}

TEST(FormatGeneral, ShortestFormUpToFifteenDigits) {
    EXPECT_EQ(FormatGeneral(2.5e-8), "2.5E-8");
    EXPECT_EQ(FormatGeneral(3e-8), "3E-8");
    EXPECT_EQ(FormatGeneral(350), "350");
    EXPECT_EQ(FormatGeneral(0.1), "0.1");
    EXPECT_EQ(FormatGeneral(-12.25), "-12.25");
    EXPECT_EQ(FormatGeneral(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(FormatGeneral(1e15), "1E15");
    EXPECT_EQ(FormatGeneral(0), "0");
}

TEST(TextToInt, LeadingBlanksOnly) {
    EXPECT_EQ(TextToInt("42"), 42);
    EXPECT_EQ(TextToInt("  -7"), -7);
    EXPECT_EQ(TextToInt("+3"), 3);
    EXPECT_EQ(TextToInt("-2147483648"), -2147483648);
    for (const char* bad : {"", " ", "4 ", "4.0", "0x10", "2147483648", "--1", "1e3"})
        EXPECT_THROW(TextToInt(bad), EConvertError) << bad;
    EXPECT_EQ(TextToIntDef("x", -1), -1);
}

TEST(TextToFloat, DecimalPointAndBlanksAround) {
    EXPECT_DOUBLE_EQ(TextToFloat(" 1.5 "), 1.5);
    EXPECT_DOUBLE_EQ(TextToFloat("-2.5e-9"), -2.5e-9);
    EXPECT_DOUBLE_EQ(TextToFloat(".5"), 0.5);
    EXPECT_DOUBLE_EQ(TextToFloat("5."), 5.0);
    EXPECT_DOUBLE_EQ(TextToFloat("+1E3"), 1000.0);
    for (const char* bad : {"", "  ", "1,5", "inf", "nan", "1.2.3", "1e", "--1", "+-1", "1 2", "1e999"})
        EXPECT_THROW(TextToFloat(bad), EConvertError) << bad;
    EXPECT_DOUBLE_EQ(TextToFloatDef("x", 13.0), 13.0);
}

TEST(ParseNumber, KeepsDigitsAndPointsOfARowName) {
    EXPECT_DOUBLE_EQ(ParseNumber("19"), 19.0);
    EXPECT_DOUBLE_EQ(ParseNumber("37.02"), 37.02);
    EXPECT_DOUBLE_EQ(ParseNumber(""), 0.0);
    EXPECT_DOUBLE_EQ(ParseNumber("m/z 59"), 59.0);
    EXPECT_DOUBLE_EQ(ParseNumber("p Torr"), 0.0);
    EXPECT_DOUBLE_EQ(ParseNumber("-5"), 5.0);
    EXPECT_THROW(ParseNumber("1.2.3"), EConvertError);
}

}  // namespace
}  // namespace kel

namespace kel {
namespace {

TEST(FormatPattern, FixedPictures) {
    EXPECT_EQ(FormatPattern("0.000", 300), "300.000");
    EXPECT_EQ(FormatPattern("0.000000", 0.7), "0.700000");
    EXPECT_EQ(FormatPattern("0.0", 0.05), "0.1");
    EXPECT_EQ(FormatPattern("0.0", 2.25), "2.3");  // 2.25 is exact: a tie
    EXPECT_EQ(FormatPattern("0", 1234.5), "1235");
    EXPECT_EQ(FormatPattern("0", -0.4), "-0");
    EXPECT_EQ(FormatPattern("0.00", -1.005), "-1.00");
    EXPECT_EQ(FormatPattern("0.0", 0), "0.0");
}

TEST(FormatPattern, ExponentPictures) {
    EXPECT_EQ(FormatPattern("0.00e-00", 5e-8), "5.00e-08");
    EXPECT_EQ(FormatPattern("0.00e-00", 0.00123), "1.23e-03");
    EXPECT_EQ(FormatPattern("0.00e-00", 12), "1.20e01");
    EXPECT_EQ(FormatPattern("0.00e-00", 0), "0.00e00");
    EXPECT_EQ(FormatPattern("0.0e-0", 0), "0.0e0");
    EXPECT_EQ(FormatPattern("0.0e-0", 3.26e-11), "3.3e-11");
    EXPECT_EQ(FormatPattern("0.0e-0", 1.25), "1.3e0");  // exact tie
    EXPECT_EQ(FormatPattern("0.0e-0", -9.96e5), "-1.0e6");
    EXPECT_EQ(FormatPattern("0.0e+0", 2e3), "2.0e+3");
}

}  // namespace
}  // namespace kel

#include "common/SafeMath.h"

namespace kel {
namespace {

TEST(SafeMath, GuardedExponentialAndPower) {
    EXPECT_DOUBLE_EQ(SafeExp(43.9), std::exp(43.9));
    EXPECT_DOUBLE_EQ(SafeExp(50), std::exp(44.0));
    EXPECT_EQ(SafeExp(-50), 0.0);
    EXPECT_DOUBLE_EQ(SafePower(2, 3), 8.0);
    EXPECT_EQ(SafePower(0, 3), 0.0);
    EXPECT_EQ(SafePower(-2, 2), 0.0);
}

TEST(SafeMath, RoundHalfEven) {
    EXPECT_EQ(RoundHalfEvenToInt(2.5), 2);
    EXPECT_EQ(RoundHalfEvenToInt(3.5), 4);
    EXPECT_EQ(RoundHalfEvenToInt(-2.5), -2);
    EXPECT_EQ(RoundHalfEvenToInt(-2.6), -3);
    EXPECT_EQ(RoundHalfEvenToInt(7.4999), 7);
    EXPECT_EQ(RoundHalfEvenToInt(1e300), 2147483647);
    EXPECT_EQ(RoundHalfEvenToInt(std::nan("")), 0);
}

}  // namespace
}  // namespace kel

#include <cstdio>
#include <random>

namespace kel {
namespace {

// The exact decimal expansion rounded by hand, half away from zero.
std::string ReferenceFixed(double x, int digits) {
    std::vector<char> buf(1500);
    std::snprintf(buf.data(), buf.size(), "%.1100f", x);
    std::string exact = buf.data();
    std::size_t point = exact.find('.');
    std::string head = exact.substr(0, point + 1 + static_cast<std::size_t>(digits));
    if (digits == 0) head.pop_back();
    if (exact[point + 1 + static_cast<std::size_t>(digits)] >= '5') {
        std::size_t i = head.size();
        while (i-- > 0) {
            if (head[i] == '.') continue;
            if (head[i] != '9') {
                ++head[i];
                break;
            }
            head[i] = '0';
            if (i == 0) head.insert(head.begin(), '1');
        }
    }
    return head;
}

TEST(RoundedPrintf, FixedAgreesWithTheExactExpansion) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int n = 0; n < 20000; ++n) {
        int digits = static_cast<int>(random() % 8);
        double x = std::ldexp(unit(random), static_cast<int>(random() % 60) - 30);
        if (n % 3 == 0) x = std::round(x * 1000) / 1000;   // short decimals
        if (n % 5 == 0) x = std::ldexp(std::round(std::ldexp(x, 6)), -6);  // exact binary fractions: ties
        ASSERT_EQ(RoundedPrintf(x, digits, 'f'), ReferenceFixed(x, digits)) << x << " " << digits;
    }
    for (double tie : {0.5, 1.5, 2.5, 0.125, 0.375, 9.5, 99.5, 999.9995, 1e15 + 0.5})
        for (int digits = 0; digits < 5; ++digits)
            EXPECT_EQ(RoundedPrintf(tie, digits, 'f'), ReferenceFixed(tie, digits)) << tie << " " << digits;
    EXPECT_EQ(RoundedPrintf(1e300, 2, 'f'), ReferenceFixed(1e300, 2));  // beyond the quick path
}

}  // namespace
}  // namespace kel
