#include "common/SafeMath.h"

#include <cmath>

namespace kel {

double SafeExp(double x) {
    constexpr double kLimit = 44.0;
    if (x >= kLimit) return std::exp(kLimit);
    if (x <= -kLimit) return 0.0;
    return std::exp(x);
}

double SafePower(double base, double exponent) {
    if (base <= 0.0) return 0.0;
    return SafeExp(exponent * std::log(base));
}

long long RoundHalfEvenToInt(double x) {
    if (std::isnan(x)) return 0;
    constexpr double kLimit = 2147483647.0;
    if (x >= kLimit) return static_cast<long long>(kLimit);
    if (x <= -kLimit - 1) return static_cast<long long>(-kLimit - 1);
    double whole = std::floor(x);
    double fraction = x - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0)) whole += 1;
    return static_cast<long long>(whole);
}

}  // namespace kel
