#include "common/InstalledData.h"

#include <filesystem>

#include "common/Platform.h"

namespace kel {

namespace {

// PREFIX/folder/name, PREFIX being the folder above the program's own.
std::string InstalledFile(std::string_view folder, std::string_view name) {
    std::filesystem::path program = os::ExecutableFile();
    if (program.empty()) return {};
    return os::Utf8Of((program.parent_path().parent_path() / os::PathOf(folder) / os::PathOf(name)).make_preferred());
}

}  // namespace

std::string SharedDataFile(std::string_view name) { return InstalledFile("share/kelview", name); }

std::string ModuleFile(std::string_view name) { return InstalledFile("lib/kelview", name); }

std::string DocumentationFile(std::string_view name) { return InstalledFile("share/doc/kelview", name); }

}  // namespace kel
