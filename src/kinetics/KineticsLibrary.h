#pragma once
// The one kinetics library of the program and the name of its main file.
// Both live for the whole run; these functions are the only way to change them.
#include <string>
#include <string_view>

#include "common/Settings.h"
#include "kinetics/Kbasetxt.h"

namespace kel {

// Where the main kinetics file's name is kept in the settings store.
inline constexpr std::string_view kKineticsSection = "VANTOR";
inline constexpr std::string_view kKineticsFileValue = "kbase";

// The library that the main window, the plot and the result logs use.
TKbase& KineticsLibrary();

// Path of the main kinetics file (empty when none was named).
const std::string& KineticsFileName();

// The demo library installed with the program, used when none was named;
// empty when the program's own folder is unknown.
std::string DemoKineticsFileName();

// Names a new main kinetics file; the library keeps its compounds until reloaded.
void SetKineticsFileName(std::string path);

// Start-up: takes the main file's name from store (empty when absent) and
// loads the library from it.
TKineticsLoadResult LoadKineticsAtStartup(const SettingsStore& store);

// Empties the library and reads it again from the main file.
TKineticsLoadResult ReloadKineticsLibrary();

// The main file's whole text; raises EFileError naming the file and the
// system's reason when it cannot be read.
std::string ReadMainKineticsText();

// Replaces the main file by text, composed aside and renamed over it; raises
// EFileWriteError, and the file then keeps what it held.
void WriteMainKineticsText(std::string_view text);

// Reads the library again from the main file as ReloadKineticsLibrary does,
// but when the file cannot be read raises EFileError and keeps the
// compounds the library held.
TKineticsLoadResult ReloadKineticsLibraryKeeping();

// Writes the main file's name to store; raises EFileError when the store
// cannot be written.
void SaveFileName(SettingsStore& store);

// Shut-down: frees the compounds and forgets the name.
void ReleaseKineticsLibrary();

}  // namespace kel
