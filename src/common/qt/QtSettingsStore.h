#pragma once
// The per-user settings store on QSettings: on Windows the registry key
// HKEY_CURRENT_USER\Software\VANTORbeta itself, elsewhere the user's
// VANTORbeta configuration file; sections become QSettings groups.
#include <QSettings>
#include <memory>
#include <string>

#include "common/Settings.h"

namespace kel {

class QtSettingsStore : public SettingsStore {
public:
    // The user's own store under kSettingsKey.
    QtSettingsStore();
    // An INI file of its own (tests, portable set-ups).
    explicit QtSettingsStore(const std::string& iniPath);

    std::optional<std::int32_t> FindInteger(std::string_view section, std::string_view name) const override;
    std::optional<std::string> FindString(std::string_view section, std::string_view name) const override;
    void WriteInteger(std::string_view section, std::string_view name, std::int32_t value) override;
    void WriteString(std::string_view section, std::string_view name, std::string_view value) override;
    // Every stored file is written to disk and synced: at closing time a
    // dozen values are one file write, not a dozen.
    void BeginWrites() override { deferred_ = true; }
    void EndWrites() override;

    // Where the values live, for messages.
    std::string Location() const;

private:
    void Write(std::string_view section, std::string_view name, const QVariant& value);
    void Sync();
    std::unique_ptr<QSettings> settings_;
    bool deferred_ = false;
};

}  // namespace kel
