#pragma once
// The main window's session as the command-line tool prepares it: the
// settings store (the user's, or one in memory that nothing keeps), the main
// kinetics library, and a profile opened as the window opens it, with the
// mode, field values and selection of the command line applied.
#include <memory>
#include <string>

#include "app/KelViewSession.h"
#include "cli/CliOptions.h"
#include "common/Settings.h"

namespace kel::cli {

// ShowProfile in session, then the mode, the --set values, --linear and the
// selection of options; raises EFailure when the profile or a value is
// refused. What TCliSession::Open does, for sessions of the caller's own.
void OpenAsWindow(TKelViewSession& session, const TCommonOptions& options, const std::string& file);

// What OpenAsWindow does after showing the profile: the mode, the --set
// values, --linear and the selection; raises EFailure for a refused value.
void ApplyWindowOptions(TKelViewSession& session, const TCommonOptions& options);

// The --set values of options alone, in order; raises EFailure for a refused one.
void ApplyFieldSettings(TKelViewSession& session, const TCommonOptions& options);

// The user's own settings store, the one the window reads and writes; only
// in a tool built with Qt.
std::unique_ptr<SettingsStore> UserSettingsStore();

class TCliSession {
public:
    // Opens the settings store and loads the kinetics library; raises
    // EFailure when the library cannot be read.
    explicit TCliSession(const TCommonOptions& options);
    ~TCliSession();
    TCliSession(const TCliSession&) = delete;
    TCliSession& operator=(const TCliSession&) = delete;

    // ShowProfile, then the mode, the --set values, --linear and the
    // selection; raises EFailure when the profile or a value is refused.
    void Open(const std::string& file);
    // What Open does after showing the profile: the mode, the --set values,
    // --linear and the selection; raises EFailure for a refused value.
    void ApplyOptions();
    // The --set values alone, in order (the batch applies them before it starts).
    void ApplyFieldSettings();

    // A session prepared as Session was before its first profile (settings,
    // --set values) that computes with a copy of the loaded library, for
    // work on a thread of its own.
    std::unique_ptr<TKelViewSession> NewJobSession() const;
    const TCommonOptions& Options() const { return options_; }

private:
    // The program's library, the options' settings store and no clipboard;
    // the boxes go where those of the code beneath the session go, so that
    // a batch's report keeps them in order with its progress.
    TSessionServices Services() const;

    TCommonOptions options_;
    std::unique_ptr<SettingsStore> store_;
    mutable TCurrentThreadMessages messages_;

public:
    TKelViewSession Session;
};

}  // namespace kel::cli
