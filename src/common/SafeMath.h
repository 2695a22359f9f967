#pragma once
// Guarded exponential and power used by the kinetics formulas.

namespace kel {

// e^x for |x| < 44; e^44 for x >= 44 and 0 for x <= -44.
double SafeExp(double x);

// SafeExp(exponent * ln(base)) for base > 0, and 0 for base <= 0.
double SafePower(double base, double exponent);

}  // namespace kel
