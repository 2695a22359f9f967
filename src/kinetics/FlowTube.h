#pragma once
// Flow-tube quantities derived from the recorded flows, pressure, gas
// temperature and geometry of a profile.
#include "profile/Kel.h"

namespace kel {

// Volume flow through the tube, L/s: (fc + f1) / p * Tg / 293.15, or the
// stored f8 when the profile has no carrier flow (fc = 0); raises the
// floating-point errors for a pressure of 0.
double FlowFactor(const TKel& kel);

// Time the ions need for the reaction length, s: lr / (FlowFactor * 1000 /
// Aft) / 1.5, or the stored f7 when fc = 0; raises the floating-point errors
// for a flow factor or area of 0.
double ReactionTime(const TKel& kel);

// Mass of the precursor ion named by `ion` (19 "H3O+", 30 "NO+", 32 "O2+",
// letter case ignored); 0 for any other text.
int PrecursorCode(const TKel& kel);

// Seconds per measurement cycle: the dwells of rows 0..nim-1 over FScan;
// raises the floating-point errors for an FScan of 0.
double CycleTime(const TKel& kel);

}  // namespace kel
