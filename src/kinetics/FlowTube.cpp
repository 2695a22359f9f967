#include "kinetics/FlowTube.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "common/Errors.h"

namespace kel {

namespace {

constexpr double kReferenceTemperature = 293.15;  // K, at which the flows are given
constexpr double kIonSpeedOverGas = 1.5;

bool SameLetters(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

}  // namespace

double FlowFactor(const TKel& kel) {
    if (kel.fc == 0) return kel.f8;
    return CheckedFinite(CheckedDivide(kel.fc + kel.f1, kel.p) * kel.Tg / kReferenceTemperature);
}

double ReactionTime(const TKel& kel) {
    if (kel.fc == 0) return kel.f7;
    double gasSpeed = CheckedDivide(FlowFactor(kel) * 1000, kel.Aft);  // cm/s
    return CheckedDivide(kel.lr, gasSpeed) / kIonSpeedOverGas;
}

int PrecursorCode(const TKel& kel) {
    if (SameLetters(kel.ion, "H3O+")) return 19;
    if (SameLetters(kel.ion, "NO+")) return 30;
    if (SameLetters(kel.ion, "O2+")) return 32;
    return 0;
}

double CycleTime(const TKel& kel) {
    double ticks = 0;
    std::size_t rows = std::min<std::size_t>(static_cast<std::size_t>(std::max<int>(kel.nim, 0)), kel.Cntm.size());
    for (std::size_t r = 0; r < rows; ++r) ticks += kel.Cntm[r];
    return CheckedDivide(ticks, kel.FScan);
}

}  // namespace kel
