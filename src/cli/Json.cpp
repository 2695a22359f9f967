#include "cli/Json.h"

#include <cstdio>

#include "common/Errors.h"

namespace kel::cli {

void JsonWriter::Separate() {
    if (needComma_) out_ += ',';
    needComma_ = false;
}

void JsonWriter::WriteKey(std::string_view key) {
    Separate();
    if (!key.empty()) out_ += Quote(key) + ':';
}

void JsonWriter::BeginObject() {
    Separate();
    out_ += '{';
}
void JsonWriter::EndObject() {
    out_ += '}';
    needComma_ = true;
}
void JsonWriter::BeginArray(std::string_view key) {
    WriteKey(key);
    out_ += '[';
}
void JsonWriter::EndArray() {
    out_ += ']';
    needComma_ = true;
}
void JsonWriter::Key(std::string_view key) {
    WriteKey(key);
    needComma_ = false;
}
void JsonWriter::String(std::string_view key, std::string_view value) {
    WriteKey(key);
    out_ += Quote(value);
    needComma_ = true;
}
void JsonWriter::Number(std::string_view key, double value) {
    WriteKey(key);
    needComma_ = false;
    Element(value);
}
void JsonWriter::Integer(std::string_view key, long long value) {
    WriteKey(key);
    needComma_ = false;
    Element(value);
}
void JsonWriter::Bool(std::string_view key, bool value) {
    WriteKey(key);
    out_ += value ? "true" : "false";
    needComma_ = true;
}
void JsonWriter::Element(long long value) {
    Separate();
    out_ += std::to_string(value);
    needComma_ = true;
}
void JsonWriter::Element(double value) {
    Separate();
    CheckedFinite(value);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.17g", value);
    out_ += buf;
    needComma_ = true;
}
void JsonWriter::Element(std::string_view value) {
    Separate();
    out_ += Quote(value);
    needComma_ = true;
}

std::string JsonWriter::Quote(std::string_view text) {
    // Profile texts are single-byte; bytes above 0x7F are taken as Latin-1.
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

}  // namespace kel::cli
