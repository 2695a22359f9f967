#include "synth/ProfileGenerator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "synth/Random.h"

namespace kel::synth {

std::vector<Channel> DefaultChannels() {
    return {
        {"19", 1.0e6, 10},  {"37", 6.0e4, 10},  {"55", 5.0e3, 20},  {"73", 4.0e2, 20}, {"33", 900, 100},
        {"45", 350, 100},   {"59", 1800, 100},  {"69", 120, 100},   {"47", 60, 100},   {"31", 45, 100},
        {"42", 30, 100},    {"61", 80, 100},    {"63", 25, 100},    {"79", 15, 100},
    };
}

std::vector<AuxReading> DefaultAux() {
    return {
        {18, "p Torr", 720, 0.004},
        {20, "Id pA", 480, 0.02},
        {22, "T(gas)", 300, 0.001},
        {24, "fr sccm", 125, 0.01},
    };
}

ProfileOptions DefaultOptions(std::uint64_t seed) {
    ProfileOptions o;
    o.seed = seed;
    o.channels = DefaultChannels();
    o.aux = DefaultAux();
    return o;
}

TKel MakeProfile(const ProfileOptions& o) {
    Random random(o.seed);
    TKel kel;
    kel.SetArrays(28, std::max(o.slots - 1, 200));
    kel.nim = 29;
    kel.njm = static_cast<std::int16_t>(o.slots);
    kel.jm = static_cast<std::int16_t>(o.cycles);
    kel.im = 1;
    kel.FScan = o.fscan;

    // Product ions of the breath follow a slow exhale-inhale swing; the
    // precursor and its clusters stay near constant.
    auto level = [&](std::size_t channel, int cycle) {
        if (channel < 4) return 1.0;
        double phase = 2 * std::numbers::pi * cycle / o.breathPeriod + 0.3 * static_cast<double>(channel);
        return std::max(0.05, 1.0 + o.breathAmplitude * std::sin(phase));
    };
    auto pressureFactor = [&](int cycle) {
        if (!o.headspaceDips) return 1.0;
        int phase = cycle % 50;
        return phase >= 15 && phase < 35 ? 0.55 : 1.0;
    };

    int firstCycle = std::max(0, o.cycles - o.slots);
    for (std::size_t k = 0; k < o.channels.size() && 2 * k + 1 < 29; ++k) {
        const Channel& c = o.channels[k];
        std::size_t row = 2 * k + 1;
        kel.Name[row] = c.name;
        kel.Cntm[row] = c.dwell;
        for (int cycle = firstCycle; cycle < o.cycles; ++cycle) {
            double mean = c.rate * level(k, cycle) * pressureFactor(cycle) * c.dwell / o.fscan;
            auto slot = static_cast<std::size_t>(cycle % o.slots);
            kel.Counts[row][slot] = static_cast<std::int32_t>(random.Poisson(mean));
        }
    }
    for (const AuxReading& a : o.aux) {
        auto row = static_cast<std::size_t>(a.row);
        kel.Name[row] = a.name;
        kel.Cntm[row] = 1;
        bool isPressure = a.name.find("Torr") != std::string::npos;
        for (int cycle = firstCycle; cycle < o.cycles; ++cycle) {
            double value = a.value * (isPressure ? pressureFactor(cycle) : 1.0) * (1 + a.noise * random.Normal());
            kel.Counts[row][static_cast<std::size_t>(cycle % o.slots)] = static_cast<std::int32_t>(std::lround(value));
        }
    }
    for (int s = 0; s < o.slots; ++s) kel.Times[static_cast<std::size_t>(s)] = s;

    kel.p = o.p;
    kel.fc = o.fc;
    kel.f1 = o.f1;
    kel.Tg = o.tg;
    kel.Aft = o.area;
    kel.lr = o.length;
    kel.f4 = o.idPrecursor;
    kel.f5 = o.idProduct;
    kel.f6 = o.fscan;
    kel.DateOrigin = o.dateOrigin;
    kel.ProfileDate = o.dateOrigin;
    kel.SystemId = o.systemId;
    kel.ion = o.ion;
    kel.reactant = o.reactant;
    kel.comment = o.comment;
    kel.UpdateIonMasses();
    return kel;
}

}  // namespace kel::synth
