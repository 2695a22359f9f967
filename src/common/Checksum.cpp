#include "common/Checksum.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

#include "common/Errors.h"
#include "common/Platform.h"

namespace kel {

std::uint64_t Fnv1a64(std::string_view bytes, std::uint64_t hash) {
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

std::uint64_t Fnv1a64OfFile(const std::string& path) {
    std::ifstream file(os::PathOf(path), std::ios::binary);
    if (!file) throw EFileError("Cannot read file \"" + path + "\": " + std::strerror(errno));
    std::vector<char> buffer(1 << 16);
    std::uint64_t hash = Fnv1a64({});
    while (file) {
        file.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        hash = Fnv1a64(std::string_view(buffer.data(), static_cast<std::size_t>(file.gcount())), hash);
    }
    if (file.bad()) throw EFileError("Cannot read file \"" + path + "\": a read failed");
    return hash;
}

std::string ChecksumText(std::uint64_t checksum) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(checksum));
    return text;
}

}  // namespace kel
