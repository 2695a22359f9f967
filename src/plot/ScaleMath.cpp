#include "plot/ScaleMath.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "common/NumberText.h"

namespace kel {

double Log10(double x) { return std::log(x) / kGraphLn10; }

double Pow10(double x) { return std::exp(kGraphLn10 * x); }

namespace {

// The step of a leading digit and decimal exponent, read from its decimal
// text so that it is the double nearest to digit x 10^exponent.
TNiceStep StepOf(int digit, int exponent) {
    const std::string text = std::to_string(digit) + 'e' + std::to_string(exponent);
    // strtod, not stod: a subnormal step is still a step, not an error.
    return {std::strtod(text.c_str(), nullptr), digit};
}

}  // namespace

TNiceStep NiceStep(double x) {
    // Every relayout of a graph asks for several steps, and the exact decimal
    // text below is costly; the decimal mantissa decides alone unless it lies
    // within a hair of a place where rounding to two digits changes the
    // answer (1.95, 3.95, 9.95) or of a power of ten.
    if (x > 0 && std::isfinite(x)) {
        int exponent = static_cast<int>(std::floor(std::log10(x)));
        const double m = x / std::pow(10.0, exponent);
        constexpr double kHair = 1e-9;
        const bool clear = m > 1 + kHair && m < 10 - kHair && std::fabs(m - 1.95) > kHair &&
                           std::fabs(m - 3.95) > kHair && std::fabs(m - 9.95) > kHair;
        if (clear) {
            if (m < 1.95) return StepOf(1, exponent);
            if (m < 3.95) return StepOf(2, exponent);
            if (m < 9.95) return StepOf(5, exponent);
            return StepOf(1, exponent + 1);
        }
    }
    // The decimal text rounds the exact value, so 9.96 becomes 1.0e+01 and
    // 0.094 stays 9.4e-02 without any binary drift in the leading digit.
    std::string text = RoundedPrintf(x, 1, 'e');
    int d = text[0] - '0';
    int digit = d <= 1 ? 1 : d <= 3 ? 2 : 5;
    return StepOf(digit, std::stoi(text.substr(text.find('e') + 1)));
}

std::int64_t FloorDown(double x) {
    auto t = static_cast<std::int64_t>(x);
    return x < 0 ? t - 1 : t;
}

double RoundHalfEven(double x) { return std::nearbyint(x); }

std::int32_t PixelOf(double v) {
    if (!std::isfinite(v)) return kPixelLimit;
    v = std::clamp(v, -static_cast<double>(kPixelLimit), static_cast<double>(kPixelLimit));
    return static_cast<std::int32_t>(RoundHalfEven(v));
}

}  // namespace kel
