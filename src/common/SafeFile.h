#pragma once
// Writing files so that a failure never costs the user the file they had.
#include <string>
#include <string_view>

namespace kel {

// Writes bytes to a temporary file in path's folder and renames it over path
// only when everything was written. On failure returns false, leaves no
// temporary file and leaves an existing file at path untouched; `error`
// (when given) receives the system's reason.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, std::string* error = nullptr);

// Reads a whole file; raises EFileError with the system's reason on failure.
std::string ReadWholeFile(const std::string& path);

}  // namespace kel
