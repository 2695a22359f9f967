#include "app/qt/WindowState.h"

#include <QByteArray>
#include <QMainWindow>
#include <QSplitter>

namespace kel {

namespace {

constexpr std::string_view kSection = "Window";

QByteArray Read(const SettingsStore& store, std::string_view name) {
    const std::optional<std::string> text = store.FindString(kSection, name);
    return text ? QByteArray::fromBase64(QByteArray::fromStdString(*text)) : QByteArray();
}

void Write(SettingsStore& store, std::string_view name, const QByteArray& bytes) {
    store.WriteString(kSection, name, bytes.toBase64().toStdString());
}

}  // namespace

bool RestoreWindowState(const SettingsStore& store, QMainWindow& window, QSplitter& splitter) {
    const QByteArray geometry = Read(store, "Geometry");
    if (geometry.isEmpty() || !window.restoreGeometry(geometry)) return false;
    window.restoreState(Read(store, "State"));
    splitter.restoreState(Read(store, "Splitter"));
    return true;
}

void SaveWindowState(SettingsStore& store, const QMainWindow& window, const QSplitter& splitter) {
    Write(store, "Geometry", window.saveGeometry());
    Write(store, "State", window.saveState());
    Write(store, "Splitter", splitter.saveState());
}

}  // namespace kel
