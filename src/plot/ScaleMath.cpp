#include "plot/ScaleMath.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "common/NumberText.h"

namespace kel {

double Log10(double x) { return std::log(x) / kGraphLn10; }

double Pow10(double x) { return std::exp(kGraphLn10 * x); }

TNiceStep NiceStep(double x) {
    // The decimal text rounds the exact value, so 9.96 becomes 1.0e+01 and
    // 0.094 stays 9.4e-02 without any binary drift in the leading digit.
    std::string text = RoundedPrintf(x, 1, 'e');
    int d = text[0] - '0';
    int digit = d <= 1 ? 1 : d <= 3 ? 2 : 5;
    // The exponent part replaced in place: to_string(digit) + substr(...)
    // makes g++ 12 -O3 warn of overlapping copies.
    std::string stepText = text.substr(text.find('e'));
    stepText.insert(stepText.begin(), static_cast<char>('0' + digit));
    // strtod, not stod: a subnormal step is still a step, not an error.
    return {std::strtod(stepText.c_str(), nullptr), digit};
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
