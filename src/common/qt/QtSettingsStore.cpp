#include "common/qt/QtSettingsStore.h"

#include <limits>

#include "common/Errors.h"

namespace kel {

namespace {

QString KeyOf(std::string_view section, std::string_view name) {
    return QString::fromUtf8(section.data(), static_cast<qsizetype>(section.size())) + '/' +
           QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

// "Software\VANTORbeta" names the organisation after the "Software\" part.
QString Organisation() {
    std::string_view key = kSettingsKey;
    std::size_t slash = key.find_last_of('\\');
    key = slash == std::string_view::npos ? key : key.substr(slash + 1);
    return QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

std::unique_ptr<QSettings> UserSettings() {
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>("HKEY_CURRENT_USER\\Software\\" + Organisation(), QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, Organisation());
#endif
}

}  // namespace

QtSettingsStore::QtSettingsStore() : settings_(UserSettings()) {}

QtSettingsStore::QtSettingsStore(const std::string& iniPath)
    : settings_(std::make_unique<QSettings>(QString::fromStdString(iniPath), QSettings::IniFormat)) {}

std::optional<std::int32_t> QtSettingsStore::FindInteger(std::string_view section, std::string_view name) const {
    QVariant value = settings_->value(KeyOf(section, name));
    if (!value.isValid()) return std::nullopt;
    // Text files keep no types: an integer is whatever reads as one.
    bool ok = false;
    qlonglong number = value.toString().trimmed().toLongLong(&ok);
    if (!ok || number < std::numeric_limits<std::int32_t>::min() || number > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(number);
}

std::optional<std::string> QtSettingsStore::FindString(std::string_view section, std::string_view name) const {
    QVariant value = settings_->value(KeyOf(section, name));
    if (!value.isValid() || !value.canConvert<QString>()) return std::nullopt;
    return value.toString().toStdString();
}

void QtSettingsStore::WriteInteger(std::string_view section, std::string_view name, std::int32_t value) {
    Write(section, name, QVariant(value));
}

void QtSettingsStore::WriteString(std::string_view section, std::string_view name, std::string_view value) {
    Write(section, name, QVariant(QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()))));
}

void QtSettingsStore::Write(std::string_view section, std::string_view name, const QVariant& value) {
    const QString key = KeyOf(section, name);
    // Rewriting an unchanged value would still rewrite and sync the whole
    // file (QSettings does not compare); the browser stores its folder on
    // every listing, and closing stores every field.
    const QVariant stored = settings_->value(key);
    const bool same = stored.metaType() == value.metaType() ? stored == value
                                                            : stored.isValid() && stored.toString() == value.toString();
    if (same) return;
    settings_->setValue(key, value);
    if (!deferred_) Sync();
}

void QtSettingsStore::EndWrites() {
    deferred_ = false;
    Sync();
}

void QtSettingsStore::Sync() {
    settings_->sync();
    if (settings_->status() != QSettings::NoError)
        throw EFileError("The settings could not be written to " + Location());
}

std::string QtSettingsStore::Location() const { return settings_->fileName().toStdString(); }

}  // namespace kel
