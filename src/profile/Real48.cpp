#include "profile/Real48.h"

#include <cmath>

#include "common/Errors.h"

namespace kel {

namespace {
constexpr int kFractionBits = 39;
constexpr int kBias = 129;
constexpr std::uint64_t kFractionMask = (std::uint64_t{1} << kFractionBits) - 1;
}  // namespace

Real48& Real48::operator=(double x) {
    if (std::isnan(x)) throw EInvalidOp();
    if (std::isinf(x)) throw EOverflow();
    bytes_ = {};
    if (x == 0.0) return *this;
    bool negative = x < 0;
    int exp2 = 0;
    double m = std::frexp(std::fabs(x), &exp2);  // m in [0.5, 1)
    // 40 significant bits: m * 2^40 lies in [2^39, 2^40). A double has 53, so the
    // scaled value is exact and the 13 dropped bits decide the rounding.
    double scaled = std::ldexp(m, kFractionBits + 1);
    double whole = std::floor(scaled);
    auto mantissa = static_cast<std::uint64_t>(whole);
    if (scaled - whole >= 0.5) ++mantissa;  // ties away from zero
    int e = exp2 - 1 + kBias;
    if (mantissa >> (kFractionBits + 1)) {  // carry out of the mantissa
        mantissa >>= 1;
        ++e;
    }
    if (e > 255) throw EOverflow();
    if (e <= 0) return *this;
    std::uint64_t fraction = mantissa & kFractionMask;
    bytes_[0] = static_cast<std::uint8_t>(e);
    for (int i = 1; i <= 5; ++i) bytes_[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(fraction >> (8 * (i - 1)));
    if (negative) bytes_[5] |= 0x80;
    return *this;
}

double Real48::ToDouble() const {
    if (bytes_[0] == 0) return 0.0;
    std::uint64_t fraction = 0;
    for (int i = 5; i >= 1; --i) fraction = (fraction << 8) | bytes_[static_cast<std::size_t>(i)];
    bool negative = (fraction >> kFractionBits) & 1;
    fraction &= kFractionMask;
    double value = std::ldexp(static_cast<double>(fraction | (std::uint64_t{1} << kFractionBits)),
                              bytes_[0] - kBias - kFractionBits);
    return negative ? -value : value;
}

Real48 Real48::FromBytes(const Bytes& bytes) {
    Real48 r;
    r.bytes_ = bytes;
    return r;
}

}  // namespace kel
