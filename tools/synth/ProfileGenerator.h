#pragma once
// Synthetic but realistic profiles: a precursor near 1e6 c/s with its water
// clusters, product ions at tens to thousands of c/s, auxiliary readings on
// the even rows, Poisson counting noise, deterministic for a given seed.
#include <cstdint>
#include <string>
#include <vector>

#include "profile/Kel.h"

namespace kel::synth {

struct Channel {
    std::string name;     // m/z as text, the row name
    double rate;          // mean count rate, c/s
    std::uint16_t dwell;  // Cntm, scan ticks per cycle
};

struct AuxReading {
    int row;           // even row 18..26
    std::string name;  // kind of reading, e.g. "p Torr"
    double value;      // raw value stored per slot
    double noise;      // relative scatter
};

struct ProfileOptions {
    std::uint64_t seed = 1;
    int slots = 201;   // njm
    int cycles = 150;  // jm; more than slots means the ring has wrapped
    std::vector<Channel> channels;    // odd rows 1, 3, 5, ... in order
    std::vector<AuxReading> aux;
    double breathAmplitude = 0.6;     // relative swing of the product ions
    double breathPeriod = 40;         // in cycles
    bool headspaceDips = false;       // pressure drops into sections
    double dateOrigin = 46000.4375;   // 9 Dec 2025 10:30
    std::string ion = "H3O+", reactant = "breath", comment = "synthetic", systemId = "KV-SYN-01";
    double p = 0.72, fc = 150, f1 = 12.5, tg = 300, area = 13.074051987176063, length = 70;
    double idPrecursor = 48, idProduct = 11, fscan = 500;
};

// Channels of a typical H3O+ breath profile: 19, 37, 55, 73 and ten products.
std::vector<Channel> DefaultChannels();

// Auxiliary rows: pressure, ion current, a reading named with "(", a flow.
std::vector<AuxReading> DefaultAux();

// Default options with DefaultChannels() and DefaultAux().
ProfileOptions DefaultOptions(std::uint64_t seed = 1);

// A profile built from the options (nim 29).
TKel MakeProfile(const ProfileOptions& options);

}  // namespace kel::synth
