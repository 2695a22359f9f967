#include "kinetics/KineticsLibrary.h"

#include "common/InstalledData.h"
#include "common/SafeFile.h"
#include "common/Settings.h"

namespace kel {

namespace {
TKbase g_library;
std::string g_fileName;
}  // namespace

TKbase& KineticsLibrary() { return g_library; }

const std::string& KineticsFileName() { return g_fileName; }

std::string DemoKineticsFileName() { return SharedDataFile("demo-kinetics.txt"); }

void SetKineticsFileName(std::string path) { g_fileName = std::move(path); }

TKineticsLoadResult LoadKineticsAtStartup(const SettingsStore& store) {
    g_fileName = store.ReadString(kKineticsSection, kKineticsFileValue, "");
    return ReloadKineticsLibrary();
}

TKineticsLoadResult ReloadKineticsLibrary() {
    g_library.Clear();
    return g_library.LoadFile(g_fileName);
}

std::string ReadMainKineticsText() { return ReadKineticsText(g_fileName); }

void WriteMainKineticsText(std::string_view text) { PutFileInPlace(g_fileName, text); }

TKineticsLoadResult ReloadKineticsLibraryKeeping() {
    const std::string text = ReadMainKineticsText();
    TKbase fresh;
    TKineticsLoadResult result = fresh.LoadText(text);
    result.io.file = g_fileName;
    g_library = std::move(fresh);
    return result;
}

void SaveFileName(SettingsStore& store) { store.WriteString(kKineticsSection, kKineticsFileValue, g_fileName); }

void ReleaseKineticsLibrary() {
    g_library.Clear();
    g_library.Lines.clear();
    g_fileName.clear();
}

}  // namespace kel
