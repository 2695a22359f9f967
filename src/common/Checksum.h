#pragma once
// Checksums that tell whether a file still holds what it held.
#include <cstdint>
#include <string>
#include <string_view>

namespace kel {

// FNV-1a, 64 bits, of bytes, continuing from `hash` (the offset basis by default).
std::uint64_t Fnv1a64(std::string_view bytes, std::uint64_t hash = 0xcbf29ce484222325ULL);

// FNV-1a, 64 bits, of a whole file read in pieces; raises EFileError naming
// the file and the system's reason when it cannot be read.
std::uint64_t Fnv1a64OfFile(const std::string& path);

// The checksum as 16 lower-case hexadecimal digits.
std::string ChecksumText(std::uint64_t checksum);

}  // namespace kel
