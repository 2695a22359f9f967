#include "common/IoResult.h"

#include <utility>

namespace kel {

TIoResult TIoResult::Failure(TIoStatus status, std::string file, std::string reason) {
    return {status, std::move(file), std::move(reason)};
}

std::string TIoResult::description() const {
    std::string quoted = "\"" + file + "\"";
    switch (status) {
        case TIoStatus::Ok:
            return "No error";
        case TIoStatus::OpenFailed:
            return "Cannot open file " + quoted + ": " + reason;
        case TIoStatus::WriteFailed:
            return "Cannot write file " + quoted + ": " + reason;
        case TIoStatus::Damaged:
        case TIoStatus::Failed:
            break;
    }
    return reason;
}

}  // namespace kel
