// Any bytes as a zip archive: loading and inflating every member may fail
// only with the archive's own errors, never crash or allocate wildly.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "zip/SciZipFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    try {
        std::istringstream header(bytes);
        (void)kel::ReadFirstLocalHeader(header);
        std::istringstream in(bytes);
        kel::TZipFile zip;
        zip.LoadFromStream(in);
        for (int i = 0; i < zip.Count(); ++i) {
            (void)zip.MemberDate(i);
            try {
                (void)zip.Uncompressed(i);
            } catch (const kel::EZipFileError&) {
            }
        }
        std::ostringstream out;
        zip.SaveToStream(out);
    } catch (const kel::EKelError&) {
    }
    return 0;
}
