// Writes the seed corpora of the fuzz targets: small generated profiles in
// every format, a kinetics library and a few damaged files, one folder per
// target. The output is the same bytes on every run.
#include <cstring>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "common/SafeFile.h"
#include "synth/KineticsGenerator.h"
#include "synth/LegacyWriter.h"
#include "synth/ProfileGenerator.h"
#include "zip/SciZipFile.h"

using namespace kel;
namespace fs = std::filesystem;

namespace {

struct Seed {
    std::string target, name, bytes;
};

// A small generated profile: few slots keep the seeds short.
TKel SmallProfile(std::uint64_t seed, int slots) {
    synth::ProfileOptions options = synth::DefaultOptions(seed);
    options.slots = slots;
    options.cycles = slots + 3;  // the ring has wrapped
    return synth::MakeProfile(options);
}

// The zipped form as "Save" writes it, stamped 9 Dec 2025 10:30 instead of now.
std::string Zipped(const TKel& kel) {
    TZipFile zip;
    zip.AddFile("p.txt.kel", 0);
    zip.SetUncompressed(0, kel.BuildXml());
    for (auto* stamp : {&zip.Files[0].ModTime, &zip.CentralDirectory[0].ModTime}) *stamp = (10 << 11) | (30 << 5);
    for (auto* stamp : {&zip.Files[0].ModDate, &zip.CentralDirectory[0].ModDate}) *stamp = (45 << 9) | (12 << 5) | 9;
    std::ostringstream bytes;
    zip.SaveToStream(bytes);
    return bytes.str();
}

std::string Legacy(const TKel& kel, const fs::path& scratch) {
    std::string path = (scratch / "l.kel").string();
    synth::WriteLegacyFile(path, kel);
    return ReadWholeFile(path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || std::strcmp(argv[1], "--help") == 0) {
        (argc == 2 ? std::cout : std::cerr) << "Usage: kel-make-fuzz-corpus FOLDER\n"
                                               "Writes FOLDER/<target>/<seed> for every fuzz target.\n";
        return argc == 2 ? 0 : 2;
    }
    try {
        fs::path folder = argv[1];
        fs::path scratch = folder / ".scratch";
        fs::create_directories(scratch);
        TKel small = SmallProfile(21, 6);
        std::string xml = small.BuildXml();
        std::string zipped = Zipped(small);
        std::string legacy = Legacy(SmallProfile(22, 201), scratch);
        std::string kinetics = synth::KineticsText(3);
        std::vector<Seed> seeds = {
            {"load_legacy", "full", legacy.substr(2)},
            {"load_legacy", "cut", legacy.substr(2, 24696)},
            {"profile_xml", "small", xml},
            {"profile_xml", "header-only", "<kel><ion>H3O+</ion><DateOrigin>46000.5</DateOrigin></kel>"},
            {"xml_parse", "small", xml},
            {"xml_parse", "nested", "<?xml version=\"1.0\"?><a><b>1</b><b> x </b><c><d>2</d></c></a>"},
            {"zip_load", "profile", zipped},
            {"zip_load", "cut", zipped.substr(0, zipped.size() / 2)},
            {"kinetics_load", "library", kinetics},
            {"load_file", "legacy", legacy},
            {"load_file", "xml", xml},
            {"load_file", "zipped", zipped},
            {"round_trip", "xml", xml},
            {"round_trip", "zipped", zipped},
            {"round_trip", "legacy", legacy},
        };
        for (const Seed& seed : seeds) {
            fs::create_directories(folder / seed.target);
            PutFileInPlace((folder / seed.target / seed.name).string(), seed.bytes);
        }
        fs::remove_all(scratch);
    } catch (const std::exception& e) {
        std::cerr << "kel-make-fuzz-corpus: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
