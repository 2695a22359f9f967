#include "cli/CliSession.h"

#include <fstream>
#include <iostream>

#include "app/AnalysisFile.h"
#include "cli/FieldSettings.h"
#include "common/Errors.h"
#include "common/Messages.h"
#include "common/Platform.h"
#include "kinetics/KineticsLibrary.h"

namespace kel::cli {

namespace {

std::unique_ptr<SettingsStore> StoreFor(const TCommonOptions& options) {
    if (options.userSettings) {
#if KELVIEW_WITH_QT
        return UserSettingsStore();
#else
        throw EUsage("--settings: this kelview-cli was built without the user's settings store (Qt)");
#endif
    }
    return std::make_unique<MemorySettings>();
}

// The library named by the options, else by the analysis when it is there,
// else by the settings, else the demo one.
std::string KineticsFileOf(const TCommonOptions& options, const SettingsStore& store) {
    if (options.kinetics) return *options.kinetics;
    if (options.analysis) {
        std::string named;
        try {
            named = ReadAnalysisFile(*options.analysis).kineticsPath;
        } catch (const EKelError& error) {
            throw EFailure(error.what());
        }
        // A missing one is told when the analysis is opened.
        if (!named.empty() && std::ifstream(os::PathOf(named), std::ios::binary)) return named;
    }
    std::string stored = store.ReadString(kKineticsSection, kKineticsFileValue, "");
    if (!stored.empty()) return stored;
    std::string demo = DemoKineticsFileName();
    if (demo.empty())
        throw EFailure("no kinetics file named, and the demo one cannot be found: the program's folder is unknown");
    return demo;
}

void LoadKinetics(const std::string& path) {
    // The library reader passes over a file it cannot read; here that would
    // quietly leave every ppb result out.
    if (!std::ifstream(os::PathOf(path), std::ios::binary))
        throw EFailure("the kinetics file \"" + path + "\" cannot be read");
    SetKineticsFileName(path);
    TKineticsLoadResult loaded = ReloadKineticsLibrary();
    ShowNotices(KineticsNotices(loaded));
    if (loaded.io.status == TIoStatus::Failed) throw EFailure(loaded.io.reason + "; nothing done");
    if (!loaded) throw EFailure("the kinetics file \"" + path + "\" is damaged; nothing done");
}

}  // namespace

TCliSession::TCliSession(const TCommonOptions& options)
    : options_(options), store_(StoreFor(options)), Session(Services()) {
    LoadKinetics(KineticsFileOf(options_, *store_));
    Session.LoadSettings(*store_);
}

TCliSession::~TCliSession() { ReleaseKineticsLibrary(); }

TSessionServices TCliSession::Services() const { return {KineticsLibrary(), messages_, *store_}; }

namespace {

void ApplyMode(TKelViewSession& session, TModeChoice mode) {
    switch (mode) {
        case TModeChoice::AsOpened:
            break;
        case TModeChoice::Rate:
            if (session.PpbDown()) session.BtnPpbClick();
            if (session.IsotopeDown()) session.btnIRClick();
            break;
        case TModeChoice::Ppb:
            if (!session.PpbDown()) session.BtnPpbClick();
            break;
        case TModeChoice::Isotope:
            if (!session.IsotopeDown()) session.btnIRClick();
            break;
    }
}

void ApplySelection(TKelViewSession& session, const TCommonOptions& options) {
    // An analysis brings its own selection.
    if (!options.select && options.analysis) return;
    if (!options.select) {
        session.SelectAllClick();
        return;
    }
    session.SelectTimes(options.select->first, options.select->second);
}

}  // namespace

void OpenAsWindow(TKelViewSession& session, const TCommonOptions& options, const std::string& file) {
    if (options.analysis) {
        const TAnalysisOpenResult opened = session.OpenAnalysis(*options.analysis, file, options.kinetics.has_value());
        if (!opened.error.empty()) throw EFailure(opened.error);
        for (const std::string& notice : opened.notices) std::cerr << "kelview-cli: " << notice << '\n';
        ApplyWindowOptions(session, options);
        return;
    }
    TProfileLoadResult loaded = session.ShowProfile(file);
    if (loaded.ended) throw EFailure(loaded.io.reason);
    if (!loaded) throw EFailure("\"" + file + "\" could not be read; nothing done");
    ApplyWindowOptions(session, options);
}

void ApplyWindowOptions(TKelViewSession& session, const TCommonOptions& options) {
    ApplyMode(session, options.mode);
    ApplyFieldSettings(session, options);
    if (options.linear && session.LogPlotTicked()) session.LogplotCtrlEnter1Click();
    ApplySelection(session, options);
}

void ApplyFieldSettings(TKelViewSession& session, const TCommonOptions& options) {
    for (const TFieldSetting& setting : options.settings)
        if (!ApplyFieldSetting(session, setting)) throw EFailure("--set " + setting.name + ": value refused; nothing done");
}

void TCliSession::Open(const std::string& file) { OpenAsWindow(Session, options_, file); }

void TCliSession::ApplyOptions() { ApplyWindowOptions(Session, options_); }

void TCliSession::ApplyFieldSettings() { cli::ApplyFieldSettings(Session, options_); }

std::unique_ptr<TKelViewSession> TCliSession::NewJobSession() const {
    auto session = std::make_unique<TKelViewSession>(Services());
    session->LoadSettings(*store_);
    session->UseOwnLibrary(KineticsLibrary());
    cli::ApplyFieldSettings(*session, options_);
    return session;
}

}  // namespace kel::cli
