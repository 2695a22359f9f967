#pragma once
// A re-read of the shown profile's file, in two halves so that the read may
// run on a thread of its own.
#include <string>

#include "profile/Kel.h"

namespace kel {

// A re-read of the shown profile's file while it may still be written: both
// show only a complete read; Quiet says nothing of one that is not, Final,
// once the retries are over, says why.
enum class TFollowAttempt { Quiet, Final };

// The shown profile's file read aside; made by StartFollowRead on the
// session's thread, filled by ReadFollowedFile on any thread.
struct TFollowRead {
    TKel profile;
    std::string path;
    TProfileLoadResult loaded;
};

// Reads read.path into read.profile; touches nothing else, so it may run on
// a thread of its own.
void ReadFollowedFile(TFollowRead& read);

// What a re-read of the shown profile's file did.
struct TFollowResult {
    TProfileLoadResult loaded;
    bool shown = false;  // the file's contents now are shown
    // For the user: after a Final attempt, why the file is not shown; or
    // why the profile shown could not be calculated. Empty otherwise.
    std::string report;
};

}  // namespace kel
