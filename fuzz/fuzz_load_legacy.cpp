// Feeds arbitrary bytes, behind the legacy signature, to TKel::LoadFromFile.
#include <cstdint>
#include <string>

#include "FuzzFile.h"
#include "common/Errors.h"
#include "profile/Kel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string path = kel::fuzz::InputFile("M2", data, size);
    if (path.empty()) return 0;
    kel::TKel kel;
    try {
        kel.LoadFromFile(path);
    } catch (const kel::EKelError&) {
        // Row names that are not numbers end a load with an error on purpose.
    }
    return 0;
}
