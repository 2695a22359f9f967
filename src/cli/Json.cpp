#include "cli/Json.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace kel::cli {

namespace {

// Length of the UTF-8 sequence starting at text[i], or 0 when it is not a
// well-formed one (overlong forms, surrogates and values past U+10FFFF included).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char c = byte(i);
    std::size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + length > text.size()) return 0;
    unsigned long code = length == 1 ? c : c & (0x7Fu >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    static constexpr unsigned long kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        std::size_t n = Utf8SequenceLength(text, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

void AppendEscaped(std::string& out, unsigned code) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\u%04x", code);
    out += buf;
}

}  // namespace

std::string JsonNumber(double x) {
    if (!std::isfinite(x)) return "null";
    char buf[32];
    auto end = std::to_chars(buf, buf + sizeof buf, x).ptr;
    return std::string(buf, end);
}

std::string JsonQuote(std::string_view text) {
    const bool utf8 = IsUtf8(text);
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c < 0x20 || c == 0x7F || (c >= 0x80 && !utf8)) {
            AppendEscaped(out, c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

void JsonWriter::Start(std::string_view key) {
    if (!first_.back()) out_ += ',';
    first_.back() = false;
    if (!key.empty()) out_ += JsonQuote(key) + ':';
}

void JsonWriter::BeginObject(std::string_view key) {
    Start(key);
    out_ += '{';
    first_.push_back(true);
}

void JsonWriter::EndObject() {
    out_ += '}';
    first_.pop_back();
}

void JsonWriter::BeginArray(std::string_view key) {
    Start(key);
    out_ += '[';
    first_.push_back(true);
}

void JsonWriter::EndArray() {
    out_ += ']';
    first_.pop_back();
}

void JsonWriter::String(std::string_view key, std::string_view value) {
    Start(key);
    out_ += JsonQuote(value);
}

void JsonWriter::Number(std::string_view key, double value) {
    Start(key);
    out_ += JsonNumber(value);
}

void JsonWriter::Integer(std::string_view key, long long value) {
    Start(key);
    out_ += std::to_string(value);
}

void JsonWriter::Bool(std::string_view key, bool value) {
    Start(key);
    out_ += value ? "true" : "false";
}

}  // namespace kel::cli
