// Opening a profile into the session, the flow-tube fields and the settings.
#include <cmath>

#include "app/KelViewSession.h"
#include "common/SafeMath.h"

namespace kel {

namespace {

constexpr double kQuarterPi = 0.78539816339744830962;

std::string WithoutFolder(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

struct SettingSpec {
    std::string_view section, name;
    TFieldId field;
    double scale;
};

constexpr std::string_view kIsotopeSection = "IRDefaults";
constexpr std::string_view kMainSection = "VANTOR";

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

void TKelViewSession::ShowProfile(const std::string& fileName) {
    LogHeaderPending = true;
    bool ppbWasDown = PpbDown();
    if (ppbWasDown) modeDown_ = TModeButton::None;
    struct Restore {
        TKelViewSession& s;
        ~Restore() {
            s.Ready = true;
            s.StatusText = s.Profile.FileName;
        }
    } restore{*this};
    Profile.SetArrays(28, 200);
    Ready = false;
    edFileName = WithoutFolder(fileName);
    Profile.De200 = FieldValue(TFieldId::feDe200);
    Profile.Mr200 = FieldValue(TFieldId::feMr200);
    Profile.Df73 = FieldValue(TFieldId::feDf73);
    Profile.LoadFromFile(fileName);
    Profile.FileName = WithoutFolder(fileName);
    edFileName = Profile.FileName;
    edIon = Profile.ion;
    edSample = Profile.reactant;
    edComment = Profile.comment;
    SetFieldValue(TFieldId::feDe200, Profile.De200);
    SetFieldValue(TFieldId::feMr200, Profile.Mr200);
    SetFieldValue(TFieldId::feDf73, Profile.Df73);
    if (ppbWasDown) modeDown_ = TModeButton::Ppb;
    PpbAction();
    bool fams = Profile.ion.find("FAMS") != std::string::npos;
    if (fams)
        modeDown_ = TModeButton::Isotope;
    else if (IsotopeDown())
        modeDown_ = TModeButton::None;
    RefreshPlot();  // the "D/H" action
    RefreshPlot();
    ShowFlowTube();
    ShowAllClick();
}

void TKelViewSession::ShowFlowTube() {
    SetFieldValue(TFieldId::feTg, Profile.Tg);
    SetFieldValue(TFieldId::felr, Profile.lr);
    SetFieldValue(TFieldId::fefr, Profile.f1);
    SetFieldValue(TFieldId::feD, std::sqrt(static_cast<double>(Profile.Aft) / kQuarterPi));
}

void TKelViewSession::fefrTgEtcExit() {
    if (!Ready) return;
    Profile.Tg = FieldValue(TFieldId::feTg);
    Profile.lr = FieldValue(TFieldId::felr);
    double d = FieldValue(TFieldId::feD);
    Profile.Aft = d * d * kQuarterPi;
    Profile.f1 = FieldValue(TFieldId::fefr);
    RefreshPlot();
}

void TKelViewSession::LoadSettings(const SettingsStore& store) {
    for (const SettingSpec& s : kSettings) {
        auto current = static_cast<std::int32_t>(RoundHalfEvenToInt(FieldValue(s.field) * s.scale));
        std::int32_t stored = store.ReadInteger(s.section, s.name, current);
        SetFieldValue(s.field, stored / s.scale);
    }
    std::int32_t mode = store.ReadInteger(kMainSection, kSensitModeName, SensitMode);
    if (mode >= 0 && mode <= 4) SensitMode = mode;
}

void TKelViewSession::SaveSettings(SettingsStore& store) const {
    try {
        for (const SettingSpec& s : kSettings)
            store.WriteInteger(s.section, s.name, static_cast<std::int32_t>(RoundHalfEvenToInt(FieldValue(s.field) * s.scale)));
        store.WriteInteger(kMainSection, kSensitModeName, SensitMode);
    } catch (const std::exception&) {
        // The program ends all the same; a settings store that cannot be
        // written must not keep the user from closing it.
    }
}

}  // namespace kel
