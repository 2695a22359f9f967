#pragma once
// A small deterministic generator (SplitMix64) with its own distributions, so
// generated files are the same bytes on every machine and library version.
#include <cmath>
#include <cstdint>
#include <numbers>

namespace kel::synth {

class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    // Uniform in [0, 1).
    double Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

    // Standard normal (Box-Muller).
    double Normal() {
        double u1 = Uniform(), u2 = Uniform();
        return std::sqrt(-2.0 * std::log(1.0 - u1)) * std::cos(2 * std::numbers::pi * u2);
    }

    // Poisson count with the given mean; normal approximation above 50.
    std::int64_t Poisson(double mean) {
        if (mean <= 0) return 0;
        if (mean > 50) {
            double x = std::round(mean + std::sqrt(mean) * Normal());
            return x < 0 ? 0 : static_cast<std::int64_t>(x);
        }
        double limit = std::exp(-mean), product = Uniform();
        std::int64_t n = 0;
        while (product > limit) {
            product *= Uniform();
            ++n;
        }
        return n;
    }

private:
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::uint64_t state_;
};

}  // namespace kel::synth
