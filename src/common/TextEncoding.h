#pragma once
// Texts are UTF-8 in memory and in everything the program writes. Old
// instrument software wrote single-byte Windows-1252 texts; those are turned
// into UTF-8 as they are read, so that no character a user wrote is lost.
#include <cstddef>
#include <string>
#include <string_view>

namespace kel {

// Length of the well-formed UTF-8 sequence that starts at text[at] (1 for an
// ASCII byte), or 0 when none does: a stray continuation byte, a cut
// sequence, an overlong form, a surrogate or a value past U+10FFFF.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at);

// True when the whole text is well-formed UTF-8 (an empty text is).
bool IsValidUtf8(std::string_view text);

// The Unicode code point of a Windows-1252 byte; the five bytes the code page
// leaves unassigned (81, 8D, 8F, 90, 9D) keep their own value, as Windows does.
char32_t Windows1252CodePoint(unsigned char byte);

// A Windows-1252 text as UTF-8; ASCII bytes, control bytes included, stay as they are.
std::string Windows1252ToUtf8(std::string_view text);

// The text itself when it is valid UTF-8, otherwise the text read as Windows-1252.
std::string TextAsUtf8(std::string text);

// The first `count` characters of a UTF-8 text, never ending inside a
// sequence; a byte that starts no valid sequence counts as one character.
std::string_view Utf8Prefix(std::string_view text, std::size_t count);

// The number of characters of a UTF-8 text, counted as Utf8Prefix counts them.
std::size_t Utf8Length(std::string_view text);

}  // namespace kel
