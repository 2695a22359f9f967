#pragma once
// The main window's way of opening a profile, taken over by sessions of
// their own: the compare and summary windows open each profile as the main
// window would, with its fields, corrections and mode, without touching the
// profile the main window shows.
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "common/IoResult.h"
#include "common/Messages.h"
#include "common/Settings.h"
#include "kinetics/Kbasetxt.h"

namespace kel {

class TKelViewSession;

class TSessionTemplate {
public:
    // What main holds now: the settings it keeps, the dead time, the
    // "correct", "Normalise to Id" and "Time 0 at start" buttons, "ppb", and
    // a copy of the library it computes with (taken on main's thread).
    static TSessionTemplate Of(const TKelViewSession& main, const TKbase& library);

    // A session set up as main was, computing with the template's library;
    // safe on any thread, as it reads nothing shared.
    std::unique_ptr<TKelViewSession> NewSession() const;

    // Shows the profile at path in session as main would open it, in ppb or
    // count-rate mode as main was (D/H is left for count rates), and selects
    // the window: [from, to] seconds on the session's time axis, or the whole
    // profile. A profile that cannot be read or computed fails naming it.
    TIoResult Open(TKelViewSession& session, const std::string& path,
                   std::optional<std::pair<double, double>> window = std::nullopt) const;

    // For the windows' label: which of main's settings the results use.
    std::string Description() const;

    bool Ppb() const { return ppb_; }
    bool T0AtStart() const { return t0AtStart_; }

private:
    // Main's settings, which the sessions read only; their boxes go to the
    // sink of the thread that shows them (a job's capture or the caller's).
    std::shared_ptr<MemorySettings> settings_;
    std::shared_ptr<TKbase> library_;
    std::shared_ptr<TCurrentThreadMessages> messages_ = std::make_shared<TCurrentThreadMessages>();
    double deadTime_ = 0;
    bool correct_ = true, normId_ = false, t0AtStart_ = false, ppb_ = false;
    int sensitMode_ = 0;
};

}  // namespace kel
