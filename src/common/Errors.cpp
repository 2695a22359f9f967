#include "common/Errors.h"

#include <cmath>

namespace kel {

namespace detail {

void RaiseNonFinite(double x) {
    if (std::isnan(x)) throw EInvalidOp();
    throw EOverflow();
}

void RaiseZeroDivide(double dividend) {
    if (dividend == 0.0 || std::isnan(dividend)) throw EInvalidOp();
    throw EZeroDivide();
}

}  // namespace detail

}  // namespace kel
