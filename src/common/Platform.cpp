#include "common/Platform.h"

#include <algorithm>

namespace kel::os {

// std::filesystem reads a plain string in the system's code page on Windows;
// as char8_t text it is UTF-8 everywhere.
std::filesystem::path PathOf(std::string_view utf8) {
    return std::filesystem::path(std::u8string_view(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string Utf8Of(const std::filesystem::path& path) {
    std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

bool IsUniqueFileName(std::string_view name) {
    if (name.size() != kUniqueFilePrefix.size() + kUniqueFileLetters + kUniqueFileSuffix.size() ||
        !name.starts_with(kUniqueFilePrefix) || !name.ends_with(kUniqueFileSuffix))
        return false;
    std::string_view letters = name.substr(kUniqueFilePrefix.size(), kUniqueFileLetters);
    return std::all_of(letters.begin(), letters.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    });
}

}  // namespace kel::os
