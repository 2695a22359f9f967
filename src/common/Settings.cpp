#include "common/Settings.h"

namespace kel {

std::int32_t SettingsStore::ReadInteger(std::string_view section, std::string_view name,
                                        std::int32_t fallback) const {
    return FindInteger(section, name).value_or(fallback);
}

std::string SettingsStore::ReadString(std::string_view section, std::string_view name,
                                      std::string_view fallback) const {
    std::optional<std::string> value = FindString(section, name);
    return value ? *value : std::string(fallback);
}

const MemorySettings::Value* MemorySettings::Find(std::string_view section, std::string_view name) const {
    auto it = values_.find(std::make_pair(std::string(section), std::string(name)));
    return it == values_.end() ? nullptr : &it->second;
}

std::optional<std::int32_t> MemorySettings::FindInteger(std::string_view section, std::string_view name) const {
    const Value* value = Find(section, name);
    if (value == nullptr || !std::holds_alternative<std::int32_t>(*value)) return std::nullopt;
    return std::get<std::int32_t>(*value);
}

std::optional<std::string> MemorySettings::FindString(std::string_view section, std::string_view name) const {
    const Value* value = Find(section, name);
    if (value == nullptr || !std::holds_alternative<std::string>(*value)) return std::nullopt;
    return std::get<std::string>(*value);
}

void MemorySettings::WriteInteger(std::string_view section, std::string_view name, std::int32_t value) {
    values_[std::make_pair(std::string(section), std::string(name))] = value;
}

void MemorySettings::WriteString(std::string_view section, std::string_view name, std::string_view value) {
    values_[std::make_pair(std::string(section), std::string(name))] = std::string(value);
}

}  // namespace kel
