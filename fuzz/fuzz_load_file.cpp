// Any bytes as a profile file through LoadFromFile's format dispatch (legacy,
// plain XML, zipped XML by the first two bytes), in full and in the
// browser's header-only mode: errors are the core's exceptions, never
// crashes, and never more memory than the largest profile takes.
#include <cstdint>
#include <string>

#include "FuzzFile.h"
#include "common/Errors.h"
#include "profile/Kel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string path = kel::fuzz::InputFile("", data, size);
    if (path.empty()) return 0;
    kel::TKel full;
    kel::TKelDetails details;
    for (kel::TKel* kel : {&full, static_cast<kel::TKel*>(&details)}) {
        try {
            kel->LoadFromFile(path);
        } catch (const kel::EKelError&) {
        }
    }
    return 0;
}
