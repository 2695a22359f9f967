#pragma once
// Test-only writer of the legacy profile format (the program itself never
// writes it): produces files for the reader's tests, the fuzz corpus and the
// demo folder.
#include <cstdint>
#include <string>
#include <vector>

#include "profile/Kel.h"

namespace kel::synth {

// The full 24785-byte legacy image of a record (29 rows, 201 slots).
std::vector<std::uint8_t> EncodeLegacy(const TKel& kel);

// Writes the first `size` bytes of the legacy image (all when size is 0).
void WriteLegacyFile(const std::string& path, const TKel& kel, std::size_t size = 0);

// Writes bytes to path, raising EFileError on failure.
void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace kel::synth
