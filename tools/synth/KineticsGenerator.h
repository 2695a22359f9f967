#pragma once
// The demo kinetics library: compounds with literature-like rate coefficients
// (1e-9 .. 4e-9 cm3/s) for the H3O+, NO+ and O2+ precursors.
#include <string>

namespace kel::synth {

// The text of the demo kinetics file, CR LF line ends.
std::string DemoKineticsText();

// The first `count` compounds of the demo library, repeating the list with
// numbered names when more are asked for (for benchmarks).
std::string KineticsText(int count);

}  // namespace kel::synth
