// Any bytes that load as a profile are saved as a zipped profile and loaded
// again, twice: the first save may lose or change what the format cannot
// keep (control bytes in texts, single-byte texts turned into UTF-8, digits
// past the 20 characters of a number), but from then on every save and load
// must keep the profile's text exactly, and a saved profile must always load.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "FuzzFile.h"
#include "common/Errors.h"
#include "profile/Kel.h"

namespace {

// The profile saved and loaded again; an error of the load escapes as a finding.
kel::TKel SavedAndLoaded(const kel::TKel& kel) {
    static const std::string saved = [] {
        auto folder = std::filesystem::temp_directory_path() / ("kel-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        return (folder / "saved.kel").string();
    }();
    if (!kel.SaveZipped(saved)) __builtin_trap();
    kel::TKel again;
    again.LoadFromFile(saved);
    return again;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string path = kel::fuzz::InputFile("", data, size);
    if (path.empty()) return 0;
    kel::TKel first;
    try {
        first.LoadFromFile(path);
        (void)first.BuildXml();
    } catch (const kel::EKelError&) {
        return 0;  // not a profile, or one that declares more than it holds
    }
    kel::TKel second = SavedAndLoaded(first);
    if (SavedAndLoaded(second).BuildXml() != second.BuildXml()) __builtin_trap();
    return 0;
}
