#pragma once
// The files installed with the program, found from where the program itself
// lies: the programs in PREFIX/bin, their modules in PREFIX/lib/kelview,
// their data in PREFIX/share/kelview and their documentation in
// PREFIX/share/doc/kelview. The build tree is laid out the same way, so a
// program finds its files there as it does once installed.
#include <string>
#include <string_view>

namespace kel {

// PREFIX/share/kelview/name for the running program; empty when the
// program's own folder is unknown.
std::string SharedDataFile(std::string_view name);

// PREFIX/lib/kelview/name, a module the program loads when it needs it;
// empty when the program's own folder is unknown.
std::string ModuleFile(std::string_view name);

// PREFIX/share/doc/kelview/name for the running program; empty when the
// program's own folder is unknown.
std::string DocumentationFile(std::string_view name);

}  // namespace kel
