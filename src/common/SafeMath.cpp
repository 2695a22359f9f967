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

}  // namespace kel
