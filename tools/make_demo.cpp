// Rebuilds the demo folder: a few synthetic legacy profiles and the demo
// kinetics library. The output is the same bytes on every run.
#include <cstring>
#include <iostream>
#include <string>

#include "common/SafeFile.h"
#include "synth/KineticsGenerator.h"
#include "synth/LegacyWriter.h"
#include "synth/ProfileGenerator.h"

using namespace kel::synth;

namespace {

void Usage(std::ostream& out) {
    out << "Usage: kel-make-demo FOLDER\n"
           "Writes the demo profiles (*.kel) and the demo kinetics library (demo-kinetics.txt)\n"
           "into FOLDER, which must exist. The files are deterministic.\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        Usage(argc == 2 ? std::cout : std::cerr);
        return argc == 2 ? 0 : 2;
    }
    std::string folder = argv[1];
    try {
        ProfileOptions wrapped = DefaultOptions(11);
        wrapped.cycles = 350;  // the ring has wrapped: jm > njm
        wrapped.comment = "exhaled breath";
        WriteLegacyFile(folder + "/breath-01.kel", MakeProfile(wrapped));

        ProfileOptions fresh = DefaultOptions(12);
        fresh.cycles = 150;  // stopped before the ring filled
        fresh.dateOrigin += 0.02;
        fresh.reactant = "breath, fasting";
        WriteLegacyFile(folder + "/breath-02.kel", MakeProfile(fresh));

        ProfileOptions headspace = DefaultOptions(13);
        headspace.cycles = 201;
        headspace.headspaceDips = true;
        headspace.dateOrigin += 0.05;
        headspace.reactant = "headspace, banana";
        headspace.comment = "3 vials";
        WriteLegacyFile(folder + "/headspace-01.kel", MakeProfile(headspace));

        ProfileOptions air = DefaultOptions(14);
        air.cycles = 120;
        air.breathAmplitude = 0.05;
        air.dateOrigin -= 1.0;
        air.reactant = "laboratory air";
        air.comment = "";
        WriteLegacyFile(folder + "/room-air.kel", MakeProfile(air));

        if (kel::TIoResult written = kel::ReplaceFileAtomically(folder + "/demo-kinetics.txt", DemoKineticsText());
            !written) {
            std::cerr << "kel-make-demo: " << written.description() << '\n';
            return 1;
        }
    } catch (const std::exception& e) {
        std::cerr << "kel-make-demo: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
