#pragma once
// The running program's own file: the one question about the program's
// whereabouts that only the operating system can answer.
#include <filesystem>

namespace kel {

// The absolute path of the running program's executable file; empty when
// the system does not say.
std::filesystem::path ExecutableFile();

}  // namespace kel
