#pragma once
// What the file-loading targets share: messages go nowhere, and the input
// becomes a file that LoadFromFile opens by name.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/Messages.h"

namespace kel::fuzz {

class SilentSink : public MessageSink {
public:
    void Show(std::string_view, std::string_view) override {}
};

// Silences messages and returns the name of one in-memory file of the
// process, holding `prefix` and then the input.
inline std::string InputFile(std::string_view prefix, const std::uint8_t* data, std::size_t size) {
    static SilentSink sink;
    static int fd = [] {
        SetMessageSink(&sink);
        return ::memfd_create("kel-fuzz", 0);
    }();
    if (::ftruncate(fd, 0) != 0 || ::lseek(fd, 0, SEEK_SET) != 0) return {};
    if (!prefix.empty() && ::write(fd, prefix.data(), prefix.size()) != static_cast<ssize_t>(prefix.size())) return {};
    if (size > 0 && ::write(fd, data, size) != static_cast<ssize_t>(size)) return {};
    return "/proc/self/fd/" + std::to_string(fd);
}

}  // namespace kel::fuzz
