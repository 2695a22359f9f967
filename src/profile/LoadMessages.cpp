#include "profile/LoadResult.h"

namespace kel {

TNotices LoadNotices(const TProfileLoadResult& result) {
    TNotices notices;
    // A load that ended leaves its reason to the caller, as an error.
    bool readOn = !result.ended;
    if (readOn && result.io.status == TIoStatus::OpenFailed)
        notices.push_back(DebugFileNotice("Open Error!", result.io.file, result.io.reason));
    if (readOn && result.io.status == TIoStatus::Damaged) notices.push_back(DebugNotice(result.io.reason));
    if (result.flowTubeMissing) notices.push_back(DebugNotice("p and fc info missing"));
    return notices;
}

}  // namespace kel
