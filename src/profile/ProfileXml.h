#pragma once
// Helpers of the XML profile format that callers outside TKel use.
#include <string>
#include <string_view>

namespace kel {

// The text between the first "<name" (plus one character) and the first
// "</name": the header-only lookup of the profile browser, no parsing and
// case-sensitive; empty when the end tag comes first or is missing.
std::string ExtractTagText(std::string_view text, std::string_view name);

// The archive member name of a zipped profile: the file name without folder,
// its extension replaced by ".txt.kel" ("a.kel" gives "a.txt.kel").
std::string ZippedMemberName(const std::string& fileName);

}  // namespace kel
