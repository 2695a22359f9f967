#include "common/TextEncoding.h"

#include <cstdint>
#include <cstring>

namespace kel {

namespace {

// Code points of the bytes 80..9F, where Windows-1252 differs from Latin-1.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        // Windows-1252 reaches no further than the basic plane.
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Profile texts are mostly digits and markup: 32 ASCII bytes are passed
// over at once, so checking a whole profile costs little beside parsing it.
std::size_t AsciiRun(std::string_view text, std::size_t at) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    while (at + 32 <= text.size()) {
        std::uint64_t words[4];
        std::memcpy(words, text.data() + at, sizeof words);
        if ((words[0] | words[1] | words[2] | words[3]) & kHighBits) break;
        at += 32;
    }
    while (at < text.size() && static_cast<unsigned char>(text[at]) < 0x80) ++at;
    return at;
}

}  // namespace

std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    if (at >= text.size()) return 0;
    unsigned char c = byte(at);
    std::size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || length > text.size() - at) return 0;
    char32_t code = length == 1 ? c : c & (0x7Fu >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(at + k) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (byte(at + k) & 0x3Fu);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

bool IsValidUtf8(std::string_view text) {
    for (std::size_t at = AsciiRun(text, 0); at < text.size(); at = AsciiRun(text, at)) {
        std::size_t length = Utf8SequenceLength(text, at);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

char32_t Windows1252CodePoint(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : byte;
}

std::string Windows1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (char c : text) AppendUtf8(out, Windows1252CodePoint(static_cast<unsigned char>(c)));
    return out;
}

std::string TextAsUtf8(std::string text) {
    if (IsValidUtf8(text)) return text;
    return Windows1252ToUtf8(text);
}

std::string_view Utf8Prefix(std::string_view text, std::size_t count) {
    std::size_t at = 0;
    for (; count > 0 && at < text.size(); --count) {
        std::size_t length = Utf8SequenceLength(text, at);
        at += length == 0 ? 1 : length;
    }
    return text.substr(0, at);
}

std::size_t Utf8Length(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); ++count) {
        std::size_t length = Utf8SequenceLength(text, at);
        at += length == 0 ? 1 : length;
    }
    return count;
}

}  // namespace kel
