#include "common/TextExcerpt.h"

#include <cstdint>

namespace kel {

namespace {

// The length of the well-formed UTF-8 character at text[i], or 0.
std::size_t Utf8CharacterAt(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
    const std::uint8_t lead = byte(i);
    std::size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
    if (length == 0 || i + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k)
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
    // No overlong forms, surrogates or values past U+10FFFF.
    const std::uint8_t second = byte(i + 1);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) || (lead == 0xF0 && second < 0x90) ||
        (lead == 0xF4 && second >= 0x90))
        return 0;
    return length;
}

void AppendEscaped(std::string& out, std::uint8_t byte) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
}

}  // namespace

std::string MessageExcerpt(std::string_view text) {
    std::string out;
    std::size_t characters = 0;
    std::size_t i = 0;
    while (i < text.size() && characters < kExcerptCharacters) {
        const auto byte = static_cast<std::uint8_t>(text[i]);
        if (byte >= 0x20 && byte < 0x7F) {
            out += text[i++];
        } else if (std::size_t length = byte >= 0x80 ? Utf8CharacterAt(text, i) : 0; length > 0) {
            // U+0080 to U+009F are controls too (0xC2 0x9B opens a terminal sequence).
            const bool c1 = byte == 0xC2 && static_cast<std::uint8_t>(text[i + 1]) < 0xA0;
            if (c1) AppendEscaped(out, static_cast<std::uint8_t>(text[i + 1]));
            else out.append(text, i, length);
            i += length;
        } else {
            AppendEscaped(out, byte);
            ++i;
        }
        ++characters;
    }
    if (i < text.size()) out += "\xE2\x80\xA6";
    return out;
}

}  // namespace kel
