#pragma once
// The 6-byte real of the legacy profile format, kept exactly in memory:
// biased exponent byte (bias 129, 0 means zero), a 39-bit fraction and a sign.
#include <array>
#include <cstdint>

namespace kel {

class Real48 {
public:
    using Bytes = std::array<std::uint8_t, 6>;

    Real48() = default;
    // Rounds x to the 40-bit mantissa (ties away from zero); raises EOverflow
    // beyond about 1.7e38 (and EInvalidOp for NaN); tiny values become 0.
    Real48(double x) { *this = x; }  // NOLINT(google-explicit-constructor): behaves as a number
    Real48& operator=(double x);

    // The exact value as a double (every Real48 value is one).
    operator double() const { return ToDouble(); }  // NOLINT(google-explicit-constructor)
    double ToDouble() const;

    // The stored bytes in file order.
    const Bytes& ToBytes() const { return bytes_; }
    // A value from its six file bytes, taken as they are.
    static Real48 FromBytes(const Bytes& bytes);

    static constexpr double kMax = 1.7014118346031449e38;
    static constexpr double kMinPositive = 2.938735877055719e-39;

private:
    Bytes bytes_{};
};

}  // namespace kel
