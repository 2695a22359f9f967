// Any bytes as a profile text, full and header-only: errors are exceptions
// of the core, never crashes, and never gigabytes for a few bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/Errors.h"
#include "profile/Kel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    for (bool headerOnly : {false, true}) {
        kel::TKel kel;
        kel.HeaderOnly = headerOnly;
        try {
            kel.ParseProfileXml(text);
            if (!headerOnly) kel.UpdateIonMasses();
        } catch (const kel::EKelError&) {
        }
    }
    return 0;
}
