#include "common/Errors.h"

#include <cmath>

namespace kel {

double CheckedDivide(double a, double b) {
    if (b == 0.0) {
        if (a == 0.0 || std::isnan(a)) throw EInvalidOp();
        throw EZeroDivide();
    }
    return CheckedFinite(a / b);
}

double CheckedFinite(double x) {
    if (std::isnan(x)) throw EInvalidOp();
    if (std::isinf(x)) throw EOverflow();
    return x;
}

}  // namespace kel
