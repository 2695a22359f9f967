// Opening and saving a profile in the session, the flow-tube fields, the
// settings and the options dialog's choices.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "app/KelViewSession.h"
#include "common/Platform.h"
#include "common/SafeMath.h"
#include "kinetics/Concentration.h"
#include "kinetics/KineticsLibrary.h"

namespace kel {

namespace {

constexpr double kQuarterPi = 0.78539816339744830962;

std::string WithoutFolder(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The path from the root, so that it names the file whatever folder becomes
// current later; as given when the current folder cannot be told.
std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(os::PathOf(path), error);
    return error ? path : os::Utf8Of(absolute.lexically_normal());
}

struct SettingSpec {
    std::string_view section, name;
    TFieldId field;
    double scale;
};

constexpr std::string_view kIsotopeSection = "IRDefaults";
constexpr std::string_view kMainSection = "VANTOR";
// Settings of the program's own views, apart from the settings table.
constexpr std::string_view kViewSection = "View";
constexpr std::string_view kReadoutName = "CursorReadout";

// The settings table, in the order it is read and written.
constexpr std::array<SettingSpec, 10> kSettings = {{
    {kIsotopeSection, "R2", TFieldId::feR2, 1e7},
    {kIsotopeSection, "R3", TFieldId::feR3, 1e7},
    {kIsotopeSection, "b74", TFieldId::feb74, 1},
    {kIsotopeSection, "b75", TFieldId::feb75, 1},
    {kIsotopeSection, "liq", TFieldId::feliq, 1000},
    {kMainSection, "De200", TFieldId::feDe200, 1000},
    {kMainSection, "Mr200", TFieldId::feMr200, 1000},
    {kMainSection, "Df73", TFieldId::feDf73, 1000},
    {kMainSection, "lr", TFieldId::felr, 1000},
    {kMainSection, "D", TFieldId::feD, 1000},
}};

constexpr std::string_view kSensitModeName = "SensitMode";

}  // namespace

void TKelViewSession::ReplaceProfile(TKel&& profile) {
    profile_ = std::move(profile);
    Mark(chProfile);
}

TProfileLoadResult TKelViewSession::ShowProfile(const std::string& fileName) {
    TFollowRead read = StartProfileRead(fileName);
    ReadFollowedFile(read);
    return ShowProfileRead(std::move(read));
}

TFollowRead TKelViewSession::StartProfileRead(const std::string& fileName) const {
    // The file is read into a copy of the shown record, which keeps what a
    // short legacy file does not hold, as reading over the record would; a
    // load that fails then leaves the shown profile whole, and every log,
    // copy and save goes on naming it and using its numbers.
    TFollowRead read{profile_, fileName, {}};
    read.profile.SetArrays(28, 200);
    // The window's corrections stand unless the file holds its own.
    read.profile.De200 = FieldValue(TFieldId::feDe200);
    read.profile.Mr200 = FieldValue(TFieldId::feMr200);
    read.profile.Df73 = FieldValue(TFieldId::feDf73);
    return read;
}

TProfileLoadResult TKelViewSession::ShowProfileRead(TFollowRead&& read) {
    const std::string fileName = std::move(read.path);
    TKel& loading = read.profile;
    TProfileLoadResult loaded = std::move(read.loaded);
    ShowMessageBoxes(LoadNotices(loaded));
    if (loaded.Failed()) return loaded;
    // Another profile's analysis is not this one's to undo.
    const TUndoStep step(*this, TStepKind::NewHistory);

    logHeaderPending_ = true;
    bool ppbWasDown = PpbDown();
    // "ppb" is up while the profile is taken in; an error on the way leaves it up.
    struct Restore {
        TKelViewSession& s;
        TModeButton modeBefore;
        ~Restore() {
            s.ready_ = true;
            s.SetStatusText(s.profile_.FileName);
            // "ppb" was up only while the profile was taken in: a button
            // that is down again has not changed.
            if (s.modeDown_ != modeBefore) s.Mark(chModes);
        }
    } restore{*this, modeDown_};
    if (ppbWasDown) modeDown_ = TModeButton::None;
    ready_ = false;
    loading.FileName = WithoutFolder(fileName);
    ReplaceProfile(std::move(loading));
    profilePath_ = AbsolutePath(fileName);
    SetTexts({profile_.FileName, profile_.ion, profile_.reactant, profile_.comment});
    SetFieldValue(TFieldId::feDe200, profile_.De200);
    SetFieldValue(TFieldId::feMr200, profile_.Mr200);
    SetFieldValue(TFieldId::feDf73, profile_.Df73);
    if (ppbWasDown) modeDown_ = TModeButton::Ppb;
    PpbAction();
    bool fams = profile_.ion.find("FAMS") != std::string::npos;
    if (fams)
        SetModeDown(TModeButton::Isotope);
    else if (IsotopeDown())
        SetModeDown(TModeButton::None);
    RefreshPlot();  // the "D/H" action
    RefreshPlot();
    ShowFlowTube();
    // Another profile's views mean nothing for this one.
    history_.Clear();
    // A selection made on a profile elsewhere in time would leave every
    // result "n.a." and the plot looking empty.
    if (SelectionMeetsCurves())
        ShowAllClick();
    else
        SelectAllClick();
    return loaded;
}

void TKelViewSession::ShowFlowTube() {
    SetFieldValue(TFieldId::feTg, profile_.Tg);
    SetFieldValue(TFieldId::felr, profile_.lr);
    SetFieldValue(TFieldId::fefr, profile_.f1);
    SetFieldValue(TFieldId::feD, std::sqrt(static_cast<double>(profile_.Aft) / kQuarterPi));
}

void TKelViewSession::PrepareSave(const TProfileTexts& texts) {
    profile_.FileName = texts.FileName;
    profile_.f1 = FieldValue(TFieldId::fefr);
    UpdateComments(texts);
}

TSaveOutcome TKelViewSession::SaveProfileAs(const std::string& path) {
    const std::string name = WithoutFolder(path);
    std::string extension = name.substr(std::min(name.rfind('.'), name.size()));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const std::string before = profile_.FileName;
    profile_.FileName = path;
    bool worksheet = extension == ".CSV";
    TIoResult saved = worksheet ? profile_.WriteCsv(path) : profile_.SaveZipped(path);
    if (saved && worksheet) return TSaveOutcome::Worksheet;
    if (saved) {
        TProfileTexts texts = texts_;
        texts.FileName = name;
        SetTexts(texts);
        return TSaveOutcome::Profile;
    }
    ShowMessageBoxes({DebugFileNotice("Save Error!", path, saved.reason)});
    profile_.FileName = before;
    return TSaveOutcome::Failed;
}

void TKelViewSession::fefrTgEtcExit() {
    if (!ready_) return;
    profile_.Tg = FieldValue(TFieldId::feTg);
    profile_.lr = FieldValue(TFieldId::felr);
    double d = FieldValue(TFieldId::feD);
    profile_.Aft = d * d * kQuarterPi;
    profile_.f1 = FieldValue(TFieldId::fefr);
    RefreshPlot();
}

void TKelViewSession::LoadSettings(const SettingsStore& store) {
    const TUndoStep step(*this, TStepKind::NewHistory);
    for (const SettingSpec& s : kSettings) {
        auto current = static_cast<std::int32_t>(RoundHalfEvenToInt(FieldValue(s.field) * s.scale));
        std::int32_t stored = store.ReadInteger(s.section, s.name, current);
        SetFieldValue(s.field, stored / s.scale);
    }
    std::int32_t mode = store.ReadInteger(kMainSection, kSensitModeName, sensitMode_);
    if (mode >= 0 && mode <= 4) Change(sensitMode_, mode, chModes);
    const bool readout = store.ReadInteger(kViewSection, kReadoutName, readoutOn_ ? 1 : 0) != 0;
    if (readout != readoutOn_) ReadoutClick();
    LoadCurveSettings(store);
}

bool TKelViewSession::SetSensitMode(int mode) {
    if (mode < 0 || mode > 4) return false;
    Change(sensitMode_, mode, chModes);
    RefreshPlot();
    return true;
}

bool TKelViewSession::ApplyOptions(const std::string& kineticsFile, int sensitMode) {
    if (sensitMode < 0 || sensitMode > 4) return false;
    if (kineticsFile != KineticsFileName()) {
        SetKineticsFileName(kineticsFile);
        Library().Clear();
        ShowMessageBoxes(KineticsNotices(Library().LoadFile(kineticsFile)));
        // A reloaded library has no compound selected: without a new "ppb"
        // selection the ppb plot would lose every curve.
        if (PpbDown()) SelectCompoundsForPpb(Library(), profile_);
    }
    return SetSensitMode(sensitMode);
}

void TKelViewSession::SaveSettings(SettingsStore& store) const {
    try {
        for (const SettingSpec& s : kSettings)
            store.WriteInteger(s.section, s.name, static_cast<std::int32_t>(RoundHalfEvenToInt(FieldValue(s.field) * s.scale)));
        store.WriteInteger(kMainSection, kSensitModeName, sensitMode_);
        store.WriteInteger(kViewSection, kReadoutName, readoutOn_ ? 1 : 0);
        SaveCurveSettings(store);
    } catch (const std::exception&) {
        // The program ends all the same; a settings store that cannot be
        // written must not keep the user from closing it.
    }
}

}  // namespace kel
