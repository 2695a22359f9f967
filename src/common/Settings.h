#pragma once
// The per-user settings store: sections holding named 32-bit integers and
// strings, all under one key. The GUI backs it with the platform's store;
// tests and runs without persistent settings use the in-memory store. There
// is no store of the process: whoever reads or writes settings is handed one.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace kel {

// The key every value of the program lives under.
inline constexpr std::string_view kSettingsKey = "Software\\VANTORbeta";

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // The integer value `name` of `section`, or nothing when it is absent or
    // not an integer.
    virtual std::optional<std::int32_t> FindInteger(std::string_view section, std::string_view name) const = 0;
    // The string value `name` of `section`, or nothing when it is absent or
    // not a string.
    virtual std::optional<std::string> FindString(std::string_view section, std::string_view name) const = 0;

    // Stores the value, replacing what was there; raises EFileError with the
    // store's reason when it cannot be written.
    virtual void WriteInteger(std::string_view section, std::string_view name, std::int32_t value) = 0;
    virtual void WriteString(std::string_view section, std::string_view name, std::string_view value) = 0;

    // Writes until EndWrites may be stored together, in one write of the
    // store; EndWrites raises EFileError as a failed write would.
    virtual void BeginWrites() {}
    virtual void EndWrites() {}

    // The stored value, or `fallback` when there is none.
    std::int32_t ReadInteger(std::string_view section, std::string_view name, std::int32_t fallback) const;
    std::string ReadString(std::string_view section, std::string_view name, std::string_view fallback) const;
};

// A store that lives as long as the object; writes never fail.
class MemorySettings : public SettingsStore {
public:
    std::optional<std::int32_t> FindInteger(std::string_view section, std::string_view name) const override;
    std::optional<std::string> FindString(std::string_view section, std::string_view name) const override;
    void WriteInteger(std::string_view section, std::string_view name, std::int32_t value) override;
    void WriteString(std::string_view section, std::string_view name, std::string_view value) override;

private:
    using Value = std::variant<std::int32_t, std::string>;
    const Value* Find(std::string_view section, std::string_view name) const;
    std::map<std::pair<std::string, std::string>, Value, std::less<>> values_;
};

}  // namespace kel
