#pragma once
// Small hand-made profiles whose counts make every expected number easy to
// follow: dwell = FScan, so a count rate equals the count.
#include <string>
#include <vector>

#include "profile/Kel.h"

namespace kel::test {

// A profile of 29 rows with ion channels of the given masses (rows 1, 3,
// ...), `slots` slots, no filter, and jm = 0 so that point i is slot i.
inline TKel ChannelProfile(const std::vector<double>& masses, int slots = 201) {
    TKel kel;
    kel.SetArrays(28, slots - 1);
    kel.nim = 29;
    kel.njm = static_cast<std::int16_t>(slots);
    kel.jm = 0;
    kel.FScan = 500;
    for (auto& dwell : kel.Cntm) dwell = 500;
    for (std::size_t k = 0; k < masses.size(); ++k) {
        kel.Name[2 * k + 1] = std::to_string(static_cast<int>(masses[k]));
        kel.IonMass[k] = masses[k];
    }
    return kel;
}

// Sets the counts of channel k in every slot.
inline void FillChannel(TKel& kel, int k, std::int32_t count) {
    for (auto& c : kel.Counts[static_cast<std::size_t>(2 * k + 1)]) c = count;
}

}  // namespace kel::test
