#pragma once
// zlib's raw deflate and inflate of one zip member, and the archive's error
// texts they share with the container.
#include <string>
#include <string_view>

#include "zip/SciZipFile.h"

namespace kel::zipcodec {

// Raises EZipFileError "Damaged archive: what".
[[noreturn]] void Damaged(const std::string& what);

// The name in double quotes, as messages show member and file names.
std::string Quoted(const std::string& name);

// The member's data inflated to exactly its recorded size; raises
// EZipFileError when the data holds fewer or more bytes or cannot be
// inflated. The output grows only as the data delivers it.
std::string Inflate(const TLocalFile& file);

// The raw deflate stream of data at zlib's default level.
std::string Deflate(std::string_view data);

}  // namespace kel::zipcodec
