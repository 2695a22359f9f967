#pragma once
// The arithmetic of the graph's scales: decimal logarithms with the graph's
// own ln 10, tick steps and the roundings the transforms use.
#include <cstdint>

namespace kel {

// ln 10 cut after twelve decimals; every logarithm and power of ten of the
// graph uses it, so scales, ticks and fitted ranges agree with each other.
inline constexpr double kGraphLn10 = 2.302585092994;

// ln(x) / kGraphLn10; NaN or an infinity for x <= 0.
double Log10(double x);

// exp(kGraphLn10 * x); an infinity when it overflows.
double Pow10(double x);

struct TNiceStep {
    double step;  // 1, 2 or 5 times a power of ten
    int digit;    // that leading 1, 2 or 5
};

// For a finite x > 0: x rounded to two significant digits d.e x 10^k, then
// d becomes 1 (d <= 1), 2 (d 2 or 3) or 5 (d >= 4) and e becomes 0.
TNiceStep NiceStep(double x);

// The integer part of x for x >= 0, one less than it for x < 0 (-2.0 gives -3);
// x must lie within +-9e15.
std::int64_t FloorDown(double x);

// x rounded to the nearest integer, halves to the even one.
double RoundHalfEven(double x);

// Every pixel the graph computes lies within +-kPixelLimit.
inline constexpr std::int32_t kPixelLimit = 10000;

// v clamped to +-kPixelLimit and rounded halves to even; kPixelLimit for a
// NaN or an infinity, which lies far outside any plot.
std::int32_t PixelOf(double v);

}  // namespace kel
