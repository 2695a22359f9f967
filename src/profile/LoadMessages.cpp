#include "common/Messages.h"
#include "profile/LoadResult.h"

namespace kel {

void ShowLoadMessages(const TProfileLoadResult& result) {
    // A load that ended leaves its reason to the caller, as an error.
    bool readOn = !result.ended;
    if (readOn && result.status == TIoStatus::OpenFailed) DebugFileMessage("Open Error!", result.file, result.reason);
    if (readOn && result.status == TIoStatus::Damaged) DebugMessage(result.reason);
    if (result.flowTubeMissing) DebugMessage("p and fc info missing");
}

}  // namespace kel
