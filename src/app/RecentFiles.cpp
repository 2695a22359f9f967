#include "app/RecentFiles.h"

#include <algorithm>

namespace kel {

namespace {

constexpr std::string_view kProfileValue = "Profile";
constexpr std::string_view kFolderValue = "Folder";

// Slots are numbered from 1: "Profile1" is the newest.
std::string SlotName(std::string_view kind, std::size_t slot) { return std::string(kind) + std::to_string(slot + 1); }

std::vector<std::string> ReadList(const SettingsStore& store, std::string_view kind) {
    std::vector<std::string> paths;
    for (std::size_t slot = 0; slot < kRecentCapacity; ++slot) {
        const std::string path = store.ReadString(kRecentSection, SlotName(kind, slot), "");
        if (!path.empty() && std::find(paths.begin(), paths.end(), path) == paths.end()) paths.push_back(path);
    }
    return paths;
}

void WriteList(SettingsStore& store, std::string_view kind, const std::vector<std::string>& paths) {
    for (std::size_t slot = 0; slot < kRecentCapacity; ++slot)
        store.WriteString(kRecentSection, SlotName(kind, slot), slot < paths.size() ? paths[slot] : std::string());
}

}  // namespace

void AddRecent(std::vector<std::string>& paths, const std::string& path) {
    if (path.empty()) return;
    ForgetRecent(paths, path);
    paths.insert(paths.begin(), path);
    if (paths.size() > kRecentCapacity) paths.resize(kRecentCapacity);
}

void ForgetRecent(std::vector<std::string>& paths, const std::string& path) {
    paths.erase(std::remove(paths.begin(), paths.end(), path), paths.end());
}

TRecentFiles ReadRecentFiles(const SettingsStore& store) {
    return {ReadList(store, kProfileValue), ReadList(store, kFolderValue)};
}

void WriteRecentFiles(SettingsStore& store, const TRecentFiles& recent) {
    WriteList(store, kProfileValue, recent.Profiles);
    WriteList(store, kFolderValue, recent.Folders);
}

}  // namespace kel
