#pragma once
// A minimal JSON writer for the command-line tool's machine-readable output.
#include <string>
#include <string_view>

namespace kel::cli {

class JsonWriter {
public:
    void BeginObject();
    void EndObject();
    void BeginArray(std::string_view key = {});
    void EndArray();
    void Key(std::string_view key);
    void String(std::string_view key, std::string_view value);
    void Number(std::string_view key, double value);
    void Integer(std::string_view key, long long value);
    void Bool(std::string_view key, bool value);
    // A bare number inside an array.
    void Element(long long value);
    void Element(double value);
    void Element(std::string_view value);
    const std::string& Text() const { return out_; }

private:
    void Separate();
    void WriteKey(std::string_view key);
    static std::string Quote(std::string_view text);
    std::string out_;
    bool needComma_ = false;
};

}  // namespace kel::cli
