#pragma once
// A small JSON writer: the command-line tool's machine-readable output and
// the files the program saves in JSON.
#include <string>
#include <string_view>
#include <vector>

namespace kel {

class JsonWriter {
public:
    // Containers; a key is given inside objects and left empty inside arrays.
    void BeginObject(std::string_view key = {});
    void EndObject();
    void BeginArray(std::string_view key = {});
    void EndArray();
    // Members of an object (key given) or elements of an array (key empty).
    void String(std::string_view key, std::string_view value);
    void Number(std::string_view key, double value);
    void Integer(std::string_view key, long long value);
    void Bool(std::string_view key, bool value);
    void Null(std::string_view key);
    // Elements of an array.
    void Element(std::string_view value) { String({}, value); }
    void Element(double value) { Number({}, value); }
    void Element(long long value) { Integer({}, value); }
    const std::string& Text() const { return out_; }

private:
    void Start(std::string_view key);
    std::string out_;
    std::vector<bool> first_{true};  // per open container: nothing written in it yet
};

// The shortest text that reads back as exactly x; "null" for NaN and infinities,
// which JSON cannot hold.
std::string JsonNumber(double x);

// text as a JSON string, valid JSON whatever its bytes: UTF-8 passes through,
// while a text that is not valid UTF-8 is read as Windows-1252; control
// characters are escaped.
std::string JsonQuote(std::string_view text);

}  // namespace kel
