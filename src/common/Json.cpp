#include "common/Json.h"

#include "common/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "common/TextEncoding.h"

namespace kel {

namespace {

void AppendEscaped(std::string& out, unsigned code) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\u%04x", code);
    out += buf;
}

}  // namespace

std::string JsonNumber(double x) {
    if (!std::isfinite(x)) return "null";
    return FormatShortest(x);
}

std::string JsonQuote(std::string_view text) {
    const bool utf8 = IsValidUtf8(text);
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c < 0x20 || c == 0x7F) {
            AppendEscaped(out, c);
        } else if (c >= 0x80 && !utf8) {
            AppendEscaped(out, static_cast<unsigned>(Windows1252CodePoint(c)));
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

void JsonWriter::Null(std::string_view key) {
    Start(key);
    out_ += "null";
}

void JsonWriter::Integer(std::string_view key, long long value) {
    Start(key);
    out_ += std::to_string(value);
}

void JsonWriter::Bool(std::string_view key, bool value) {
    Start(key);
    out_ += value ? "true" : "false";
}

}  // namespace kel
