#include "browser/SessionTemplate.h"

#include "app/KelViewSession.h"
#include "common/NumberText.h"

namespace kel {

TSessionTemplate TSessionTemplate::Of(const TKelViewSession& main, const TKbase& library) {
    TSessionTemplate t;
    auto settings = std::make_shared<MemorySettings>();
    main.SaveSettings(*settings);
    t.settings_ = std::move(settings);
    t.library_ = std::make_shared<TKbase>(library);
    t.deadTime_ = main.FieldValue(TFieldId::feDeadT);
    t.correct_ = main.CorrectDown();
    t.normId_ = main.NormIdDown();
    t.t0AtStart_ = main.T0AtStart();
    t.ppb_ = main.PpbDown();
    t.sensitMode_ = main.SensitMode();
    return t;
}

std::unique_ptr<TKelViewSession> TSessionTemplate::NewSession() const {
    auto session = std::make_unique<TKelViewSession>(TSessionServices{*library_, *messages_, *settings_});
    session->LoadSettings(*settings_);
    // Each session selects compounds in a library of its own.
    session->UseOwnLibrary(*library_);
    session->SetFieldValue(TFieldId::feDeadT, deadTime_);
    if (session->CorrectDown() != correct_) session->btnApplyDeMrClick();
    if (session->NormIdDown() != normId_) session->btnNormIdClick();
    if (session->T0AtStart() != t0AtStart_) session->cbT0StartClick();
    return session;
}

TIoResult TSessionTemplate::Open(TKelViewSession& session, const std::string& path,
                                 std::optional<std::pair<double, double>> window) const {
    TProfileLoadResult loaded = session.ShowProfile(path);
    if (loaded.Failed()) {
        std::string reason = loaded.io.description();
        if (reason.empty()) reason = "\"" + path + "\" could not be read";
        return TIoResult::Failure(TIoStatus::Failed, path, reason);
    }
    // A profile the main window would show in D/H mode is compared by its
    // count rates, the one form of its results these windows take.
    if (session.IsotopeDown()) session.btnIRClick();
    if (session.PpbDown() != ppb_) session.BtnPpbClick();
    if (window)
        session.SelectTimes(window->first, window->second);
    else
        session.SelectAllClick();
    if (!session.WindowError().empty())
        return TIoResult::Failure(TIoStatus::Failed, path,
                                  "\"" + path + "\": the window calculation failed: " + session.WindowError());
    return TIoResult::Success();
}

std::string TSessionTemplate::Description() const {
    static const char* const kSensitivities[] = {"0", "1", "2", "3", "4"};
    return std::string("As the main window opens each profile: ") + (ppb_ ? "ppb" : "count rates") +
           ", correct " + (correct_ ? "on" : "off") + ", Normalise to Id " + (normId_ ? "on" : "off") +
           ", Time 0 at start " + (t0AtStart_ ? "on" : "off") + ", dead time " + FormatShortest(deadTime_) +
           ", sensitivity " + kSensitivities[sensitMode_ >= 0 && sensitMode_ <= 4 ? sensitMode_ : 0] +
           "; each profile's own flow-tube values and correction factors.";
}

}  // namespace kel
