#include "support/SessionTestSupport.h"

#include "kinetics/KineticsLibrary.h"
#include "synth/LegacyWriter.h"

namespace kel::test {

TKel ConstantProfile(int channels, std::uint16_t dwell) {
    const char* names[] = {"19", "37", "55", "73", "33", "45", "59", "69", "47", "31", "42", "61", "63", "79"};
    TKel kel;
    kel.nim = static_cast<std::int16_t>(2 * channels);
    kel.njm = 201;
    kel.jm = 250;
    for (int k = 0; k < channels; ++k) {
        auto row = static_cast<std::size_t>(2 * k + 1);
        kel.Name[row] = names[k % 14];
        kel.Cntm[row] = dwell;
        for (auto& c : kel.Counts[row]) c = 100 * (k + 1);
    }
    kel.p = 0.7;
    kel.fc = 150;
    kel.f1 = 12.5;
    kel.Tg = 300;
    kel.Aft = 13.074051987176063;
    kel.lr = 70;
    kel.f4 = 48;
    kel.f5 = 11;
    kel.f6 = 500;
    kel.DateOrigin = 46000.4375;
    kel.ion = "H3O+";
    kel.reactant = "test";
    return kel;
}

TKel GrowingProfile() {
    TKel kel = ConstantProfile(3);
    for (int k = 0; k < 3; ++k)
        for (int i = 0; i < kel.njm; ++i)
            kel.Counts[static_cast<std::size_t>(2 * k + 1)][static_cast<std::size_t>((i + kel.jm) % kel.njm)] =
                10 * (i + 1) * (k + 1);
    return kel;
}

std::string SaveProfile(const ScratchDir& dir, const TKel& profile, const std::string& name) {
    std::string path = dir.File(name);
    synth::WriteLegacyFile(path, profile);
    return path;
}

TSessionServices TestServices(TGraphClipboard* clipboard) {
    static TCurrentThreadMessages messages;
    static MemorySettings settings;
    return {KineticsLibrary(), messages, settings, clipboard};
}

void UseKinetics(const std::string& text) {
    KineticsLibrary().Clear();
    KineticsLibrary().LoadText(text);
}

std::vector<TComment> CommentsWithTag(const TXYGraph& graph, int tag) {
    std::vector<TComment> out;
    for (const auto& c : graph.Comments)
        if (c.Tag == tag) out.push_back(c);
    return out;
}

}  // namespace kel::test
