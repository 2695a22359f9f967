#include "app/qt/WindowState.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QMainWindow>
#include <QRect>
#include <QScreen>
#include <QSplitter>
#include <QStringList>
#include <algorithm>
#include <optional>

namespace kel {

namespace {

constexpr std::string_view kSection = "Window";

QByteArray Read(const SettingsStore& store, std::string_view name) {
    const std::optional<std::string> text = store.FindString(kSection, name);
    return text ? QByteArray::fromBase64(QByteArray::fromStdString(*text)) : QByteArray();
}

// The window's own area (without frame) as last left: "x y width height".
std::optional<QRect> ReadPlace(const SettingsStore& store) {
    const std::optional<std::string> text = store.FindString(kSection, "Place");
    if (!text) return std::nullopt;
    const QStringList parts = QString::fromStdString(*text).split(QLatin1Char(' '));
    if (parts.size() != 4) return std::nullopt;
    int numbers[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = parts[i].toInt(&ok);
        if (!ok) return std::nullopt;
    }
    const QRect place(numbers[0], numbers[1], numbers[2], numbers[3]);
    return place.isValid() ? std::optional<QRect>(place) : std::nullopt;
}

// Whether rect lies whole within one screen's available area.
bool OnAScreen(const QRect& rect) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(),
                       [&rect](const QScreen* screen) { return screen->availableGeometry().contains(rect); });
}

void Write(SettingsStore& store, std::string_view name, const QByteArray& bytes) {
    store.WriteString(kSection, name, bytes.toBase64().toStdString());
}

}  // namespace

bool RestoreWindowState(const SettingsStore& store, QMainWindow& window, QSplitter& splitter) {
    const QByteArray geometry = Read(store, "Geometry");
    if (geometry.isEmpty() || !window.restoreGeometry(geometry)) return false;
    // Qt's restore keeps room for a title bar above the window, which a
    // desktop without a window manager does not draw: each start would put
    // the window lower. Where the window was left lies on a screen, it goes
    // back exactly there.
    if (!(window.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        if (const std::optional<QRect> place = ReadPlace(store); place && OnAScreen(*place)) window.setGeometry(*place);
    window.restoreState(Read(store, "State"));
    splitter.restoreState(Read(store, "Splitter"));
    return true;
}

void SaveWindowState(SettingsStore& store, const QMainWindow& window, const QSplitter& splitter) {
    Write(store, "Geometry", window.saveGeometry());
    const QRect place = window.normalGeometry();
    store.WriteString(kSection, "Place",
                      QStringLiteral("%1 %2 %3 %4").arg(place.x()).arg(place.y()).arg(place.width()).arg(place.height()).toStdString());
    Write(store, "State", window.saveState());
    Write(store, "Splitter", splitter.saveState());
}

}  // namespace kel
