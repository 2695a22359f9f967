#pragma once
// The File menu's recent profiles and folders: newest first, each path once,
// at most kRecentCapacity of each, kept in the settings section "Recent"
// beside (not inside) the sections the command-line tool shares.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/Settings.h"

namespace kel {

inline constexpr std::size_t kRecentCapacity = 10;
inline constexpr std::string_view kRecentSection = "Recent";

// Paths are compared as given: callers pass absolute, cleaned paths.
struct TRecentFiles {
    std::vector<std::string> Profiles;  // newest first
    std::vector<std::string> Folders;   // newest first
};

// Puts path first; an earlier entry of the same path goes, and so does the
// oldest beyond kRecentCapacity. An empty path changes nothing.
void AddRecent(std::vector<std::string>& paths, const std::string& path);

// Takes path out of the list; nothing happens when it is not there.
void ForgetRecent(std::vector<std::string>& paths, const std::string& path);

// The lists as last written; empty values, repeats and values beyond the
// capacity are left out, so a hand-edited file cannot break the menu.
TRecentFiles ReadRecentFiles(const SettingsStore& store);

// Writes both lists, clearing the slots a shorter list no longer uses.
void WriteRecentFiles(SettingsStore& store, const TRecentFiles& recent);

}  // namespace kel
