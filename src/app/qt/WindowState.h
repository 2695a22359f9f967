#pragma once
// Where the user left the main window: its geometry, tool bar and splitter,
// kept in the settings store beside the analysis settings.
#include "common/Settings.h"

class QMainWindow;
class QSplitter;

namespace kel {

// Puts window and splitter back as last saved; false when nothing was saved.
bool RestoreWindowState(const SettingsStore& store, QMainWindow& window, QSplitter& splitter);

// Writes window's geometry and state and splitter's sizes.
void SaveWindowState(SettingsStore& store, const QMainWindow& window, const QSplitter& splitter);

}  // namespace kel
