#pragma once
// Text read from a file, as a message may quote it: a hostile file must not
// reach a terminal's control sequences or fill a message box.
#include <cstddef>
#include <string>
#include <string_view>

namespace kel {

// The most characters of offending text a message quotes.
inline constexpr std::size_t kExcerptCharacters = 80;

// At most kExcerptCharacters characters of text; control bytes, C1 controls
// and bytes that form no UTF-8 character written as \xNN (one character
// each), and "…" added where the text was cut. Short printable text comes
// back unchanged.
std::string MessageExcerpt(std::string_view text);

}  // namespace kel
