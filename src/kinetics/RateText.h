#pragma once
// The count-rate and concentration texts of the plot's info lines.
#include <string>

namespace kel {

// A count rate in six characters: " n.a. " for 0 (or less), else two
// decimals below 2, one below 20 and none from 20 on.
std::string FormatRate(double x);

// A concentration given in ppb, as "<x> ppb" below 10000, "<x/1000> ppm"
// below 1000000 and "<x/1e7> %" from there, in at least `width` characters.
std::string FormatConcentration(int width, double x);

}  // namespace kel
