#pragma once
// Exceptions the core raises. Every message is written for the analyst who
// will read it in an error box or on the graph.
#include <cmath>
#include <stdexcept>
#include <string>

namespace kel {

// Base of every error the core raises on purpose.
class EKelError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Arithmetic failures; the message reads as the classic floating-point texts.
class EMathError : public EKelError {
public:
    using EKelError::EKelError;
};
class EZeroDivide : public EMathError {
public:
    EZeroDivide() : EMathError("Floating point division by zero") {}
};
class EInvalidOp : public EMathError {
public:
    EInvalidOp() : EMathError("Invalid floating point operation") {}
};
class EOverflow : public EMathError {
public:
    EOverflow() : EMathError("Floating point overflow") {}
};

// A text that does not form the number a reader expected.
class EConvertError : public EKelError {
public:
    using EKelError::EKelError;
};

// A file that could not be opened, read or written.
class EFileError : public EKelError {
public:
    using EKelError::EKelError;
};

namespace detail {
// The raising halves of the checks below, kept out of line so that the
// checks stay cheap enough for per-point loops.
[[noreturn]] void RaiseNonFinite(double x);
[[noreturn]] void RaiseZeroDivide(double dividend);
}  // namespace detail

// Returns x when finite; raises EInvalidOp for NaN and EOverflow for an infinity.
inline double CheckedFinite(double x) {
    if (!std::isfinite(x)) detail::RaiseNonFinite(x);
    return x;
}

// Quotient a / b; raises EZeroDivide for x / 0, EInvalidOp for 0 / 0 and
// EOverflow when the result leaves the double range.
inline double CheckedDivide(double a, double b) {
    if (b == 0.0) detail::RaiseZeroDivide(a);
    return CheckedFinite(a / b);
}

}  // namespace kel
