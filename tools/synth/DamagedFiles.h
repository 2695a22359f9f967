#pragma once
// Test-only ".kel" files that hold no readable profile, each damaged the way
// files in a real folder are: for the listing and the batch, which must go
// on past them.
#include <string>
#include <vector>

namespace kel::synth {

enum class TDamage {
    XmlWithoutDate,    // a plain XML profile whose header lacks its DateOrigin
    ZipWithoutMember,  // starts as a zip archive, but no member follows
    HugeWithoutDate,   // larger than any profile text, all zero bytes (sparse)
};

// Every kind above.
const std::vector<TDamage>& AllDamages();

// Writes a damaged file of that kind to path, raising EFileError on failure.
void WriteDamagedProfile(const std::string& path, TDamage damage);

}  // namespace kel::synth
