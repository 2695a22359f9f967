#pragma once
// What loading a profile file did, and the message boxes the window shows
// for it.
#include "common/IoResult.h"
#include "common/Notice.h"

namespace kel {

// A profile load's result. OpenFailed: the record is as before apart from
// DateOrigin (0). Damaged without `ended`: a legacy record read as far as it
// goes, the rest zero. With `ended` the load stopped at the failure (a
// damaged XML or zipped profile, a conversion error, no memory): fields
// already set stay set and nothing after the failure ran; the reason is the
// text of the error box.
struct TProfileLoadResult {
    TIoResult io;
    bool ended = false;
    // A legacy file ended before p, fc and f1, whose defaults stand in; only
    // a notice, not a failure.
    bool flowTubeMissing = false;

    // True when the load gave nothing to show: it ended at a failure or the
    // file could not be opened. A damaged legacy record that read on is shown.
    bool Failed() const { return ended || io.status == TIoStatus::OpenFailed; }
    bool ok() const { return io.ok(); }
    explicit operator bool() const { return io.ok(); }
    // The file's result alone, for a caller that hands it on.
    explicit operator TIoResult() const { return io; }
};

// The boxes of a load that read on, in the order they are shown: "Open
// Error!" with the file's name and the system's reason, "Damaged profile:
// name", "p and fc info missing". A load that ended has none here: its reason
// is an error for the caller.
TNotices LoadNotices(const TProfileLoadResult& result);

}  // namespace kel
