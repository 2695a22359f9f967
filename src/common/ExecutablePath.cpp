#include "common/ExecutablePath.h"

#include <system_error>

namespace kel {

std::filesystem::path ExecutableFile() {
    // Linux names the program's file in /proc, symbolic links already resolved.
    std::error_code error;
    std::filesystem::path file = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : file;
}

}  // namespace kel
