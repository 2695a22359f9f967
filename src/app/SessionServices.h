#pragma once
// What a session works with but does not own: whoever makes the session
// (the program's start-up, the command-line tool, a test) decides which
// library it computes from, where its boxes go, which settings it reads and
// which clipboard takes its pictures, so that two sessions in one process
// need not share any of them.
#include "common/Messages.h"
#include "common/Settings.h"
#include "kinetics/Kbasetxt.h"
#include "plot/GraphClipboard.h"

namespace kel {

// Each must outlive the sessions made with it.
struct TSessionServices {
    TKbase& library;                       // the compounds "ppb" selects and computes from
    MessageSink& messages;                 // the boxes the session shows itself
    SettingsStore& settings;               // the user's stored settings
    TGraphClipboard* clipboard = nullptr;  // "Copy picture"; null: none is available
};

}  // namespace kel
