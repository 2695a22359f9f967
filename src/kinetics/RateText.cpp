#include "kinetics/RateText.h"

#include "common/NumberText.h"

namespace kel {

std::string FormatRate(double x) {
    if (x < 0) x = 0;
    if (x == 0) return " n.a. ";
    int decimals = x < 2 ? 2 : x < 20 ? 1 : 0;
    return FormatFixed(x, 6, decimals);
}

std::string FormatConcentration(int width, double x) {
    if (x < 0) x = 0;
    if (x < 10000) return FormatFixed(x, width, 0) + " ppb";
    if (x < 1000000) return FormatFixed(x / 1000, width, 2) + " ppm";
    return FormatFixed(x / 10000000, width, 2) + " %";
}

}  // namespace kel
