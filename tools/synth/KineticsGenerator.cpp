#include "synth/KineticsGenerator.h"

#include <cstdio>
#include <vector>

namespace kel::synth {

namespace {

struct Reaction {
    double precursor, k, weight;
};
struct Product {
    double mass, weight;
};
struct Compound {
    const char* name;
    const char* formula;
    std::vector<Reaction> reactions;
    std::vector<Product> products;
};

// H3O+ (19) and its first hydrate (37) transfer a proton; NO+ (30) and O2+ (32)
// lines make the library usable for the other precursor modes.
const std::vector<Compound>& DemoCompounds() {
    static const std::vector<Compound> compounds = {
        {"methanol", "CH4O", {{19, 2.7e-9, 1}, {37, 2.4e-9, 1}}, {{33, 1}}},
        {"acetaldehyde", "C2H4O", {{19, 3.7e-9, 1}, {30, 0.6e-9, 1}}, {{45, 1}}},
        {"acetone", "C3H6O", {{19, 3.9e-9, 1}, {30, 1.2e-9, 1}}, {{59, 1}}},
        {"isoprene", "C5H8", {{19, 1.96e-9, 1}, {32, 1.5e-9, 1}}, {{69, 1}}},
        {"ethanol", "C2H6O", {{19, 2.7e-9, 1}}, {{47, 1}}},
        {"formaldehyde", "CH2O", {{19, 3.4e-9, 1}}, {{31, 1}}},
        {"acetonitrile", "C2H3N", {{19, 4.0e-9, 1}}, {{42, 1}}},
        {"acetic acid", "C2H4O2", {{19, 2.6e-9, 1}}, {{61, 1}, {43, 1}}},
        {"dimethyl sulfide", "C2H6S", {{19, 2.5e-9, 1}, {32, 2.2e-9, 1}}, {{63, 1}}},
        {"benzene", "C6H6", {{19, 1.9e-9, 1}, {32, 1.6e-9, 1}}, {{79, 1}}},
        {"ammonia", "NH3", {{19, 2.6e-9, 1}}, {{18, 1}}},
        {"propanol", "C3H8O", {{19, 2.7e-9, 1}}, {{43, 1}, {61, 0.4}}},
        {"butanone", "C4H8O", {{19, 3.9e-9, 1}, {30, 2.8e-9, 1}}, {{73, 1}}},
        {"pentane", "C5H12", {{32, 1.8e-9, 1}}, {{72, 1}, {57, 1}}},
        {"toluene", "C7H8", {{19, 2.2e-9, 1}, {32, 1.7e-9, 1}}, {{93, 1}}},
        {"hydrogen sulfide", "H2S", {{19, 1.6e-9, 1}}, {{35, 1}}},
    };
    return compounds;
}

std::string Number(double x) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", x);
    return buf;
}

void AppendCompound(std::string& out, const Compound& c, const std::string& name) {
    out += name + " (" + c.formula + ")\r\n";
    out += std::to_string(c.reactions.size()) + "\r\n";
    for (const Reaction& r : c.reactions)
        out += Number(r.precursor) + " " + Number(r.k) + " " + Number(r.weight) + "\r\n";
    out += std::to_string(c.products.size()) + "\r\n";
    for (const Product& p : c.products) out += Number(p.mass) + " " + Number(p.weight) + "\r\n";
}

}  // namespace

std::string KineticsText(int count) {
    const auto& compounds = DemoCompounds();
    std::string out;
    for (int i = 0; i < count; ++i) {
        const Compound& c = compounds[static_cast<std::size_t>(i) % compounds.size()];
        int round = i / static_cast<int>(compounds.size());
        AppendCompound(out, c, round == 0 ? c.name : std::string(c.name) + " " + std::to_string(round + 1));
    }
    return out;
}

std::string DemoKineticsText() { return KineticsText(static_cast<int>(DemoCompounds().size())); }

}  // namespace kel::synth
