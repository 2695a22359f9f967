// Any bytes as an analysis file: it is read or refused with a reason, never
// a crash; what is read writes back to text that reads as the same analysis.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/AnalysisFile.h"
#include "common/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string path = "/nowhere/fuzz.kelview.json";
    kel::TAnalysisFile analysis;
    try {
        analysis = kel::ParseAnalysisFile(text, path);
    } catch (const kel::EKelError& error) {
        if (std::string(error.what()).empty()) std::abort();
        return 0;
    }
    const kel::TAnalysisFile again = kel::ParseAnalysisFile(kel::AnalysisFileText(analysis, path), path);
    if (!(again.state == analysis.state) || again.profilePath != analysis.profilePath ||
        again.kineticsPath != analysis.kineticsPath || again.kineticsChecksum != analysis.kineticsChecksum)
        std::abort();
    return 0;
}
