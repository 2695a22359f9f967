// Feeds arbitrary bytes, behind the legacy signature, to TKel::LoadFromFile.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "common/Errors.h"
#include "common/Messages.h"
#include "profile/Kel.h"

namespace {

class SilentSink : public kel::MessageSink {
public:
    void Show(std::string_view, std::string_view) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static SilentSink sink;
    static int fd = [] {
        kel::SetMessageSink(&sink);
        return ::memfd_create("kel-fuzz", 0);
    }();
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (::ftruncate(fd, 0) != 0 || ::lseek(fd, 0, SEEK_SET) != 0) return 0;
    const char signature[2] = {'M', '2'};
    if (::write(fd, signature, 2) != 2) return 0;
    if (size > 0 && ::write(fd, data, size) != static_cast<ssize_t>(size)) return 0;
    kel::TKel kel;
    try {
        kel.LoadFromFile(path);
    } catch (const kel::EKelError&) {
        // Row names that are not numbers end a load with an error on purpose.
    }
    return 0;
}
