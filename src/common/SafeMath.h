#pragma once
// Guarded exponential and power used by the kinetics formulas.

namespace kel {

// e^x for |x| < 44; e^44 for x >= 44 and 0 for x <= -44.
double SafeExp(double x);

// SafeExp(exponent * ln(base)) for base > 0, and 0 for base <= 0.
double SafePower(double base, double exponent);

// x rounded to the nearest integer, halves to the even one, kept within the
// 32-bit range (a NaN gives 0).
long long RoundHalfEvenToInt(double x);

}  // namespace kel
